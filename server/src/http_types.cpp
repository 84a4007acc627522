#include "http_types.h"

#include <strings.h>

namespace {

bool same_name(const std::string& a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), b.size()) == 0;
}

}  // namespace

std::string http_request::header(std::string_view name) const {
  for (const http_header& h : headers)
    if (same_name(h.name, name)) return h.value;
  return std::string();
}

size_t http_request::header_count(std::string_view name) const {
  size_t count = 0;
  for (const http_header& h : headers) count += same_name(h.name, name);
  return count;
}
