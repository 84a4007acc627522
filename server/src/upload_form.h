// The two form fields of an upload, collected part by part as the multipart reader delivers
// them: the text field "type" and then the file field "data" named "package.zip".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct form_part {
  std::string name;
  std::string file_name;
  std::string content_type;
  std::string content;
  bool is_file() const { return !file_name.empty(); }
};

class upload_form {
 public:
  // `max_content` caps all part contents together.
  explicit upload_form(uint64_t max_content) : max_content_(max_content) {}

  // Both return false to stop the reader; error() then says why.
  bool begin_part(std::string name, std::string file_name, std::string content_type);
  bool add_content(const char* data, size_t length);

  const std::string& error() const { return error_; }
  const std::vector<form_part>& parts() const { return parts_; }

  // The size of a body that lays these parts out as the FOLVI client does with `boundary`:
  // each part opens with its own boundary line and closes with CR LF, the boundary line and
  // CR LF again, with no closing "--" delimiter; files are sent as application/octet-stream.
  // Returns 0 when the parts could not come from that layout.
  uint64_t client_layout_size(std::string_view boundary) const;

  // After the whole body: the value of "type" and the bytes of "data".
  bool take_fields(std::string& type, std::string& package);

 private:
  bool stop(std::string reason);

  uint64_t max_content_;
  uint64_t content_total_ = 0;
  std::vector<form_part> parts_;
  std::string error_;
};
