#include "upload_form.h"

namespace {

constexpr size_t max_type_length = 16;

}  // namespace

bool upload_form::stop(std::string reason) {
  error_ = std::move(reason);
  return false;
}

bool upload_form::begin_part(std::string name, std::string file_name, std::string content_type) {
  if (parts_.size() == 0) {
    if (name != "type" || !file_name.empty()) return stop("the first form field must be the text field \"type\"");
  } else if (parts_.size() == 1) {
    if (name != "data" || file_name.empty()) return stop("the second form field must be the file field \"data\"");
    if (file_name != "package.zip") return stop("the file field \"data\" must be named \"package.zip\"");
  } else {
    return stop("more form fields than \"type\" and \"data\"");
  }
  parts_.push_back({std::move(name), std::move(file_name), std::move(content_type), std::string()});
  return true;
}

bool upload_form::add_content(const char* data, size_t length) {
  if (parts_.empty()) return stop("form data before the first field");
  content_total_ += length;
  if (content_total_ > max_content_) return stop("form fields larger than the upload limit");
  form_part& part = parts_.back();
  if (!part.is_file() && part.content.size() + length > max_type_length) return stop("field \"type\" too long");
  part.content.append(data, length);
  return true;
}

bool upload_form::take_fields(std::string& type, std::string& package) {
  if (parts_.size() < 2) return stop(parts_.empty() ? "form field \"type\" missing" : "form field \"data\" missing");
  type = std::move(parts_[0].content);
  package = std::move(parts_[1].content);
  return true;
}
