#pragma once

#include <cstdint>

// One field of a multipart form; a list of them ends with an entry whose name is null.
// Without a path the entry is a text field (left out when its value is null). With a path it is
// a file field: read from disk, or, when data is set, taken from memory with the path as the
// file name sent.
struct form_part {
  const char* name = nullptr;  // empty: the entry is left out
  const char* value = nullptr;
  const wchar_t* path = nullptr;
  uint32_t tail_limit = 0;  // only the last tail_limit bytes of a file from disk; 0: all of it
  const void* data = nullptr;
  uint32_t data_size = 0;
};

inline form_part text_field(const char* name, const char* value) {
  form_part part;
  part.name = name;
  part.value = value;
  return part;
}

inline form_part memory_file_field(const char* name, const wchar_t* file_name, const void* data, uint32_t size) {
  form_part part;
  part.name = name;
  part.path = file_name;
  part.data = data;
  part.data_size = size;
  return part;
}

inline form_part disk_file_field(const char* name, const wchar_t* path, uint32_t tail_limit = 0) {
  form_part part;
  part.name = name;
  part.path = path;
  part.tail_limit = tail_limit;
  return part;
}
