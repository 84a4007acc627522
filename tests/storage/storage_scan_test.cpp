#include <gtest/gtest.h>

#include <string>

#include "captured_log.h"
#include "fake_machine.h"
#include "storage/storage_scan.h"
#include "support/scoped_win.h"

namespace {
// Holds the scan at its first system call until the test lets it go on.
class gated_machine final : public device_api {
 public:
  explicit gated_machine(fake_machine& inner) : m_(inner) {}
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~gated_machine() override { CloseHandle(gate); }

  bool open_interface_set(const GUID& c, api_handle& set, DWORD& error) override {
    WaitForSingleObject(gate, INFINITE);
    return m_.open_interface_set(c, set, error);
  }
  bool has_interface(api_handle s, DWORD i) override { return m_.has_interface(s, i); }
  bool interface_detail(api_handle s, DWORD i, std::wstring& p, DWORD& d, DWORD& e) override {
    return m_.interface_detail(s, i, p, d, e);
  }
  bool registry_property(api_handle s, DWORD i, DWORD p, std::vector<uint8_t>& v) override {
    return m_.registry_property(s, i, p, v);
  }
  void close_interface_set(api_handle s) override { m_.close_interface_set(s); }
  bool device_id(DWORD d, std::wstring& id, DWORD& e) override { return m_.device_id(d, id, e); }
  bool parent_node(DWORD d, DWORD& p, DWORD& e) override { return m_.parent_node(d, p, e); }
  bool node_address(DWORD d, DWORD& a, DWORD& e) override { return m_.node_address(d, a, e); }
  bool has_node_properties() override { return m_.has_node_properties(); }
  bool node_property(DWORD d, const DEVPROPKEY& k, std::wstring& v) override { return m_.node_property(d, k, v); }
  bool create_file(const std::wstring& p, DWORD a, DWORD s, DWORD d, DWORD f, api_handle& h, DWORD& e) override {
    return m_.create_file(p, a, s, d, f, h, e);
  }
  bool device_io_control(api_handle h, DWORD c, const void* in, DWORD is, void* out, DWORD os, DWORD& r,
                         DWORD& e) override {
    return m_.device_io_control(h, c, in, is, out, os, r, e);
  }
  void close_handle(api_handle h) override { m_.close_handle(h); }
  bool query_dos_device(const std::wstring& n, DWORD m, std::vector<std::wstring>& t, DWORD& e) override {
    return m_.query_dos_device(n, m, t, e);
  }
  bool find_first_volume(std::wstring& n, api_handle& f, DWORD& e) override { return m_.find_first_volume(n, f, e); }
  bool find_next_volume(api_handle f, std::wstring& n) override { return m_.find_next_volume(f, n); }
  void find_volume_close(api_handle f) override { m_.find_volume_close(f); }
  bool volume_information(const std::wstring& r, volume_information_reply& v, DWORD& e) override {
    return m_.volume_information(r, v, e);
  }
  bool disk_free_space(const std::wstring& r, free_space_reply& f, DWORD& e) override {
    return m_.disk_free_space(r, f, e);
  }
  bool volume_path_names(const std::wstring& v, std::vector<std::wstring>& p, DWORD& e) override {
    return m_.volume_path_names(v, p, e);
  }
  int64_t performance_counter() override { return m_.performance_counter(); }
  int64_t performance_frequency() override { return m_.performance_frequency(); }
  int os_version_index() override { return m_.os_version_index(); }
  void set_last_error(DWORD code) override { m_.set_last_error(code); }
  host_header read_host_header() override { return m_.read_host_header(); }

 private:
  fake_machine& m_;
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
  gated_machine gated(m);
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  storage_scan* scan = new storage_scan(gated, m.vds);
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
  gated_machine gated(m);
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  storage_scan* scan = new storage_scan(gated, m.vds);
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
