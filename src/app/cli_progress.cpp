#include "app/cli_progress.h"

#include "bench/test_def.h"
#include "support/format_string.h"

volatile LONG cli_cancel_requested = 0;

namespace {
BOOL WINAPI on_console_ctrl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  InterlockedExchange(&cli_cancel_requested, 1);
  return TRUE;  // the run stops at its next callback and deletes its file
}

bool keep_going() { return cli_cancel_requested == 0; }

std::string failure_of(const test_run& run) {
  return format_string("%s() failed with %lu", run.error.api.c_str(), (unsigned long)run.error.code);
}
}  // namespace

void install_cli_cancel_handler() { SetConsoleCtrlHandler(on_console_ctrl, TRUE); }

bool cli_progress::on_init_progress(uint64_t done, uint64_t total) {
  const int percent = total ? int(done * 100 / total) : 100;
  if (percent != last_percent_) {
    std::fprintf(out_, "Preparing test file: %d%%\n", percent);
    std::fflush(out_);
    last_percent_ = percent;
  }
  return keep_going();
}

bool cli_progress::on_phase(bool read) {
  if (!keep_going()) return false;
  std::fprintf(out_, "Running %s tests...\n", read ? "read" : "write");
  std::fflush(out_);
  return true;
}

bool cli_progress::on_test_done(const test_run& run) {
  (run.read ? read_results : write_results).push_back(run);
  std::fputs(test_line(run).c_str(), out_);
  std::fflush(out_);
  return keep_going();
}

std::string test_line(const test_run& run) {
  std::string line = format_string("%-5s %2u x %9u  %-7s  ", run.read ? "read" : "write", unsigned(run.buffer_count),
                                   unsigned(run.buffer_size), mode_names[mode_index(run.open_flags)]);
  if (run.ok)
    line += format_string("%9.1f MBps", run.rate / 1024 / 1024);
  else
    line += failure_of(run);
  return line + "\n";
}

std::string csv_text(const std::vector<test_run>& reads, const std::vector<test_run>& writes) {
  std::string text = "direction,count,size,mode,ok,error,rate,rate_total,bytes\r\n";
  for (const auto* list : {&reads, &writes}) {
    for (const test_run& r : *list) {
      const std::string error = r.ok ? std::string() : failure_of(r);
      text += format_string("%s,%u,%u,%s,%u,%s,%.0f,%.0f,%I64u\r\n", r.read ? "read" : "write",
                            unsigned(r.buffer_count), unsigned(r.buffer_size), mode_names[mode_index(r.open_flags)],
                            r.ok ? 1u : 0u, error.c_str(), r.rate, r.rate_total, (unsigned long long)r.bytes_done);
    }
  }
  return text;
}
