#include "app/startup_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
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

  bool requested = false, attached = false, attach_fails = false, version_ok = true;
  uint16_t ctrl = 0, caps = 0;
  int os_index = 10;
  token_elevation_query token{token_elevation_query::ok, 0, 2};
  uint32_t launch_error = 0, path_error = 0;  // 0: it works
  long co_result = 0, security_result = 0;
  std::set<std::wstring> refused;

  fake_startup() { console->set_keep_prefix(true); }
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
    if (attached || attach_fails) return;
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
    if (!version_ok) error_logger.report_api_error("GetFileVersionInfoSize", 1813, "C:\\x.exe");
    return version_ok;
  }
  int message_box(const std::wstring& text, uint32_t flags) override {
    note("box " + std::to_string(flags) + " " + to_utf8(text));
    return 1;
  }
  uint16_t key_state(int key) override { return key == 0x11 ? ctrl : key == 0x14 ? caps : 0; }
  int os_version_index() override { return os_index; }
  token_elevation_query token_elevation() override {
    note("token");
    return token;
  }
  bool own_path(std::wstring& p, uint32_t& error) override {
    p = L"C:\\Program Files\\FOLVI\\folvi-vezad.exe";
    error = path_error;
    return !path_error;
  }
  bool shell_launch(const std::wstring& p, const std::wstring& parameters, bool elevated, api_error_cb* cb) override {
    note(std::string(elevated ? "launch elevated " : "launch ") + to_utf8(p) + " [" + to_utf8(parameters) + "]");
    if (launch_error && cb) cb->report_api_error("ShellExecuteEx[runas]", launch_error, "%s", "x");
    return !launch_error;
  }
  long co_initialize(uint32_t apartment) override {
    note("com " + std::to_string(apartment));
    return co_result;
  }
  long co_initialize_security(const com_security& s) override {
    note("com security " + std::to_string(s.authentication_services) + " " + std::to_string(s.authentication_level) +
         " " + std::to_string(s.impersonation_level) + " " + std::to_string(s.capabilities));
    return security_result;
  }
  bool enable_privilege(const wchar_t* name, api_error_cb* cb) override {
    note("privilege " + to_utf8(name));
    if (!refused.count(name)) return true;
    cb->report_api_error("AdjustTokenPrivileges", 1300, to_utf8(name).c_str());
    return false;
  }
  void load_optional_functions(api_error_cb* cb) override {
    note(cb == &error_logger ? "optional functions" : "optional functions without the error logger");
  }
  void run_main_window() override { note("window"); }
  void wait_for_enter(const char* prompt) override { note("wait for enter: " + escaped(prompt)); }
};

using setup = std::function<void(fake_startup&)>;
const struct {
  const char* name;
  setup set;
  std::vector<std::wstring> args;
} cases[] = {
    {"a full token without arguments runs the window", nullptr, {}},
    {"a default token (no split) runs without a relaunch", [](fake_startup& a) { a.token.type = 1; }, {}},
    {"a system older than token elevation", [](fake_startup& a) { a.os_index = 3; }, {L"-d"}},
    {"-d with --console", nullptr, {L"-d", L"--console"}},
    {"--console twice", nullptr, {L"--console", L"--console"}},
    {"different only in case: later arguments are not looked at", nullptr, {L"--Console", L"--elevating"}},
    {"an unknown argument in UTF-8", nullptr, {L"-d", L"/\u00E9\u20AC"}},
    {"without a console there is nothing to wait for", [](fake_startup& a) { a.attach_fails = true; }, {L"-x"}},
    {"Ctrl held with Caps Lock on acts like -d", [](fake_startup& a) { a.ctrl = 0x8000, a.caps = 1; }, {}},
    {"Ctrl and Caps Lock, high bits set", [](fake_startup& a) { a.ctrl = 0xFF81, a.caps = 0xFF81; }, {}},
    {"Ctrl alone", [](fake_startup& a) { a.ctrl = 0x8000, a.caps = 0; }, {}},
    {"Caps Lock alone", [](fake_startup& a) { a.ctrl = 1, a.caps = 1; }, {}},
    {"Caps Lock on, Ctrl up", [](fake_startup& a) { a.ctrl = 0, a.caps = 1; }, {}},
    {"a limited token relaunches elevated", [](fake_startup& a) { a.token.type = 3; }, {L"-d"}},
    {"Ctrl + Caps Lock before a relaunch", [](fake_startup& a) { a.token.type = 3, a.ctrl = 0x8000, a.caps = 1; }, {}},
    {"an elevation type the system does not define", [](fake_startup& a) { a.token.type = 0; }, {}},
    {"the relaunch declined at the prompt", [](fake_startup& a) { a.token.type = 3, a.launch_error = 1223; }, {L"-d"}},
    {"the relaunch failed otherwise", [](fake_startup& a) { a.token.type = 3, a.launch_error = 5; }, {}},
    {"the program's own path unknown", [](fake_startup& a) { a.token.type = 3, a.path_error = 122; }, {L"-d"}},
    {"the relaunched copy still limited", [](fake_startup& a) { a.token.type = 3; }, {L"--elevating"}},
    {"the relaunched copy with an unknown type", [](fake_startup& a) { a.token.type = 0; }, {L"--elevating"}},
    {"the relaunched copy elevated", nullptr, {L"--console", L"--elevating"}},
    {"the version unreadable", [](fake_startup& a) { a.version_ok = false; }, {L"-d"}},
    {"token not opened",
     [](fake_startup& a) {
       a.token = {token_elevation_query::open_failed, 5, 0};
     },
     {L"-d"}},
    {"token not queried",
     [](fake_startup& a) {
       a.token = {token_elevation_query::query_failed, 87, 0};
     },
     {L"-d"}},
    {"COM answers S_FALSE", [](fake_startup& a) { a.co_result = 1; }, {L"-d"}},
    {"COM answers RPC_E_CHANGED_MODE", [](fake_startup& a) { a.co_result = long(0x80010106); }, {L"-d"}},
    {"COM security refused", [](fake_startup& a) { a.security_result = long(0x80010119); }, {L"-d"}},
    {"the first privilege refused", [](fake_startup& a) { a.refused = {L"SeManageVolumePrivilege"}; }, {L"-d"}},
    {"the second privilege refused", [](fake_startup& a) { a.refused = {L"SeProfileSingleProcessPrivilege"}; }, {}},
    {"a recording that cannot be read", nullptr, {L"--replay", L"bad.txt", L"--console"}},
    {"a recording goes with the relaunched copy",
     [](fake_startup& a) { a.token.type = 3; },
     {L"--replay", L"C:\\my machine.txt"}},
    {"--replay without its file", nullptr, {L"--replay"}},
};

}  // namespace

TEST(startup_sequence, every_case_its_calls_console_and_exit_code) {
  std::string text;
  for (const auto& c : cases) {
    fake_startup api;
    if (c.set) c.set(api);
    text += std::string("== ") + c.name + ":";
    for (const std::wstring& arg : c.args) text += " " + to_utf8(arg);
    const int code = run_startup(api, c.args);
    text += "\n";
    for (const std::string& event : api.events) text += "  " + event + "\n";
    for (const std::string& line : api.console->lines()) text += "  | " + escaped(line) + "\n";
    text += "  exit " + std::to_string(code) + "\n";
  }
  expect_golden(text, "app/startup_sequence.txt");
}
