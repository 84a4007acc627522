#include <cmath>

#include "results/json_reader.h"
#include "results/report_parse.h"
#include "results/results_json.h"
#include "support/format_string.h"

namespace {
const json_value no_latency;

const json_value* member(const json_value& v, const char* key, json_value::kind_t kind) {
  const json_value* m = v.find(key);
  return m && m->kind == kind ? m : nullptr;
}

bool read_u32(const json_value& v, const char* key, uint32_t& out) {
  const json_value* m = member(v, key, json_value::number);
  if (!m || m->num < 1 || m->num > 4294967295.0 || std::floor(m->num) != m->num) return false;
  out = uint32_t(m->num);
  return true;
}

// One element of "tests"; false when it is not one this program writes.
bool read_test(const json_value& t, parsed_report& out) {
  const json_value* direction = member(t, "direction", json_value::string);
  const json_value* mode = member(t, "mode", json_value::string);
  const json_value* ok = member(t, "ok", json_value::boolean);
  const json_value* rate = member(t, "rate", json_value::number);
  const json_value* latency = t.find("latency");
  report_row row;
  if (!direction || (direction->text != "read" && direction->text != "write") || !mode || !ok || !rate ||
      rate->num < 0 || !read_u32(t, "count", row.count) || !read_u32(t, "size", row.size))
    return false;
  // Documents written before requests were timed have no latencies: their p99s are not known.
  if (!latency) latency = &no_latency;
  if (latency->kind != json_value::null && latency->kind != json_value::object) return false;
  row.mode = mode_of(mode->text);
  if (row.mode < 0) return false;
  const double r = ok->flag ? rate->num : 0;
  row.binary_mbps = r / 1048576;
  row.decimal_mbps = r / 1e6;
  if (const json_value* p99 =
          latency->kind == json_value::object ? member(*latency, "p99_us", json_value::number) : nullptr)
    row.p99_us = p99->num;
  else if (latency->kind == json_value::object) return false;
  (direction->text == "read" ? out.reads : out.writes).push_back(row);
  return true;
}
}  // namespace

bool parse_results_json(const std::string& text, parsed_report& out, std::string& error) {
  out = parsed_report();
  json_value doc;
  if (!read_json(text, doc, error)) return false;
  const json_value* format = member(doc, "format", json_value::string);
  const json_value* version = member(doc, "format_version", json_value::number);
  if (!format || format->text != results_json_format || !version || version->num != results_json_version) {
    error = format_string("not a \"%s\" document of format_version %u", results_json_format,
                          unsigned(results_json_version));
    return false;
  }
  const json_value* recorded = member(doc, "recorded", json_value::string);
  const json_value* host = member(doc, "host", json_value::object);
  const json_value* program = host ? member(*host, "program_version", json_value::string) : nullptr;
  const json_value* profile = member(doc, "profile", json_value::object);
  const json_value* path = profile ? member(*profile, "path", json_value::string) : nullptr;
  const json_value* tests = member(doc, "tests", json_value::array);
  if (!recorded || !program || !path || !tests) {
    error = "lacks its recorded time, host, profile or tests";
    return false;
  }
  out.recorded = recorded->text;
  out.version = program->text;
  out.path = path->text;
  out.latencies = true;
  for (size_t i = 0; i < tests->items.size(); ++i) {
    if (tests->items[i].kind == json_value::object && read_test(tests->items[i], out)) continue;
    error = format_string("tests[%u] is not a test", unsigned(i));
    return false;
  }
  return true;
}
