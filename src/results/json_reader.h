#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

// One JSON value as read: what a JSON document written by this program holds, and any other.
struct json_value {
  enum kind_t { null, boolean, number, string, array, object } kind = null;
  bool flag = false;
  double num = 0;
  std::string text;  // UTF-8
  std::vector<json_value> items;
  std::vector<std::pair<std::string, json_value>> members;  // in document order

  // The member named `key`, or null when there is none (or this is no object).
  const json_value* find(const char* key) const;
};

// Reads a whole document (an optional byte-order mark, one value, white space). False with
// `error` naming the byte where it went wrong: "byte 57: expected ':'". Nesting deeper than 64
// levels is refused.
bool read_json(const std::string& text, json_value& out, std::string& error);
