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

  // After the whole body: the value of "type" and the bytes of "data".
  bool take_fields(std::string& type, std::string& package);

 private:
  bool stop(std::string reason);

  uint64_t max_content_;
  uint64_t content_total_ = 0;
  std::vector<form_part> parts_;
  std::string error_;
};
