#include "results/report_parse.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "bench/test_def.h"
#include "results/report_texts.h"
#include "support/format_string.h"

namespace {
std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

bool read_whole(const std::string& s, uint32_t& value) {
  if (s.empty() || s.size() > 10) return false;
  uint64_t v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + uint64_t(c - '0');
  }
  if (v > 0xFFFFFFFFull) return false;
  value = uint32_t(v);
  return true;
}

// "123.4 MBps": digits, a point, one digit, the unit.
bool read_mbps(const std::string& s, double& value) {
  static const char unit[] = " MBps";
  const size_t dot = s.find('.');
  if (dot == std::string::npos || dot == 0 || dot > 15 || s.size() != dot + 2 + std::strlen(unit) ||
      s.compare(dot + 2, std::string::npos, unit) != 0 || !std::isdigit(static_cast<unsigned char>(s[dot + 1])))
    return false;
  double v = 0;
  for (size_t i = 0; i < dot; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  value = v + (s[dot + 1] - '0') / 10.0;
  return true;
}

// " 12  |   4 x     65536  |  raw seq  |      123.4 MBps      129.4 MBps  |  + * *"
bool read_row(const std::string& line, uint32_t number, report_row& row) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (size_t bar; (bar = line.find('|', from)) != std::string::npos; from = bar + 1)
    fields.push_back(trim(line.substr(from, bar - from)));
  fields.push_back(trim(line.substr(from)));
  if (fields.size() != 5) return false;
  uint32_t n = 0;
  if (!read_whole(fields[0], n) || n != number) return false;
  const size_t x = fields[1].find(" x ");
  if (x == std::string::npos || !read_whole(trim(fields[1].substr(0, x)), row.count) ||
      !read_whole(trim(fields[1].substr(x + 3)), row.size))
    return false;
  row.mode = mode_of(fields[2]);
  if (row.mode < 0) return false;
  const size_t unit = fields[3].find(" MBps");
  if (unit == std::string::npos || !read_mbps(trim(fields[3].substr(0, unit + 5)), row.binary_mbps) ||
      !read_mbps(trim(fields[3].substr(unit + 5)), row.decimal_mbps))
    return false;
  // Both columns come from one rate: each is off by at most half its last digit.
  const double slack = 0.05 * 1048576 + 0.05 * 1e6 + 1;
  if (std::fabs(row.binary_mbps * 1048576 - row.decimal_mbps * 1e6) > slack) return false;
  for (char c : fields[4])
    if (c != '+' && c != '*' && c != ' ') return false;
  return true;
}

// "key  value": the key has no blanks; the value starts after the padding.
bool split_entry(const std::string& line, std::string& key, std::string& value) {
  const size_t blank = line.find(' ');
  if (blank == 0) return false;
  key = line.substr(0, blank);
  value = blank == std::string::npos ? std::string() : trim(line.substr(blank));
  return true;
}

// "68 / 68": the results recorded.
bool recorded_count(const std::string& value, uint32_t& recorded) {
  const size_t slash = value.find(" / ");
  uint32_t planned = 0;
  return slash != std::string::npos && read_whole(value.substr(0, slash), recorded) &&
         read_whole(value.substr(slash + 3), planned);
}

enum class section { fields, reads, writes };

struct report_reader {
  parsed_report& out;
  std::string& error;
  section at = section::fields;
  bool has_read_count = false, has_write_count = false;
  uint32_t read_count = 0, write_count = 0;

  bool fail(size_t line, const std::string& why) {
    error = format_string("line %u: ", unsigned(line + 1)) + why;
    return false;
  }

  bool header(const std::vector<std::string>& lines) {
    if (lines.size() < 5 || lines[0] != report_box_rule || lines[1] != report_box_blank ||
        lines[2].compare(0, std::strlen(report_box_title), report_box_title) != 0 || lines[2].back() != '|' ||
        lines[3] != report_box_blank || lines[4] != report_box_rule)
      return fail(0, "not a FOLVI report (its header box is missing)");
    out.version =
        trim(lines[2].substr(std::strlen(report_box_title), lines[2].size() - 1 - std::strlen(report_box_title)));
    return true;
  }

  bool field(size_t i, const std::string& line) {
    std::string key, value;
    if (!split_entry(line, key, value)) return fail(i, "not a key and value");
    if (key == "Recorded") out.recorded = value;
    else if (key == "Test.path") out.path = value;
    else if (key == "Read.tests") has_read_count = recorded_count(value, read_count);
    else if (key == "Write.tests") has_write_count = recorded_count(value, write_count);
    else if (key == "-------") return fail(i, "holds several joined reports; compare them one at a time");
    return true;
  }

  bool line(size_t i, const std::string& l) {
    if (l.empty()) return true;
    if (l == report_read_heading) {
      if (at != section::fields) return fail(i, "a second read heading");
      at = section::reads;
      return true;
    }
    if (l == report_write_heading) {
      if (at != section::reads) return fail(i, "the write heading out of place");
      at = section::writes;
      return true;
    }
    if (at == section::fields) return field(i, l);
    std::vector<report_row>& rows = at == section::reads ? out.reads : out.writes;
    if (l == "-------") return fail(i, "holds several joined reports; compare them one at a time");
    report_row row;
    if (!read_row(l, uint32_t(rows.size() + 1), row)) return fail(i, "not a measurement row");
    rows.push_back(row);
    return true;
  }

  bool finish(size_t lines) {
    if (at != section::writes) return fail(lines, "the report ends before its write measurements (cut short?)");
    if (!has_read_count || !has_write_count) return fail(lines, "Read.tests or Write.tests is missing or malformed");
    if (read_count != out.reads.size() || write_count != out.writes.size())
      return fail(lines, format_string("Read.tests and Write.tests say %u and %u, the tables hold %u and %u rows",
                                       unsigned(read_count), unsigned(write_count), unsigned(out.reads.size()),
                                       unsigned(out.writes.size())));
    return true;
  }
};
}  // namespace

int mode_of(const std::string& name) {
  for (int i = 0; i < mode_count; ++i)
    if (name == mode_names[i]) return i;
  return -1;
}

bool parse_report(const std::string& text, parsed_report& out, std::string& error) {
  out = parsed_report{};
  std::string body = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
  report_reader reader{out, error};
  if (body.empty()) return reader.fail(0, "the file is empty");
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = body.find('\n', from)) != std::string::npos; from = end + 1) {
    std::string l = body.substr(from, end - from);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    for (char c : l)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return reader.fail(lines.size(), "not text");
    while (!l.empty() && l.back() == ' ') l.pop_back();  // the padding of keys and blank lines
    lines.push_back(l);
  }
  if (from != body.size()) return reader.fail(lines.size(), "the last line is cut short");
  if (!reader.header(lines)) return false;
  for (size_t i = 5; i < lines.size(); ++i)
    if (!reader.line(i, lines[i])) return false;
  return reader.finish(lines.size() - 1);
}
