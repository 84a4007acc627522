#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes one JSON document, two spaces of indentation per level. The text is plain ASCII: every
// other character is escaped as \uXXXX from its UTF-16 units, so paths outside the Basic
// Multilingual Plane come out as surrogate pairs that every reader joins.
class json_writer {
 public:
  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  // The key of the next value inside an object.
  json_writer& key(const char* name);

  void value(const std::wstring& text);
  void value(const std::string& text);  // this program's UTF-8, decoded unit by unit
  void value(const char* text) { value(std::string(text)); }
  void value(uint64_t number);
  void value(uint32_t number) { value(uint64_t(number)); }
  void value(int64_t number);
  void value(double number);  // a value that is not finite is written as null
  void value(bool flag);
  void null();

  // The document; every object and array must be closed.
  const std::string& text() const { return text_; }

 private:
  void before_value();
  void open(char bracket);
  void close(char bracket);

  std::string text_;
  std::vector<bool> first_;  // per open level: nothing written in it yet
  bool after_key_ = false;
};
