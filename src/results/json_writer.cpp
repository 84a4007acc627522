#include "results/json_writer.h"

#include <cmath>

#include "support/fatal.h"
#include "support/format_string.h"
#include "support/text.h"

void json_writer::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (first_.empty()) {
    if (!text_.empty()) fatal("json_writer: a second document");
    return;
  }
  if (!first_.back()) text_ += ',';
  first_.back() = false;
  text_ += '\n';
  text_.append(first_.size() * 2, ' ');
}

void json_writer::open(char bracket) {
  before_value();
  text_ += bracket;
  first_.push_back(true);
}

void json_writer::close(char bracket) {
  if (first_.empty() || after_key_) fatal("json_writer: unbalanced");
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) {
    text_ += '\n';
    text_.append(first_.size() * 2, ' ');
  }
  text_ += bracket;
  if (first_.empty()) text_ += '\n';
}

void json_writer::begin_object() { open('{'); }
void json_writer::end_object() { close('}'); }
void json_writer::begin_array() { open('['); }
void json_writer::end_array() { close(']'); }

json_writer& json_writer::key(const char* name) {
  value(std::string(name));
  text_ += ": ";
  after_key_ = true;
  return *this;
}

void json_writer::value(const std::wstring& text) {
  before_value();
  text_ += '"';
  for (wchar_t c : text) {
    if (c == L'"') text_ += "\\\"";
    else if (c == L'\\') text_ += "\\\\";
    else if (c >= 0x20 && c < 0x7F) text_ += char(c);
    else text_ += format_string("\\u%04x", unsigned(c) & 0xFFFF);
  }
  text_ += '"';
}

void json_writer::value(const std::string& text) { value(from_utf8(text)); }

void json_writer::value(uint64_t number) {
  before_value();
  text_ += format_string("%llu", (unsigned long long)number);
}

void json_writer::value(int64_t number) {
  before_value();
  text_ += format_string("%lld", (long long)number);
}

void json_writer::value(double number) {
  if (!std::isfinite(number)) return null();
  before_value();
  // Seventeen digits give the double back exactly.
  text_ += format_string("%.17g", number);
}

void json_writer::value(bool flag) {
  before_value();
  text_ += flag ? "true" : "false";
}

void json_writer::null() {
  before_value();
  text_ += "null";
}
