#include "app/cli_progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "run_records.h"

namespace {
test_run record(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate) {
  test_run r = completed(read, count, size, flags, rate);
  r.rate_total = rate / 2;
  r.bytes_done = 1048576;
  return r;
}

std::string contents(FILE* f) {
  std::string text;
  std::rewind(f);
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  return text;
}

// What a console shows after these bytes: a CR goes back to the line's start and the text after it
// overwrites what is there. Lines without their trailing blanks.
std::vector<std::string> screen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  size_t column = 0;
  for (char c : bytes) {
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      lines.emplace_back();
      column = 0;
    } else {
      std::string& line = lines.back();
      if (line.size() <= column) line.resize(column + 1, ' ');
      line[column++] = c;
    }
  }
  for (std::string& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  return lines;
}

// A run of two reads and two writes driven through the callbacks with a clock the test sets; after
// each callback, the last line the console shows.
struct scripted_run {
  explicit scripted_run(bool console, uint32_t duration)
      : out(std::tmpfile()), progress(out, guard, 1, 2, 2, {console, duration, [this] { return clock; }}) {}
  ~scripted_run() { std::fclose(out); }
  void step(bool answer) {
    EXPECT_TRUE(answer);
    seen.push_back(screen(contents(out)).back());
  }
  void prepare(uint64_t done, uint64_t total) { step(progress.on_init_progress(done, total)); }
  void phase(bool read, uint32_t at) {
    clock = at;
    step(progress.on_phase(read));
  }
  void test(bool read, uint32_t at, double rate) {
    clock = at;
    step(progress.on_test_done(record(read, 4, 65536, 0, rate)));
  }
  void finish() {
    progress.finish();
    seen.push_back(screen(contents(out)).back());
  }
  std::string text() { return contents(out); }

  FILE* out;
  cache_guard guard;
  uint32_t clock = 0;
  cli_progress progress;
  std::vector<std::string> seen;
};

void whole_run(scripted_run& r) {
  const uint64_t mib = 1048576;
  r.prepare(0, 64 * mib);
  r.prepare(16 * mib, 64 * mib);
  r.prepare(48 * mib, 64 * mib);
  r.prepare(64 * mib, 64 * mib);
  r.prepare(64 * mib, 64 * mib);  // the final call repeats the last chunk's
  r.phase(true, 5000);
  r.test(true, 15000, 100 * 1048576.0);
  r.test(true, 26000, 110 * 1048576.0);
  r.phase(false, 26500);
  r.test(false, 37000, 90 * 1048576.0);
  r.test(false, 47000, 80 * 1048576.0);
  r.finish();
}

const char whole_run_lines[] =
    "Preparing test file: 100%\n"
    "Running read tests...\n"
    "read   4 x     65536  buf          100.0 MBps\n"
    "read   4 x     65536  buf          110.0 MBps\n"
    "Running write tests...\n"
    "write  4 x     65536  buf           90.0 MBps\n"
    "write  4 x     65536  buf           80.0 MBps\n";
}  // namespace

TEST(cli_progress, elsewhere_than_a_console_each_phase_has_one_line) {
  scripted_run r(false, 10000);
  whole_run(r);
  EXPECT_EQ(r.text(), whole_run_lines);
}

// The lines are those written elsewhere; below them one line tells how far the run has come.
TEST(cli_progress, a_console_keeps_one_line_up_to_date_in_place) {
  scripted_run r(true, 1000000);
  whole_run(r);
  std::string shown;
  for (const std::string& line : screen(r.text())) shown += line + "\n";
  EXPECT_EQ(shown, std::string(whole_run_lines) + "\n");
  const std::vector<std::string> expected = {
      "Preparing test file: 0%",
      "Preparing test file: 25%",
      "Preparing test file: 75%",
      "",  // the preparation's line is kept as it ended
      "",
      // Before a test has ended the profile's duration is the guess: four tests of 1,000 s.
      "read 1/2, ~1:06:40 left",
      // Then the tests so far: 10 s for one, three to go.
      "read 2/2, ~0:30 left",
      "",
      "write 1/2, ~0:22 left",
      "write 2/2, ~0:11 left",
      "",
      "",
  };
  EXPECT_EQ(r.seen, expected);
}

TEST(cli_progress, a_preparation_cut_short_says_how_far_it_came) {
  for (bool console : {false, true}) {
    scripted_run r(console, 0);
    r.prepare(0, 64);
    r.prepare(16, 64);
    r.finish();
    EXPECT_EQ(screen(r.text()), (std::vector<std::string>{"Preparing test file: 25%", ""})) << console;
  }
}

TEST(cli_progress, the_line_on_a_console_and_its_guess) {
  // Without a duration there is no guess before a test has ended.
  scripted_run r(true, 0);
  r.phase(true, 0);
  r.test(true, 2000, 1e6);
  EXPECT_EQ(r.seen, (std::vector<std::string>{"read 1/2", "read 2/2, ~0:06 left"}));
  // A shorter text blanks what the longer one before it left.
  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  cli_status_line line(out);
  line.show("write 12/68, ~1:00:00 left");
  line.show("read 1/2");
  EXPECT_EQ(screen(contents(out)), std::vector<std::string>{"read 1/2"});
  std::fclose(out);
  EXPECT_EQ(time_left_text(3599499), "~59:59 left");
  EXPECT_EQ(time_left_text(3599500), "~1:00:00 left");
}

TEST(cli_progress, lines_and_csv) {
  test_run ok;
  ok.buffer_count = 4;
  ok.buffer_size = 65536;
  ok.open_flags = 0x20000000;
  ok.ok = true;
  ok.rate = 104857600.0 * 1.5;
  ok.rate_total = 104857600.0;
  ok.bytes_done = 1048576;
  test_run untimed = ok;  // as measured without latencies
  ok.latency = {16, 26.5, 24.25, 30.0, 41.7, 52.0, 60.25};
  test_run failed;
  failed.read = false;
  failed.buffer_count = 1;
  failed.buffer_size = 1024;
  failed.open_flags = 0x08000000;
  failed.error.api = "WriteFile";
  failed.error.code = 87;
  EXPECT_EQ(test_line(ok), "read   4 x     65536  raw          150.0 MBps  p50 24.2 us  p99 41.7 us\n");
  EXPECT_EQ(test_line(untimed), "read   4 x     65536  raw          150.0 MBps\n");
  EXPECT_EQ(test_line(failed), "write  1 x      1024  buf seq  WriteFile() failed with 87\n");
  EXPECT_EQ(test_line(ok, true),
            "read   4 x     65536  raw          150.0 MBps  p50 24.2 us  p99 41.7 us  cache-suspect\n");
  // A single pass: the same rows as the records, spread of one, no marks; latencies at the end.
  EXPECT_EQ(
      csv_text(summarize_repeats({ok}, 1), summarize_repeats({failed}, 1)),
      "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags,"
      "lat_mean_us,lat_p50_us,lat_p90_us,lat_p99_us,lat_p999_us,lat_max_us\r\n"
      "read,4,65536,raw,1,,157286400,104857600,1048576,157286400,157286400,1,,26.50,24.25,30.00,41.70,52.00,60.25\r\n"
      "write,1,1024,buf seq,0,WriteFile() failed with 87,0,0,0,0,0,1,,,,,,,\r\n");
}

TEST(cli_progress, repeated_run_medians_spread_best_and_ties) {
  const uint32_t raw = 0x20000000, buf_seq = 0x08000000;
  // Two passes of two reads; the second pass ran backwards.
  std::vector<combo_result> reads =
      summarize_repeats({record(true, 4, 65536, raw, 100 * 1048576.0), record(true, 1, 8192, buf_seq, 95 * 1048576.0),
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
            "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags,"
            "lat_mean_us,lat_p50_us,lat_p90_us,lat_p99_us,lat_p999_us,lat_max_us\r\n"
            "read,4,65536,raw,1,,110100480,55050240,1048576,104857600,115343360,2,cache-suspect,,,,,,\r\n"
            "read,1,8192,buf seq,1,,104857600,52428800,1048576,99614720,110100480,2,,,,,,,\r\n");
}

TEST(cli_progress, best_latency_within_five_percent_of_the_best_rate) {
  const uint32_t raw = 0x20000000, buf = 0;
  auto timed = [](test_run r, double p50, double p99) {
    r.latency = {1000, p50, p50, p99, p99, p99 * 2, p99 * 3};
    return r;
  };
  const std::vector<test_run> runs = {
      timed(record(true, 16, 65536, raw, 100 * 1048576.0), 900, 4000),
      timed(record(true, 4, 65536, raw, 95.5 * 1048576.0), 250, 700),  // within 5%
      timed(record(true, 8, 65536, raw, 96 * 1048576.0), 500, 700),    // as low, but after
      timed(record(true, 1, 65536, buf, 94.9 * 1048576.0), 60, 90),    // lower, but too slow
  };
  EXPECT_EQ(best_lines("read", summarize_repeats(runs, 4)),
            "Best read: 16 x 65536 bytes, raw, 100.0 MBps\n"
            "Best read latency at 95% of the best rate: 4 x 65536 bytes, raw, 95.5 MBps, p99 700.0 us\n");
  // The best alone, and untimed runs name nothing more.
  EXPECT_EQ(best_lines("read", summarize_repeats({runs[0]}, 1)),
            "Best read: 16 x 65536 bytes, raw, 100.0 MBps\n"
            "Best read latency at 95% of the best rate: 16 x 65536 bytes, raw, 100.0 MBps, p99 4000.0 us\n");
  EXPECT_EQ(best_lines("read", summarize_repeats({record(true, 1, 4096, raw, 1048576.0)}, 1)),
            "Best read: 1 x 4096 bytes, raw, 1.0 MBps\n");
}

TEST(cli_progress, passes_are_announced_and_suspects_marked_as_they_come) {
  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  cache_guard guard;
  guard.link_name = "USB 2.0";
  guard.link_limit = 60e6;
  cli_progress progress(out, guard, 2, 1, 1, {true, 0, [] { return 0u; }});
  EXPECT_TRUE(progress.on_phase(true));
  EXPECT_TRUE(progress.on_test_done(record(true, 1, 8192, 0, 200e6)));
  EXPECT_TRUE(progress.on_test_done(record(true, 1, 8192, 0, 50e6)));
  EXPECT_EQ(progress.read_results.size(), 2u);
  progress.finish();
  std::string shown;
  for (const std::string& line : screen(contents(out))) shown += line + "\n";
  std::fclose(out);
  EXPECT_EQ(shown,
            "Running read tests...\n"
            "Pass 1 of 2\n"
            "read   1 x      8192  buf          190.7 MBps  cache-suspect\n"
            "Pass 2 of 2\n"
            "read   1 x      8192  buf           47.7 MBps\n\n");
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
