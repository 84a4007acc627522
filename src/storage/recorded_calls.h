#pragma once

#include <string>

// The requests a recording may hold: each call's request fields and its answer fields. A field
// ending in '*' may repeat or be absent.
struct recorded_call {
  const char* name;
  const char* request[6];
  const char* answer[13];
};

extern const recorded_call recorded_calls[];
extern const int recorded_call_count;
const recorded_call* find_recorded_call(const char* name);

// A field's name tells how its value is written: a number (decimal or 0x hex), a text or hex bytes.
enum class field_kind { number, text, binary };
field_kind kind_of_field(const std::string& name);
