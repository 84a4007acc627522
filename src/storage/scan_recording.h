#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What a storage scan asked the system and what it was answered: one entry per request, in the
// order asked. The text form (README, "Scan recordings") is line-oriented so a person can read
// and edit it; binary data is hex.

struct recorded_field {
  std::string name;
  std::string text;            // numbers and texts as written
  std::vector<uint8_t> bytes;  // binary fields
  bool binary = false;
  int line = 0;
};

struct recorded_entry {
  std::string call;
  std::vector<recorded_field> request;
  std::vector<recorded_field> answer;
  int line = 0;

  // Request side, built the same way by the recorder and the replayer.
  recorded_entry& in_text(const char* name, const std::string& value);
  recorded_entry& in_number(const char* name, uint64_t value);
  recorded_entry& in_bytes(const char* name, const void* data, size_t size);
  recorded_entry& out_text(const char* name, const std::string& value);
  recorded_entry& out_number(const char* name, uint64_t value);
  recorded_entry& out_bytes(const char* name, const void* data, size_t size);

  // The call and its request fields: equal keys are the same question.
  std::string key() const;
  // Answer fields; a missing one reads as empty or 0 (the reader has checked that they exist).
  const recorded_field* find(const char* name) const;
  uint64_t number(const char* name) const;
  std::string text(const char* name) const;
  std::vector<std::string> texts(const char* name) const;  // every field of the name
  const std::vector<uint8_t>& bytes(const char* name) const;
};

struct scan_recording {
  static constexpr int format = 1;
  std::string program_version;
  int pointer_bits = int(sizeof(void*) * 8);
  std::vector<recorded_entry> entries;
};

extern const char recording_first_line[];
std::string write_recording(const scan_recording& recording);
// False with "line N: why" in `error` for anything but a well-formed recording of this format.
bool read_recording(const std::string& text, scan_recording& recording, std::string& error);

// Text values: '%', control characters and a leading or trailing blank as %XX.
std::string escape_value(const std::string& text);
bool unescape_value(const std::string& text, std::string& out);
// Decimal, or hex after "0x"; false for anything else or more than 64 bits.
bool parse_recorded_number(const std::string& text, uint64_t& value);
bool hex_digit(char c, int& digit);
// Each binary field's bytes carry their CRC-32, so a changed digit shows; after editing the
// bytes by hand, drop the "crc32 X" from the field's line.
uint32_t recorded_crc32(const std::vector<uint8_t>& bytes);
