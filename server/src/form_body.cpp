#include "form_body.h"

#include <strings.h>

namespace {

const char malformed[] = "form data incomplete or malformed";

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// A parameter of the Content-Disposition line: name="value" (quotes required, as browsers and
// the client send them).
bool disposition_parameter(std::string_view line, std::string_view key, std::string& value) {
  std::string pattern = "; " + std::string(key) + "=\"";
  size_t at = line.find(pattern);
  if (at == std::string_view::npos) return false;
  at += pattern.size();
  size_t end = line.find('"', at);
  if (end == std::string_view::npos) return false;
  value = std::string(line.substr(at, end - at));
  return true;
}

struct part_head {
  std::string name, file_name, content_type;
};

bool parse_part_head(std::string_view head, part_head& part) {
  bool disposition = false;
  while (!head.empty()) {
    size_t end = head.find("\r\n");
    std::string_view line = head.substr(0, end);
    head = end == std::string_view::npos ? std::string_view() : head.substr(end + 2);
    if (starts_with_nocase(line, "Content-Disposition: form-data")) {
      if (!disposition_parameter(line, "name", part.name)) return false;
      disposition_parameter(line, "filename", part.file_name);
      disposition = true;
    } else if (starts_with_nocase(line, "Content-Type: ")) {
      part.content_type = std::string(line.substr(14));
    } else if (!line.empty()) {
      return false;
    }
  }
  return disposition;
}

}  // namespace

std::string form_boundary(std::string_view content_type) {
  if (content_type.rfind("multipart/form-data", 0) != 0) return std::string();
  size_t at = content_type.find("boundary=");
  if (at == std::string_view::npos) return std::string();
  std::string boundary(content_type.substr(at + 9));
  boundary = boundary.substr(0, boundary.find(';'));
  if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"')
    boundary = boundary.substr(1, boundary.size() - 2);
  return boundary;
}

bool read_form_body(std::string_view body, std::string_view boundary, upload_form& form, std::string& error) {
  const std::string opening = "--" + std::string(boundary) + "\r\n";
  const std::string delimiter = "\r\n--" + std::string(boundary);
  auto fail = [&] { return error = malformed, false; };
  size_t at = 0;
  if (body.compare(0, opening.size(), opening) != 0) return fail();
  at = opening.size();
  for (;;) {
    size_t head_end = body.find("\r\n\r\n", at);
    if (head_end == std::string_view::npos) return fail();
    part_head head;
    if (!parse_part_head(body.substr(at, head_end + 2 - at), head)) return fail();
    size_t content_at = head_end + 4;
    size_t content_end = body.find(delimiter, content_at);
    if (content_end == std::string_view::npos) return fail();
    if (!form.begin_part(head.name, head.file_name, head.content_type) ||
        !form.add_content(body.data() + content_at, content_end - content_at))
      return error = form.error(), false;
    at = content_end + delimiter.size();
    if (body.compare(at, 2, "--") == 0) return true;  // the standard closing delimiter
    if (body.compare(at, 2, "\r\n") != 0) return fail();
    at += 2;
    if (at == body.size()) return true;  // the client's layout ends with a boundary line
    // The client opens each part with a boundary line of its own, right after the last one.
    if (body.compare(at, opening.size(), opening) == 0) at += opening.size();
  }
}
