#include "results/report_compare.h"

#include <map>
#include <tuple>
#include <vector>

#include "bench/test_def.h"
#include "results/repeat_summary.h"
#include "support/format_string.h"

namespace {
using row_key = std::tuple<uint32_t, uint32_t, int>;
row_key key_of(const report_row& r) { return row_key{r.count, r.size, r.mode}; }

std::string combination(const report_row& r) {
  return format_string("%2u x %9u  %-7s", unsigned(r.count), unsigned(r.size), mode_names[r.mode]);
}

// The highest rate, the first of equals; null when there are no rows.
const report_row* best_of(const std::vector<report_row>& rows) {
  const report_row* best = nullptr;
  for (const report_row& r : rows)
    if (!best || r.rate() > best->rate()) best = &r;
  return best;
}

std::string best_line(const char* direction, const char* which, const std::vector<report_row>& rows) {
  const report_row* b = best_of(rows);
  std::string line = format_string("Best %s, %s:  ", direction, which);
  if (!b) return line + "n/a\n";
  return line + combination(*b) + format_string("  %9.1f MBps\n", b->binary_mbps);
}

std::string p99_text(const report_row& r) { return r.p99_us < 0 ? std::string("-") : format_string("%.1f", r.p99_us); }

std::string compare_direction(const char* direction, const std::vector<report_row>& a, const std::vector<report_row>& b,
                              bool latencies) {
  // A combination given twice in a report is matched by its first row.
  std::map<row_key, const report_row*> in_b;
  for (const report_row& r : b) in_b.emplace(key_of(r), &r);
  std::map<row_key, bool> seen_a;
  std::string text = format_string("%-29s %11s %11s %9s", direction, "A MBps", "B MBps", "B / A") +
                     (latencies ? format_string(" %11s %11s\n", "A p99 us", "B p99 us") : std::string("\n"));
  std::vector<double> ratios;
  size_t only_a = 0;
  for (const report_row& r : a) {
    if (!seen_a.emplace(key_of(r), true).second) continue;
    auto it = in_b.find(key_of(r));
    if (it == in_b.end()) {
      ++only_a;
      continue;
    }
    const report_row& other = *it->second;
    std::string ratio = "-";
    if (r.rate() > 0 && other.rate() > 0) {
      ratios.push_back(other.rate() / r.rate());
      ratio = format_string("%.3f", ratios.back());
    }
    text +=
        format_string("      %s %11.1f %11.1f %9s", combination(r).c_str(), r.binary_mbps, other.binary_mbps,
                      ratio.c_str()) +
        (latencies ? format_string(" %11s %11s\n", p99_text(r).c_str(), p99_text(other).c_str()) : std::string("\n"));
  }
  size_t only_b = 0;
  for (const auto& entry : in_b)
    if (!seen_a.count(entry.first)) ++only_b;
  text += best_line(direction, "A", a) + best_line(direction, "B", b);
  if (ratios.empty())
    text += format_string("Median %s ratio B / A: - (no combination with rates in both)\n", direction);
  else
    text += format_string("Median %s ratio B / A: %.3f over %u combinations\n", direction, median_of(ratios),
                          unsigned(ratios.size()));
  if (only_a || only_b)
    text += format_string("%u combinations only in A, %u only in B\n", unsigned(only_a), unsigned(only_b));
  return text;
}

std::string describe(const char* which, const parsed_report& r) {
  // The path may be long: it is not formatted.
  return std::string(which) + ": recorded " + r.recorded + ", version " + r.version + ", location " + r.path + "\n";
}
}  // namespace

std::string compare_reports(const parsed_report& a, const parsed_report& b) {
  const bool latencies = a.latencies && b.latencies;
  return describe("A", a) + describe("B", b) + "\n" + compare_direction("read", a.reads, b.reads, latencies) + "\n" +
         compare_direction("write", a.writes, b.writes, latencies);
}
