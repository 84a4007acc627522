#include "app/cli_progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/test_def.h"
#include "golden.h"
#include "run_records.h"

namespace {
test_run record(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate) {
  test_run r = completed(read, count, size, flags, rate);
  r.rate_total = rate / 2;
  r.bytes_done = 1048576;
  return r;
}

test_run timed(test_run r, double p50, double p99) {
  r.latency = {1000, p50, p50, p99, p99, p99 * 2, p99 * 3};
  return r;
}

std::string contents(FILE* f) {
  std::string text;
  std::rewind(f);
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
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

std::string shown(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "| " + line + "\n";
  return text;
}

// A run of PASSES x (two reads and two writes) driven through the callbacks with a clock the test
// sets; after each callback, the last line the console shows.
struct scripted_run {
  scripted_run(bool console, uint32_t duration, uint32_t passes = 1, uint32_t per_pass = 2)
      : out(std::tmpfile()),
        progress(out, guard, passes, per_pass, per_pass, {console, duration, [this] { return clock; }}) {}
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
  void whole() {
    const uint64_t mib = 1048576;
    for (uint64_t done : {0, 16, 48, 64, 64}) prepare(done * mib, 64 * mib);  // the final call repeats the last
    phase(true, 5000);
    test(true, 15000, 100 * 1048576.0);
    test(true, 26000, 110 * 1048576.0);
    phase(false, 26500);
    test(false, 37000, 90 * 1048576.0);
    test(false, 47000, 80 * 1048576.0);
  }
  // The bytes as written, what the console shows, and its last line after each callback.
  std::string finish() {
    progress.finish();
    std::string text = contents(out);
    text += "-- on a console:\n" + shown(screen(text)) + "-- the last line after each call:\n" + shown(seen);
    return text;
  }

  FILE* out;
  cache_guard guard;
  uint32_t clock = 0;
  cli_progress progress;
  std::vector<std::string> seen;
};
}  // namespace

// Every line is the same on a console and elsewhere; a console also keeps one line below them up to
// date: before a test has ended the profile's duration is the guess, then the tests so far.
TEST(cli_progress, runs_on_a_console_and_elsewhere) {
  std::string text;
  for (bool console : {false, true}) {
    scripted_run r(console, console ? 1000000 : 10000);
    r.whole();
    text += "== a whole run, console " + std::to_string(console) + "\n" + r.finish();
  }
  for (bool console : {false, true}) {
    scripted_run r(console, 0);
    r.prepare(0, 64);
    r.prepare(16, 64);
    text += "== a preparation cut short, console " + std::to_string(console) + "\n" + r.finish();
  }
  scripted_run guess(true, 0);  // without a duration there is no guess before a test has ended
  guess.phase(true, 0);
  guess.test(true, 2000, 1e6);
  text += "== no duration\n" + guess.finish();
  scripted_run passes(true, 0, 2, 1);  // passes announced, suspects marked as they come
  passes.guard.link_name = "USB 2.0";
  passes.guard.link_limit = 60e6;
  passes.phase(true, 0);
  passes.step(passes.progress.on_test_done(record(true, 1, 8192, 0, 200e6)));
  passes.step(passes.progress.on_test_done(record(true, 1, 8192, 0, 50e6)));
  EXPECT_EQ(passes.progress.read_results.size(), 2u);
  text += "== two passes\n" + passes.finish();

  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  cli_status_line line(out);
  line.show("write 12/68, ~1:00:00 left");
  line.show("read 1/2");  // blanks what the longer text left
  text += "== a shorter status\n" + shown(screen(contents(out))) + time_left_text(3599499) + "\n" +
          time_left_text(3599500) + "\n";
  std::fclose(out);
  expect_golden(text, "app/cli_progress_runs.txt");
}

TEST(cli_progress, lines_medians_best_and_csv) {
  test_run ok = record(true, 4, 65536, flag_no_buffering, 104857600.0 * 1.5);
  ok.rate_total = 104857600.0;
  test_run untimed = ok;  // as measured without latencies
  ok.latency = {16, 26.5, 24.25, 30.0, 41.7, 52.0, 60.25};
  const test_run write_failed = failed(false, 1, 1024, flag_sequential_scan, "WriteFile", 87);
  test_run refused = failed(true, 0, 4096, 0, "CheckTestParams", no_error_code);
  test_run hresult = failed(true, 0, 4096, 0, "CoCreateInstance", 0x80070005);
  std::string text = test_line(ok) + test_line(untimed) + test_line(write_failed) + test_line(ok, true) +
                     test_line(refused) + test_line(hresult);
  // A single pass: the same rows as the records, spread of one, no marks; latencies at the end.
  text += csv_text(summarize_repeats({ok}, 1), summarize_repeats({write_failed}, 1));

  // Two passes of two reads; the second pass ran backwards.
  const uint32_t raw = flag_no_buffering, buf_seq = flag_sequential_scan;
  std::vector<combo_result> reads =
      summarize_repeats({record(true, 4, 65536, raw, 100 * 1048576.0), record(true, 1, 8192, buf_seq, 95 * 1048576.0),
                         record(true, 1, 8192, buf_seq, 105 * 1048576.0), record(true, 4, 65536, raw, 110 * 1048576.0)},
                        2);
  reads[0].cache_suspect = true;
  text += median_lines(reads) + best_lines("read", reads) + best_lines("write", {}) + csv_text(reads, {});

  // The best latency: the lowest p99 within 5% of the best rate, the first of equals.
  const std::vector<test_run> runs = {
      timed(record(true, 16, 65536, raw, 100 * 1048576.0), 900, 4000),
      timed(record(true, 4, 65536, raw, 95.5 * 1048576.0), 250, 700),  // within 5%
      timed(record(true, 8, 65536, raw, 96 * 1048576.0), 500, 700),    // as low, but after
      timed(record(true, 1, 65536, 0, 94.9 * 1048576.0), 60, 90),      // lower, but too slow
  };
  text += best_lines("read", summarize_repeats(runs, 4)) + best_lines("read", summarize_repeats({runs[0]}, 1)) +
          best_lines("read", summarize_repeats({record(true, 1, 4096, raw, 1048576.0)}, 1));
  expect_golden(text, "app/cli_progress_lines.txt");
}
