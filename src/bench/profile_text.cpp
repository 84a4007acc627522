#include "bench/profile_text.h"

#include <cctype>
#include <cstdio>

#include "bench/test_def.h"
#include "support/format_string.h"

std::string format_size(uint64_t v) {
  const struct { uint64_t unit; const char* suffix; } units[] = {{1ull << 30, "G"}, {1ull << 20, "M"}, {1ull << 10, "K"}};
  for (const auto& u : units)
    if (v % u.unit == 0) return format_string("%I64u%s", (unsigned long long)(v / u.unit), u.suffix);
  return format_string("%I64u", (unsigned long long)v);
}

std::string format_duration(uint32_t ms) {
  if (ms % 60000 == 0) return format_string("%u min", unsigned(ms / 60000));
  if (ms % 1000 == 0) return format_string("%u sec", unsigned(ms / 1000));
  return format_string("%u ms", unsigned(ms));
}

std::string format_time(uint64_t ms) {
  if (ms >= 1000 || ms % 1000 == 0) {
    const uint64_t seconds = ms / 1000;
    std::string t = format_string("%02I64u:%02u", (unsigned long long)(seconds / 60), unsigned(seconds % 60));
    return ms % 1000 ? "~ " + t : t;
  }
  std::string fraction = format_string("%03u", unsigned(ms));
  while (fraction.back() == '0') fraction.pop_back();
  return "0." + fraction + " sec";
}

namespace {
std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Reads the leading decimal digits; false when there are none or the value overflows.
bool leading_number(const std::string& s, uint64_t max, uint64_t& value, size_t& used) {
  value = 0;
  used = 0;
  while (used < s.size() && std::isdigit(static_cast<unsigned char>(s[used]))) {
    const uint64_t digit = uint64_t(s[used] - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
    ++used;
  }
  return used > 0;
}

bool scaled(uint64_t value, uint64_t factor, uint64_t max, uint64_t& out) {
  if (value > max / factor) return false;
  out = value * factor;
  return true;
}

std::vector<std::string> split_list(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text + " ") {
    if (c == ' ' || c == ',' || c == ';' || c == '\t' || c == '\r' || c == '\n') {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  return pieces;
}
}  // namespace

bool parse_number(const std::string& text, uint32_t& value) {
  const std::string s = trim(text);
  uint64_t v;
  size_t used;
  if (!leading_number(s, 0xFFFFFFFFull, v, used) || used != s.size()) return false;
  value = uint32_t(v);
  return true;
}

bool parse_size(const std::string& text, uint64_t& value) {
  const std::string s = trim(text);
  uint64_t v;
  size_t used;
  if (!leading_number(s, ~0ull, v, used)) return false;
  const std::string unit = lower(trim(s.substr(used)));
  const uint64_t max = ~0ull;
  if (unit.empty()) return value = v, true;
  if (unit == "k" || unit == "kb") return scaled(v, 1ull << 10, max, value);
  if (unit == "m" || unit == "mb") return scaled(v, 1ull << 20, max, value);
  if (unit == "g" || unit == "gb") return scaled(v, 1ull << 30, max, value);
  return false;
}

bool parse_duration(const std::string& text, uint32_t& value) {
  const std::string s = trim(text);
  uint64_t v, out;
  size_t used;
  if (!leading_number(s, 0xFFFFFFFFull, v, used)) return false;
  const std::string unit = lower(trim(s.substr(used)));
  uint64_t factor;
  if (unit == "m" || unit == "min") factor = 60000;
  else if (unit == "s" || unit == "sec") factor = 1000;
  else if (unit == "ms" || unit == "msec") factor = 1;
  else return false;
  if (!scaled(v, factor, 0xFFFFFFFFull, out)) return false;
  value = uint32_t(out);
  return true;
}

bool parse_size_list(const std::string& text, std::vector<uint64_t>& values) {
  std::vector<uint64_t> parsed;
  for (const std::string& piece : split_list(text)) {
    uint64_t v;
    if (!parse_size(piece, v)) return false;
    parsed.push_back(v);
  }
  if (parsed.empty()) return false;
  values = parsed;
  return true;
}

bool parse_number_list(const std::string& text, std::vector<uint32_t>& values) {
  std::vector<uint32_t> parsed;
  for (const std::string& piece : split_list(text)) {
    uint32_t v;
    if (!parse_number(piece, v)) return false;
    parsed.push_back(v);
  }
  if (parsed.empty()) return false;
  values = parsed;
  return true;
}

profile_summary summarize_profile(test_def& def, uint32_t error_mask) {
  profile_summary s;
  if (error_mask != 0) return s;
  def.update_counts();
  s.read_tests = format_string("%u", unsigned(def.read_tests));
  s.write_tests = format_string("%u", unsigned(def.write_tests));
  // In 64 bits: a long run time times thousands of tests passes 2^32 milliseconds.
  const uint64_t duration = def.duration, reads = def.read_tests, writes = def.write_tests;
  if (duration != 0 && reads + writes != 0) {
    if (reads) s.read_time = format_time(duration * reads);
    if (writes) s.write_time = format_time(duration * writes);
    s.total_time = format_time(duration * (reads + writes));
  }
  return s;
}
