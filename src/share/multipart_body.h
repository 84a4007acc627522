#pragma once

#include <cstdint>

#include "share/form_part.h"
#include "share/heap_buffer.h"

class api_error_cb;

// The header line sent with the body (no line end of its own).
constexpr char multipart_content_type[] = "Content-Type: multipart/form-data; boundary=i-will-not-crash";
constexpr wchar_t multipart_content_type_w[] = L"Content-Type: multipart/form-data; boundary=i-will-not-crash";

// Fixed bytes around a part, without its names and data: 63 + 22 and 116 + 22.
extern const uint32_t text_part_overhead;
extern const uint32_t file_part_overhead;

// Every part is its boundary line, its headers, an empty line, its bytes and the trailer
// "\r\n--i-will-not-crash\r\n"; parts follow each other directly, with no preamble and no closing
// "--" delimiter. The body grows by exactly one part at a time. A file field whose file cannot be
// opened, or is 4 GiB or larger, is left out. False after a reported failure ("HeapAlloc",
// "GetFileSize", "SetFilePointer", "ReadFile", "ReadFile2").
bool build_multipart_body(const form_part* parts, heap_buffer& body, api_error_cb* errors);
