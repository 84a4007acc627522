#include "app/startup_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "golden.h"
#include "support/text.h"

namespace {

std::string escaped(std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos;) text.replace(at, 1, "\\n");
  return text;
}

// The process and the system as plain values; every call that matters is written down in order.
struct fake_startup final : startup_api {
  capturing_logger* console = new capturing_logger;
  logger* main = &a_null_logger::instance;
  api_error_logger error_logger;
  std::vector<std::string> events;

  bool requested = false, attached = false;
  std::string spec;  // the case's settings, "[key=value ...]"

  explicit fake_startup(const std::string& settings) : spec(settings) { console->set_keep_prefix(true); }
  uint32_t value(const char* key, const char* otherwise = "0") const {
    return uint32_t(std::stoul(spec_value(spec, key, otherwise), nullptr, 0));
  }
  ~fake_startup() override {
    error_logger.set_target(nullptr);
    console->release();
  }
  void note(const std::string& event) { events.push_back(event); }

  logger& main_logger() override { return *main; }
  api_error_cb* errors() override { return &error_logger; }
  uint32_t last_error_code() override { return error_logger.last_error().code; }
  void request_console() override {
    requested = true;
    if (attached || spec_value(spec, "console") == "fails") return;
    note("console");
    attached = true;
    main = console;
    error_logger.set_target(console);
  }
  bool console_requested() override { return requested; }
  bool console_attached() override { return attached; }
  void set_elevating() override { note("elevating"); }
  bool load_replay(const std::wstring& path, std::string& error) override {
    note("replay " + to_utf8(path));
    error = "bad.txt: line 3: why";
    return path != L"bad.txt";
  }
  void set_elevation(int state) override { note("elevation " + std::to_string(state)); }
  bool read_version() override {
    note("version");
    if (spec_value(spec, "version") != "fails") return true;
    error_logger.report_api_error("GetFileVersionInfoSize", 1813, "C:\\x.exe");
    return false;
  }
  int message_box(const std::wstring& text, uint32_t flags) override {
    note("box " + std::to_string(flags) + " " + to_utf8(text));
    return 1;
  }
  uint16_t key_state(int key) override {
    return uint16_t(key == 0x11 ? value("ctrl") : key == 0x14 ? value("caps") : 0);
  }
  int os_version_index() override { return int(value("os", "10")); }
  token_elevation_query token_elevation() override {
    note("token");
    if (value("token-open")) return {token_elevation_query::open_failed, value("token-open")};
    if (value("token-query")) return {token_elevation_query::query_failed, value("token-query")};
    return {token_elevation_query::ok, 0, int(value("token", "2"))};
  }
  bool own_path(std::wstring& p, uint32_t& error) override {
    p = L"C:\\Program Files\\FOLVI\\folvi-vezad.exe";
    error = value("path");
    return !error;
  }
  bool shell_launch(const std::wstring& p, const std::wstring& parameters, bool elevated, api_error_cb* cb) override {
    note(std::string(elevated ? "launch elevated " : "launch ") + to_utf8(p) + " [" + to_utf8(parameters) + "]");
    if (value("launch") && cb) cb->report_api_error("ShellExecuteEx[runas]", value("launch"), "%s", "x");
    return !value("launch");
  }
  long co_initialize(uint32_t apartment) override {
    note("com " + std::to_string(apartment));
    return long(value("com"));
  }
  long co_initialize_security(const com_security& s) override {
    note("com security " + std::to_string(s.authentication_services) + " " + std::to_string(s.authentication_level) +
         " " + std::to_string(s.impersonation_level) + " " + std::to_string(s.capabilities));
    return long(value("security"));
  }
  bool enable_privilege(const wchar_t* name, api_error_cb* cb) override {
    note("privilege " + to_utf8(name));
    if (from_utf8(spec_value(spec, "refuse")) != name) return true;
    cb->report_api_error("AdjustTokenPrivileges", 1300, to_utf8(name).c_str());
    return false;
  }
  void load_optional_functions(api_error_cb* cb) override {
    note(cb == &error_logger ? "optional functions" : "optional functions without the error logger");
  }
  void run_main_window() override { note("window"); }
  void wait_for_enter(const char* prompt) override { note("wait for enter: " + escaped(prompt)); }
};

// The words after the case's last ": ", a quoted one with its blanks.
std::vector<std::wstring> arguments(const std::string& spec) {
  std::vector<std::wstring> args;
  const size_t colon = spec.back() == ':' ? std::string::npos : spec.rfind(": ");
  for (size_t at = colon == std::string::npos ? spec.size() : colon + 2; at < spec.size();) {
    const bool quoted = spec[at] == '"';
    const size_t end = std::min(spec.find(quoted ? '"' : ' ', at + 1), spec.size());
    args.push_back(from_utf8(spec.substr(at + quoted, end - at - quoted)));
    at = end + 1 + quoted;
  }
  return args;
}

}  // namespace

// Each case's calls in order, what its console shows and its exit code.
TEST(startup_sequence, every_case_its_calls_console_and_exit_code) {
  expect_cases("app/startup_sequence.txt", [](const std::string& spec) {
    const size_t open = spec.find(" ["), close = spec.find("]:");
    fake_startup api(open < close && close != std::string::npos ? spec.substr(open + 2, close - open - 2) : "");
    const int code = run_startup(api, arguments(spec));
    std::string text;
    for (const std::string& event : api.events) text += "  " + event + "\n";
    for (const std::string& line : api.console->lines()) text += "  | " + escaped(line) + "\n";
    return text + "  exit " + std::to_string(code) + "\n";
  });
}
