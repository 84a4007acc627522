#include "app/cli_progress.h"

#include "bench/test_def.h"
#include "results/rate_text.h"
#include "support/format_string.h"

volatile LONG cli_cancel_requested = 0;

namespace {
BOOL WINAPI on_console_ctrl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  InterlockedExchange(&cli_cancel_requested, 1);
  return TRUE;  // the run stops at its next callback and deletes its file
}

bool keep_going() { return cli_cancel_requested == 0; }

// As the log writes it: "failed" alone without a code, hexadecimal for large codes.
std::string failure_of(const test_run& run) { return run.error.api + "() " + failure_text(run.error.code); }

std::string combination(const test_run& run) {
  return format_string("%-5s %2u x %9u  %-7s  ", run.read ? "read" : "write", unsigned(run.buffer_count),
                       unsigned(run.buffer_size), mode_names[mode_index(run.open_flags)]);
}

// The typical and the slow request: the median and the 99th percentile.
std::string latency_text(const test_run& run) {
  if (!run.ok || run.latency.count == 0) return std::string();
  return format_string("  p50 %.1f us  p99 %.1f us", run.latency.p50_us, run.latency.p99_us);
}

std::string outcome(const test_run& run) {
  return run.ok ? format_string("%9.1f MBps", binary_mbps(run.rate)) + latency_text(run) : failure_of(run);
}

std::string spread(const combo_result& c) {
  return format_string("  (%.1f to %.1f)", binary_mbps(c.rate_min), binary_mbps(c.rate_max));
}

// Empty where the test has no latencies (it failed).
std::string latency_columns(const test_run& r) {
  const latency_summary& l = r.latency;
  if (!r.ok || l.count == 0) return ",,,,,,";
  return format_string(",%.2f,%.2f,%.2f,%.2f,%.2f,%.2f", l.mean_us, l.p50_us, l.p90_us, l.p99_us, l.p999_us, l.max_us);
}

std::string suspect_mark(bool suspect) { return suspect ? std::string("  ") + cache_suspect_flag : std::string(); }
}  // namespace

void install_cli_cancel_handler() { SetConsoleCtrlHandler(on_console_ctrl, TRUE); }

bool is_console(HANDLE stream) {
  DWORD mode = 0;
  return GetConsoleMode(stream, &mode) != 0;
}

cli_progress::cli_progress(FILE* out, const cache_guard& guard, uint32_t passes, uint32_t read_per_pass,
                           uint32_t write_per_pass, progress_display display)
    : out_(out),
      guard_(guard),
      passes_(passes),
      read_per_pass_(read_per_pass),
      write_per_pass_(write_per_pass),
      display_(std::move(display)),
      status_(out) {}

uint32_t cli_progress::now() const { return display_.clock ? display_.clock() : GetTickCount(); }

bool cli_progress::on_init_progress(uint64_t done, uint64_t total) {
  if (prepared_) return keep_going();
  const int percent = total ? int(done * 100 / total) : 100;
  if (percent != last_percent_ && display_.console) status_.show(format_string("Preparing test file: %d%%", percent));
  last_percent_ = percent;
  if (done == total) end_preparation();
  return keep_going();
}

// The preparation's one line, as far as it came.
void cli_progress::end_preparation() {
  if (prepared_ || last_percent_ < 0) return;
  prepared_ = true;
  if (display_.console) {
    status_.keep();
  } else {
    std::fprintf(out_, "Preparing test file: %d%%\n", last_percent_);
    std::fflush(out_);
  }
}

void cli_progress::show_status() {
  const uint32_t in_phase = (read_phase_ ? read_per_pass_ : write_per_pass_) * passes_;
  if (!display_.console || phase_done_ >= in_phase) return;
  std::string text =
      format_string("%s %u/%u", read_phase_ ? "read" : "write", unsigned(phase_done_ + 1), unsigned(in_phase));
  // The tests that ended so far tell how long one takes; before the first, the profile's duration.
  const uint32_t per_test = run_done_ ? (now() - started_) / run_done_ : display_.test_duration;
  const uint32_t left = (read_per_pass_ + write_per_pass_) * passes_ - run_done_;
  if (per_test != 0) text += ", " + time_left_text(per_test * left);
  status_.show(text);
}

bool cli_progress::on_phase(bool read) {
  end_preparation();
  status_.clear();
  if (!keep_going()) return false;
  std::fprintf(out_, "Running %s tests...\n", read ? "read" : "write");
  std::fflush(out_);
  if (!timing_) started_ = now();
  timing_ = true;
  read_phase_ = read;
  phase_done_ = 0;
  show_status();
  return true;
}

bool cli_progress::on_test_done(const test_run& run) {
  status_.clear();
  std::vector<test_run>& list = run.read ? read_results : write_results;
  const uint32_t per_pass = run.read ? read_per_pass_ : write_per_pass_;
  if (passes_ > 1 && per_pass != 0 && list.size() % per_pass == 0)
    std::fprintf(out_, "Pass %u of %u\n", unsigned(list.size() / per_pass + 1), unsigned(passes_));
  list.push_back(run);
  std::fputs(test_line(run, guard_.suspect(run)).c_str(), out_);
  std::fflush(out_);
  ++phase_done_;
  ++run_done_;
  show_status();
  return keep_going();
}

void cli_progress::finish() {
  end_preparation();
  status_.clear();
}

std::string test_line(const test_run& run, bool suspect) {
  return combination(run) + outcome(run) + suspect_mark(suspect) + "\n";
}

std::string median_lines(const std::vector<combo_result>& combos) {
  std::string text;
  for (const combo_result& c : combos)
    text += combination(c.run) + outcome(c.run) + (c.run.ok ? spread(c) : std::string()) +
            suspect_mark(c.cache_suspect) + "\n";
  return text;
}

std::string best_lines(const char* direction, const std::vector<combo_result>& combos) {
  const best_and_ties b = find_best(combos);
  std::string text = format_string("Best %s: ", direction);
  if (b.best < 0) return text + "n/a\n";
  auto describe = [&](int i, bool with_p99) {
    const combo_result& c = combos[size_t(i)];
    std::string line =
        format_string("%u x %u bytes, %s, %.1f MBps", unsigned(c.run.buffer_count), unsigned(c.run.buffer_size),
                      mode_names[mode_index(c.run.open_flags)], binary_mbps(c.run.rate));
    if (with_p99) line += format_string(", p99 %.1f us", c.run.latency.p99_us);
    if (c.passes.size() > 1) line += spread(c);
    return line + suspect_mark(c.cache_suspect) + "\n";
  };
  text += describe(b.best, false);
  for (int t : b.ties) text += "  tied with " + describe(t, false);
  const int quick = find_best_latency(combos);
  if (quick >= 0)
    text += format_string("Best %s latency at 95%% of the best rate: ", direction) + describe(quick, true);
  return text;
}

std::string csv_text(const std::vector<combo_result>& reads, const std::vector<combo_result>& writes) {
  std::string text =
      "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags,"
      "lat_mean_us,lat_p50_us,lat_p90_us,lat_p99_us,lat_p999_us,lat_max_us\r\n";
  for (const auto* list : {&reads, &writes}) {
    for (const combo_result& c : *list) {
      const test_run& r = c.run;
      const std::string error = r.ok ? std::string() : failure_of(r);
      text +=
          format_string("%s,%u,%u,%s,%u,", r.read ? "read" : "write", unsigned(r.buffer_count), unsigned(r.buffer_size),
                        mode_names[mode_index(r.open_flags)], r.ok ? 1u : 0u) +
          error +
          format_string(",%.0f,%.0f,%I64u,%.0f,%.0f,%u,%s", r.rate, r.rate_total, (unsigned long long)r.bytes_done,
                        c.rate_min, c.rate_max, unsigned(c.passes.size()), c.cache_suspect ? cache_suspect_flag : "") +
          latency_columns(r) + "\r\n";
    }
  }
  return text;
}
