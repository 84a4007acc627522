#include "storage/scan_recording.h"

#include <zlib.h>

#include <cstring>

#include "storage/recorded_calls.h"
#include "support/format_string.h"
#include "support/hex_text.h"

const char recording_first_line[] = "FOLVI Vezad scan recording";

namespace {
constexpr size_t bytes_per_line = 16;
}  // namespace

bool hex_digit(char c, int& d) {
  d = (c >= '0' && c <= '9')   ? c - '0'
      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                               : -1;
  return d >= 0;
}

bool parse_recorded_number(const std::string& text, uint64_t& value) {
  value = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (text.empty() || (hex && text.size() > 18)) return false;
  for (size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    int d = 0;
    if (hex) {
      if (!hex_digit(text[i], d)) return false;
      value = value << 4 | uint64_t(d);
    } else {
      if (text[i] < '0' || text[i] > '9') return false;
      d = text[i] - '0';
      if (value > (UINT64_MAX - uint64_t(d)) / 10) return false;
      value = value * 10 + uint64_t(d);
    }
  }
  return true;
}

bool unescape_value(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    int hi = 0, lo = 0;
    if (i + 2 >= text.size() || !hex_digit(text[i + 1], hi) || !hex_digit(text[i + 2], lo)) return false;
    out += char(hi << 4 | lo);
    i += 2;
  }
  return true;
}

namespace {
// Numbers that are codes or bit masks read best in hex.
bool written_in_hex(const std::string& name) {
  static const char* const names[] = {"code", "error", "hr", "access", "share", "flags", "property", "os_suite"};
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

std::string canonical(const recorded_field& f) {
  if (f.binary) return to_hex(f.bytes.data(), f.bytes.size(), false);
  if (kind_of_field(f.name) == field_kind::number) {
    uint64_t v = 0;
    parse_recorded_number(f.text, v);
    return std::to_string(v);
  }
  return f.text;
}

void write_field(std::string& out, char side, const recorded_field& f) {
  if (!f.binary) {
    const std::string value = f.text.empty() ? "" : " " + escape_value(f.text);
    out += format_string("  %c %s%s\n", side, f.name.c_str(), value.c_str());
    return;
  }
  out += format_string("  %c %s %u crc32 %08x\n", side, f.name.c_str(), unsigned(f.bytes.size()),
                       unsigned(recorded_crc32(f.bytes)));
  for (size_t at = 0; at < f.bytes.size(); at += bytes_per_line) {
    out += format_string("      %04x ", unsigned(at));
    for (size_t i = at; i < at + bytes_per_line && i < f.bytes.size(); ++i) out += format_string(" %02x", f.bytes[i]);
    out += "\n";
  }
}

recorded_field number_field(const char* name, uint64_t value) {
  recorded_field f;
  f.name = name;
  f.text = written_in_hex(name) ? format_string("0x%llx", (unsigned long long)value)
                                : format_string("%llu", (unsigned long long)value);
  return f;
}

recorded_field bytes_field(const char* name, const void* data, size_t size) {
  recorded_field f;
  f.name = name;
  f.binary = true;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  f.bytes.assign(p, p + size);
  return f;
}

recorded_field text_field(const char* name, const std::string& value) {
  recorded_field f;
  f.name = name;
  f.text = value;
  return f;
}
}  // namespace

uint32_t recorded_crc32(const std::vector<uint8_t>& bytes) {
  return uint32_t(crc32(crc32(0, nullptr, 0), bytes.data(), uInt(bytes.size())));
}

std::string escape_value(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool edge_blank = c == ' ' && (i == 0 || i + 1 == text.size());
    if (c < 0x20 || c == '%' || c == 0x7F || edge_blank) out += format_string("%%%02X", c);
    else out += char(c);
  }
  return out;
}

recorded_entry& recorded_entry::in_text(const char* name, const std::string& value) {
  request.push_back(text_field(name, value));
  return *this;
}
recorded_entry& recorded_entry::in_number(const char* name, uint64_t value) {
  request.push_back(number_field(name, value));
  return *this;
}
recorded_entry& recorded_entry::in_bytes(const char* name, const void* data, size_t size) {
  request.push_back(bytes_field(name, data, size));
  return *this;
}
recorded_entry& recorded_entry::out_text(const char* name, const std::string& value) {
  answer.push_back(text_field(name, value));
  return *this;
}
recorded_entry& recorded_entry::out_number(const char* name, uint64_t value) {
  answer.push_back(number_field(name, value));
  return *this;
}
recorded_entry& recorded_entry::out_bytes(const char* name, const void* data, size_t size) {
  answer.push_back(bytes_field(name, data, size));
  return *this;
}

std::string recorded_entry::key() const {
  std::string k = call;
  for (const recorded_field& f : request) k += "\n" + f.name + "=" + canonical(f);
  return k;
}

const recorded_field* recorded_entry::find(const char* name) const {
  for (const recorded_field& f : answer)
    if (f.name == name) return &f;
  return nullptr;
}

uint64_t recorded_entry::number(const char* name) const {
  const recorded_field* f = find(name);
  uint64_t v = 0;
  if (f) parse_recorded_number(f->text, v);
  return v;
}

std::string recorded_entry::text(const char* name) const {
  const recorded_field* f = find(name);
  return f ? f->text : std::string();
}

std::vector<std::string> recorded_entry::texts(const char* name) const {
  std::vector<std::string> all;
  for (const recorded_field& f : answer)
    if (f.name == name) all.push_back(f.text);
  return all;
}

const std::vector<uint8_t>& recorded_entry::bytes(const char* name) const {
  static const std::vector<uint8_t> none;
  const recorded_field* f = find(name);
  return f ? f->bytes : none;
}

std::string write_recording(const scan_recording& r) {
  std::string out = format_string("%s\nformat %d\nprogram %s\npointers %d\n", recording_first_line,
                                  scan_recording::format, r.program_version.c_str(), r.pointer_bits);
  for (const recorded_entry& e : r.entries) {
    out += "\n" + e.call + "\n";
    for (const recorded_field& f : e.request) write_field(out, '>', f);
    for (const recorded_field& f : e.answer) write_field(out, '<', f);
  }
  return out;
}
