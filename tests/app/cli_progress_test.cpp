#include "app/cli_progress.h"

#include <gtest/gtest.h>

// From tests/results/fixtures.cpp.
test_run completed(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate);

namespace {
test_run record(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate) {
  test_run r = completed(read, count, size, flags, rate);
  r.rate_total = rate / 2;
  r.bytes_done = 1048576;
  return r;
}
}  // namespace

TEST(cli_progress, lines_and_csv) {
  test_run ok;
  ok.buffer_count = 4;
  ok.buffer_size = 65536;
  ok.open_flags = 0x20000000;
  ok.ok = true;
  ok.rate = 104857600.0 * 1.5;
  ok.rate_total = 104857600.0;
  ok.bytes_done = 1048576;
  test_run failed;
  failed.read = false;
  failed.buffer_count = 1;
  failed.buffer_size = 1024;
  failed.open_flags = 0x08000000;
  failed.error.api = "WriteFile";
  failed.error.code = 87;
  EXPECT_EQ(test_line(ok), "read   4 x     65536  raw          150.0 MBps\n");
  EXPECT_EQ(test_line(failed), "write  1 x      1024  buf seq  WriteFile() failed with 87\n");
  EXPECT_EQ(test_line(ok, true), "read   4 x     65536  raw          150.0 MBps  cache-suspect\n");
  // A single pass: the same rows as the records, spread of one, no marks.
  EXPECT_EQ(csv_text(summarize_repeats({ok}, 1), summarize_repeats({failed}, 1)),
            "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags\r\n"
            "read,4,65536,raw,1,,157286400,104857600,1048576,157286400,157286400,1,\r\n"
            "write,1,1024,buf seq,0,WriteFile() failed with 87,0,0,0,0,0,1,\r\n");
}

TEST(cli_progress, repeated_run_medians_spread_best_and_ties) {
  const uint32_t raw = 0x20000000, buf_seq = 0x08000000;
  // Two passes of two reads; the second pass ran backwards.
  std::vector<combo_result> reads = summarize_repeats(
      {record(true, 4, 65536, raw, 100 * 1048576.0), record(true, 1, 8192, buf_seq, 95 * 1048576.0),
       record(true, 1, 8192, buf_seq, 105 * 1048576.0), record(true, 4, 65536, raw, 110 * 1048576.0)},
      2);
  reads[0].cache_suspect = true;
  EXPECT_EQ(median_lines(reads),
            "read   4 x     65536  raw          105.0 MBps  (100.0 to 110.0)  cache-suspect\n"
            "read   1 x      8192  buf seq      100.0 MBps  (95.0 to 105.0)\n");
  EXPECT_EQ(best_lines("read", reads),
            "Best read: 4 x 65536 bytes, raw, 105.0 MBps  (100.0 to 110.0)  cache-suspect\n"
            "  tied with 1 x 8192 bytes, buf seq, 100.0 MBps  (95.0 to 105.0)\n");
  EXPECT_EQ(best_lines("write", {}), "Best write: n/a\n");
  EXPECT_EQ(csv_text(reads, {}),
            "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags\r\n"
            "read,4,65536,raw,1,,110100480,55050240,1048576,104857600,115343360,2,cache-suspect\r\n"
            "read,1,8192,buf seq,1,,104857600,52428800,1048576,99614720,110100480,2,\r\n");
}

TEST(cli_progress, passes_are_announced_and_suspects_marked_as_they_come) {
  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  cache_guard guard;
  guard.link_name = "USB 2.0";
  guard.link_limit = 60e6;
  cli_progress progress(out, guard, 2, 1, 1);
  EXPECT_TRUE(progress.on_phase(true));
  EXPECT_TRUE(progress.on_test_done(record(true, 1, 8192, 0, 200e6)));
  EXPECT_TRUE(progress.on_test_done(record(true, 1, 8192, 0, 50e6)));
  EXPECT_EQ(progress.read_results.size(), 2u);
  std::rewind(out);
  char buffer[512] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, n),
            "Running read tests...\n"
            "Pass 1 of 2\n"
            "read   1 x      8192  buf          190.7 MBps  cache-suspect\n"
            "Pass 2 of 2\n"
            "read   1 x      8192  buf           47.7 MBps\n");
}

TEST(cli_progress, failures_without_a_code_follow_the_log_format) {
  test_run refused;
  refused.buffer_count = 0;
  refused.buffer_size = 4096;
  refused.error.api = "CheckTestParams";
  refused.error.code = no_error_code;
  EXPECT_EQ(test_line(refused), "read   0 x      4096  buf      CheckTestParams() failed\n");
  test_run hresult = refused;
  hresult.error.api = "CoCreateInstance";
  hresult.error.code = 0x80070005;
  EXPECT_EQ(test_line(hresult), "read   0 x      4096  buf      CoCreateInstance() failed with 80070005\n");
}
