#include "results/report_build.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
#include "run_records.h"
#include "support/host_info.h"

constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t raw_seq = flag_no_buffering | flag_sequential_scan;
constexpr uint32_t buf_seq = flag_sequential_scan;

namespace {
const SYSTEMTIME recorded = {2024, 3, 4, 7, 9, 5, 1, 250};

report_host test_host() {
  report_host h;
  h.version = "0.1.2.3";
  h.os_name = "Windows 10";
  h.os_version = "2.10.0.19045.1.1.1";
  h.wow64 = true;
  h.machine_id = "0123456789abcdef0123456789abcdef";
  return h;
}

test_def quick_on(const wchar_t* path) {
  test_def def;
  def.path = path;
  return def;
}

std::string report_of(const test_def& def, const std::vector<test_run>& reads, const std::vector<test_run>& writes,
                      const report_entries& facts = {}, const report_host& host = test_host()) {
  std::string out = "stale";
  build_report(host, recorded, {def, reads, writes, facts}, out);
  return out;
}

}  // namespace

TEST(report_build, whole_report) {
  std::vector<test_run> reads = {completed(true, 1, 8192, raw, 52428800), completed(true, 4, 65536, raw_seq, 129400000),
                                 failed(true, 8, 131072, buf_seq, "ReadFile", 87)};
  report_entries facts = {{"Volume.file_system", "NTFS"}, {"Volume.type", "-"}, {}, {"Device.type", "SSD"}};
  expect_golden(report_of(quick_on(L"D:\\"), reads, {}, facts), "reports/quick_run_report.txt");
  // Request latencies stay out of the report: the same records timed give the same text.
  const std::string untimed = report_of(quick_on(L"D:\\"), reads, {}, facts);
  for (test_run& r : reads) r.latency = {1000, 12.5, 10, 20, 40, 80, 160};
  EXPECT_EQ(report_of(quick_on(L"D:\\"), reads, {}, facts), untimed);
}

// Reports of the other profile fields (a remote path, no sizes or counts, every read mode, no write
// mode, a fill pattern and an unknown one, flush), equal best rates (the first is named), a direction
// whose every test failed, a path outside the basic plane (each surrogate half three bytes of its
// own), versions one past, exactly at, and well inside the header box's width, a long path, and
// rows of one and three digits, of every mark and none.
TEST(report_build, fields_best_rates_failures_paths_and_the_header_box) {
  test_def def = quick_on(L"\\\\server\\share\\");
  def.remote = true;
  def.buffer_sizes = {};
  def.buffer_counts = {};
  def.fill = 2;
  def.flush = true;
  def.read_modes = 0x3f;
  def.write_modes = 0;
  def.update_counts();
  std::string out = "=== profile fields\r\n" + report_of(def, {}, {});
  def.fill = 7;
  out += "=== unknown fill\r\n" + report_of(def, {}, {});
  out += "=== equal best rates\r\n" +
         report_of(quick_on(L"C:\\"), {},
                   {completed(false, 1, 8192, raw, 1e8), completed(false, 16, 1048576, buf_seq, 2e8),
                    completed(false, 32, 4096, raw_seq, 2e8)});
  out += "=== every write failed\r\n" +
         report_of(quick_on(L"C:\\"), {},
                   {failed(false, 1, 1024, raw, "WriteFile", 87), failed(false, 4, 1024, raw, "WriteFile", 87)});
  out += "=== U+1F600 in the path\r\n" + report_of(quick_on(L"E:\\\xD83D\xDE00\\"), {}, {});
  report_host host = test_host();
  for (const char* version : {"123.456.789.0", "12.345.678.9"}) {
    host.version = version;
    out += std::string("=== version ") + version + "\r\n" + report_of(quick_on(L"C:\\"), {}, {}, {}, host);
  }
  host.version = "1.2.3.4";
  host.wow64 = false;
  host.machine_id = "-";
  out += "=== 32-bit system, no machine id\r\n" + report_of(quick_on(L"C:\\"), {}, {}, {}, host);
  out += "=== a long path kept whole\r\n" +
         report_of(quick_on((L"\\\\?\\C:\\" + std::wstring(2000, L'd') + L"\\").c_str()), {}, {});
  out += "=== rows 1 and 123\r\n" +
         measurement_row(1, completed(true, 4, 65536, raw_seq, 129400000), {true, true, true}) + "\r\n" +
         measurement_row(123, completed(true, 32, 4194304, 0, 0), {false, true, false}) + "\r\n";
  expect_golden(out, "reports/report_variants.txt");
}

TEST(report_build, host_without_version_resource) {
  // This test program carries no version resource: the failure is reported, the report still builds.
  api_error_logger errors;
  report_host host = read_report_host(&errors);
  EXPECT_EQ(host.version, "0.0.0.0");
  EXPECT_EQ(errors.last_error().api, "GetFileVersionInfoSize");
  EXPECT_FALSE(host.os_name.empty());
  EXPECT_EQ(host.machine_id, machine_id_digest());
  EXPECT_EQ(host.machine_id.size(), 32u) << host.machine_id;
}
