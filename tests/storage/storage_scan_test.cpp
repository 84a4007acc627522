#include <gtest/gtest.h>

#include <string>

#include "captured_log.h"
#include "fake_machine.h"
#include "forwarding_api.h"
#include "storage/storage_scan.h"
#include "support/scoped_win.h"

namespace {
// Holds the scan at its first system call until the test lets it go on.
class gated_machine final : public forwarding_api {
 public:
  using forwarding_api::forwarding_api;
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~gated_machine() override { CloseHandle(gate); }
  bool open_interface_set(const GUID& c, api_handle& set, DWORD& error) override {
    WaitForSingleObject(gate, INFINITE);
    return forwarding_api::open_interface_set(c, set, error);
  }
};

// Forwards to a capturing logger and signals when the scan lets go of it, its last act.
class signalling_logger final : public logger {
 public:
  signalling_logger(capturing_logger* target, HANDLE done) : target_(target), done_(done) { target_->add_ref(); }
  ~signalling_logger() override {
    target_->release();
    SetEvent(done_);
  }
  void write(const char* prefix, const char* format, va_list args) override { target_->write(prefix, format, args); }

 private:
  capturing_logger* target_;
  HANDLE done_;
};

}  // namespace

TEST(storage_scan, runs_on_its_own_thread_and_hands_over_the_model) {
  fake_machine m;
  m.header.computer_name = L"BENCH-PC";
  m.header.tz_bias = -60;
  m.header.local_time.wYear = 2026;
  scan_replay vds{scan_recording{}};
  gated_machine gated(m);
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  storage_scan* scan = new storage_scan(gated, vds);
  scan->set_logger(captured);
  captured->add_ref();  // the scan owns one reference, the test keeps its own
  ASSERT_TRUE(scan->start());
  // The caller is not blocked: the scan waits at its first call until released here.
  EXPECT_FALSE(scan->is_done());
  SetEvent(gated.gate);
  scan->wait();
  std::unique_ptr<storage_stack> model = std::move(scan->model);
  scan->release();
  ASSERT_TRUE(model);
  EXPECT_EQ(model->computer_name, L"BENCH-PC");
  EXPECT_EQ(model->tz_bias, -60);
  EXPECT_EQ(model->scan_time.wYear, 2026);
  const std::string log = joined_lines(captured);
  // The phases in order are in every recorded machine's log.
  EXPECT_EQ(log.rfind("2 Storage stack:\n"), log.size() - std::string("2 Storage stack:\n").size()) << log;
  EXPECT_EQ(m.open_handles(), 0);
  captured->release();
}

TEST(storage_scan, released_early_it_stops_at_the_next_check) {
  fake_machine m;
  scan_replay vds{scan_recording{}};
  gated_machine gated(m);
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  storage_scan* scan = new storage_scan(gated, vds);
  scan->set_logger(new signalling_logger(captured, done));
  ASSERT_TRUE(scan->start());
  scan->release();  // only the scan's own thread holds it now
  SetEvent(gated.gate);
  ASSERT_EQ(WaitForSingleObject(done, 60000), WAIT_OBJECT_0);
  CloseHandle(done);
  const std::string log = joined_lines(captured);
  EXPECT_NE(log.find("2 Cancelled\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Storage stack:"), std::string::npos) << log;
  EXPECT_EQ(m.open_handles(), 0);
  captured->release();
}
