#include "bench/profile_text.h"

#include <cctype>
#include <cstdio>

#include "bench/test_def.h"
#include "support/format_string.h"

std::string format_size(uint64_t v) {
  const struct {
    uint64_t unit;
    const char* suffix;
  } units[] = {{1ull << 30, "G"}, {1ull << 20, "M"}, {1ull << 10, "K"}};
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

// Reads the leading decimal digits; too_large when they overflow max, malformed when there are none.
parse_result leading_number(const std::string& s, uint64_t max, uint64_t& value, size_t& used) {
  value = 0;
  used = 0;
  bool overflow = false;
  while (used < s.size() && std::isdigit(static_cast<unsigned char>(s[used]))) {
    const uint64_t digit = uint64_t(s[used] - '0');
    if (overflow || value > (max - digit) / 10) overflow = true;
    else value = value * 10 + digit;
    ++used;
  }
  if (used == 0) return parse_result::malformed;
  return overflow ? parse_result::too_large : parse_result::ok;
}

parse_result scaled(uint64_t value, uint64_t factor, uint64_t max, uint64_t& out) {
  if (value > max / factor) return parse_result::too_large;
  out = value * factor;
  return parse_result::ok;
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

parse_result read_number(const std::string& text, uint32_t& value) {
  const std::string s = trim(text);
  uint64_t v;
  size_t used;
  const parse_result r = leading_number(s, 0xFFFFFFFFull, v, used);
  if (used == 0 || used != s.size()) return parse_result::malformed;
  if (r == parse_result::ok) value = uint32_t(v);
  return r;
}

parse_result read_size(const std::string& text, uint64_t& value) {
  const std::string s = trim(text);
  uint64_t v;
  size_t used;
  const parse_result r = leading_number(s, ~0ull, v, used);
  if (used == 0) return parse_result::malformed;
  const std::string unit = lower(trim(s.substr(used)));
  uint64_t factor = 0;
  if (unit.empty()) factor = 1;
  else if (unit == "k" || unit == "kb") factor = 1ull << 10;
  else if (unit == "m" || unit == "mb") factor = 1ull << 20;
  else if (unit == "g" || unit == "gb") factor = 1ull << 30;
  if (factor == 0) return parse_result::malformed;  // an unknown unit: not a value, however large
  if (r != parse_result::ok) return r;
  return scaled(v, factor, ~0ull, value);
}

parse_result read_duration(const std::string& text, uint32_t& value) {
  const std::string s = trim(text);
  uint64_t v, out;
  size_t used;
  const parse_result r = leading_number(s, 0xFFFFFFFFull, v, used);
  if (used == 0) return parse_result::malformed;
  const std::string unit = lower(trim(s.substr(used)));
  uint64_t factor = 0;
  if (unit == "m" || unit == "min") factor = 60000;
  else if (unit == "s" || unit == "sec") factor = 1000;
  else if (unit == "ms" || unit == "msec") factor = 1;
  if (factor == 0) return parse_result::malformed;  // an unknown unit: not a value, however large
  if (r != parse_result::ok) return r;
  const parse_result fits = scaled(v, factor, 0xFFFFFFFFull, out);
  if (fits == parse_result::ok) value = uint32_t(out);
  return fits;
}

namespace {
// Every piece must read; a malformed piece outweighs one that is too large.
template <typename T, typename Reader>
parse_result read_list(const std::string& text, std::vector<T>& values, Reader read) {
  std::vector<T> parsed;
  parse_result worst = parse_result::ok;
  for (const std::string& piece : split_list(text)) {
    T v{};
    const parse_result r = read(piece, v);
    if (r == parse_result::malformed) return r;
    if (r == parse_result::too_large) worst = r;
    parsed.push_back(v);
  }
  if (parsed.empty()) return parse_result::malformed;
  if (worst == parse_result::ok) values = parsed;
  return worst;
}
}  // namespace

parse_result read_size_list(const std::string& text, std::vector<uint64_t>& values) {
  return read_list(text, values, read_size);
}

parse_result read_number_list(const std::string& text, std::vector<uint32_t>& values) {
  return read_list(text, values, read_number);
}

bool parse_number(const std::string& text, uint32_t& value) { return read_number(text, value) == parse_result::ok; }
bool parse_size(const std::string& text, uint64_t& value) { return read_size(text, value) == parse_result::ok; }
bool parse_duration(const std::string& text, uint32_t& value) { return read_duration(text, value) == parse_result::ok; }
bool parse_size_list(const std::string& text, std::vector<uint64_t>& values) {
  return read_size_list(text, values) == parse_result::ok;
}
bool parse_number_list(const std::string& text, std::vector<uint32_t>& values) {
  return read_number_list(text, values) == parse_result::ok;
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
