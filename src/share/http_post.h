#pragma once

#include "share/form_part.h"
#include "share/heap_buffer.h"
#include "share/http_target.h"

class api_error_cb;

// The code of the reply's length checks: "HttpCheckReplySize" (longer than the buffer) and
// "InternetReadFile" (shorter than announced).
constexpr uint32_t reply_size_check_code = 11111;

// One POST of `body` (none when null) with the multipart Content-Type header. Redirects are not
// followed: any status but 200 fails. With a reply buffer, whose capacity is the longest reply
// accepted, the reply is read into it; a reply that does not fit fails whether or not the server
// announced its length. Every failed step is reported under its fixed name and gives false.
bool http_post(const http_target& target, const std::string& path, const heap_buffer* body, heap_buffer* reply,
               api_error_cb* errors);

// One GET of `path` with the same handles, TLS and reading as a POST. Every HTTP status is an
// answer: it lands in `status` and the reply is read into `reply` whatever the status. False, with
// the failed step reported, only when no whole answer came.
bool http_get(const http_target& target, const std::string& path, heap_buffer& reply, uint32_t& status,
              api_error_cb* errors);

// Builds the body of `parts` and posts it to the target's path.
bool post_multipart(const http_target& target, const form_part* parts, heap_buffer* reply, api_error_cb* errors);
