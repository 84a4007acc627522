#include "results/report_build.h"

#include "results/rate_text.h"
#include "results/report_render.h"
#include "results/report_texts.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
void add(report_entries& out, std::string key, std::string value = {}) {
  out.push_back({std::move(key), std::move(value)});
}
void add_blank(report_entries& out) { out.push_back({}); }

void add_header(report_entries& out, const std::string& version) {
  std::string title = report_box_title + version;
  if (title.size() < report_box_title_width) title.resize(report_box_title_width, ' ');
  add(out, report_box_rule);
  add(out, report_box_blank);
  add(out, title + "|");
  add(out, report_box_blank);
  add(out, report_box_rule);
}

void add_profile(report_entries& out, const test_def& def) {
  // Unbounded texts are concatenated: the formatter gives nothing beyond 1,024 characters.
  std::string sizes, counts;
  for (uint64_t s : def.buffer_sizes) sizes += format_string("%llu ", (unsigned long long)s);
  for (uint32_t c : def.buffer_counts) counts += format_string("%u ", unsigned(c));
  add(out, "Test.path", to_utf8(def.path));
  add(out, "Test.remote", def.remote ? "Yes" : "No");
  add(out, "Test.file.size", format_string("%llu", (unsigned long long)def.file_size));
  add(out, "Test.io.buffer_sizes", sizes);
  add(out, "Test.io.buffer_counts", counts);
  add(out, "Test.io.memory_cap", format_string("%llu", (unsigned long long)def.memory_cap));
  add(out, "Test.duration", format_string("%u", unsigned(def.duration)));
  add(out, "Test.order", format_string("%u", unsigned(def.order)));
  add(out, "Test.cache_trim", format_string("%u", unsigned(def.cache_trim)));
  add_blank(out);
  add(out, "Test.read.modes", format_string("0x%02x", unsigned(def.read_modes)));
  add(out, "Test.read.fill", fill_name(def.fill));
  add(out, "Test.write.modes", format_string("0x%02x", unsigned(def.write_modes)));
  add(out, "Test.write.fill", fill_name(def.fill));
  add(out, "Test.write.flush", def.flush ? "Yes" : "No");
}

void add_summary(report_entries& out, const std::string& prefix, const std::vector<test_run>& runs, uint32_t planned) {
  const direction_summary s = summarize_direction(runs);
  add(out, prefix + ".tests", format_string("%u / %u", unsigned(s.recorded), unsigned(planned)));
  add(out, prefix + ".tests.failed", s.failed ? format_string("%u", unsigned(s.failed)) : "-");
  add(out, prefix + ".best.speed.binary", format_string("%.1lf MBps", binary_mbps(s.best_rate)));
  add(out, prefix + ".best.speed.decimal", format_string("%.1lf MBps", decimal_mbps(s.best_rate)));
  std::string io;
  if (s.best >= 0) {
    const test_run& b = runs[size_t(s.best)];
    io = format_string("%u x %u bytes, ", unsigned(b.buffer_count), unsigned(b.buffer_size)) + mode_label(b.open_flags);
  }
  add(out, prefix + ".best.io", io);
  add(out, prefix + ".99_perc", format_string("%u", unsigned(s.near_99)));
  add(out, prefix + ".95_perc", format_string("%u", unsigned(s.near_95)));
}

void add_measurements(report_entries& out, const char* heading, const std::vector<test_run>& runs) {
  add(out, heading);
  add_blank(out);
  const std::vector<row_marks> marks = mark_rows(runs);
  for (size_t i = 0; i < runs.size(); ++i) add(out, measurement_row(unsigned(i + 1), runs[i], marks[i]));
}
}  // namespace

std::string measurement_row(unsigned number, const test_run& run, const row_marks& marks) {
  return format_string(" %3u  |  %2u x %9u  |  ", number, unsigned(run.buffer_count), unsigned(run.buffer_size)) +
         mode_label(run.open_flags) +
         format_string("  |  %9.1lf MBps  %9.1lf MBps  |  %c %c %c", binary_mbps(run.rate), decimal_mbps(run.rate),
                       marks.rising ? '+' : ' ', marks.near_95 ? '*' : ' ', marks.near_99 ? '*' : ' ');
}

report_entries build_report_entries(const report_host& host, const SYSTEMTIME& t, const report_run& run) {
  report_entries out;
  add_header(out, host.version);
  add_blank(out);
  add(out, "Recorded",
      format_string("%04u/%02u/%02u %02u:%02u:%02u", unsigned(t.wYear), unsigned(t.wMonth), unsigned(t.wDay),
                    unsigned(t.wHour), unsigned(t.wMinute), unsigned(t.wSecond)));
  add(out, "Platform", host.os_name + " / " + host.os_version + (host.wow64 ? " / 64 bit" : " / 32 bit"));
  add(out, "MD5(MachineGuid)", host.machine_id);
  add_blank(out);
  out.insert(out.end(), run.storage_facts.begin(), run.storage_facts.end());
  add_blank(out);
  add_profile(out, run.profile);
  add_blank(out);
  add_summary(out, "Read", run.reads, run.profile.read_tests);
  add_blank(out);
  add_summary(out, "Write", run.writes, run.profile.write_tests);
  add_blank(out);
  add_measurements(out, report_read_heading, run.reads);
  add_blank(out);
  add_measurements(out, report_write_heading, run.writes);
  add_blank(out);
  return out;
}

void build_report(const report_host& host, const SYSTEMTIME& recorded, const report_run& run, std::string& out) {
  render_report(build_report_entries(host, recorded, run), out);
}
