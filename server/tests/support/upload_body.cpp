#include "upload_body.h"

namespace {

const std::string boundary_line = "--i-will-not-crash\r\n";
const std::string trailer = "\r\n--i-will-not-crash\r\n";

std::string part_header(const body_part& part) {
  std::string header = "Content-Disposition: form-data; name=\"" + part.name + "\"";
  if (!part.file_name.empty())
    header += "; filename=\"" + part.file_name + "\"\r\nContent-Type: application/octet-stream";
  return header + "\r\n\r\n";
}

}  // namespace

std::string client_layout_body(const std::vector<body_part>& parts) {
  std::string body;
  for (const body_part& part : parts) body += boundary_line + part_header(part) + part.value + trailer;
  return body;
}

std::string upload_body(const std::string& type, const std::string& package) {
  return client_layout_body({{"type", type, ""}, {"data", package, "package.zip"}});
}

std::string standard_layout_body(const std::vector<body_part>& parts) {
  std::string body;
  for (const body_part& part : parts) body += boundary_line + part_header(part) + part.value + "\r\n";
  return body + "--i-will-not-crash--\r\n";
}

std::string upload_request(const std::string& body, const std::string& extra_headers) {
  return "POST /upload HTTP/1.1\r\nHost: localhost\r\nUser-Agent: FOLVI Benchmark, v. 0.1.2.3\r\n"
         "Content-Type: multipart/form-data; boundary=i-will-not-crash\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n" + extra_headers + "\r\n" + body;
}
