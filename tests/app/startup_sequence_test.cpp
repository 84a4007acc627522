#include "app/startup_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <set>
#include <string>
#include <vector>

namespace {

// The process and the system as plain values; every call is noted in order.
struct fake_startup final : startup_api {
  capturing_logger* console = new capturing_logger;
  logger* main = &a_null_logger::instance;
  api_error_logger error_logger;
  std::vector<std::string> calls;

  bool requested = false, attached = false, attach_fails = false, elevating = false;
  int elevation = -1;
  bool version_ok = true;
  uint16_t ctrl = 0, caps = 0;
  int os_index = 10;
  token_elevation_query token{token_elevation_query::ok, 0, 2};
  bool path_ok = true;
  std::wstring path = L"C:\\Program Files\\FOLVI\\folvi-vezad.exe";
  bool launch_ok = true;
  uint32_t launch_error = 1223;
  std::wstring launched_path, launched_parameters;
  bool launched_elevated = false;
  long co_result = 0, security_result = 0;
  uint32_t apartment = 0;
  com_security security{0, 0, 0, 99};
  std::set<std::wstring> refused;
  std::vector<std::wstring> boxes;
  std::vector<uint32_t> box_flags;
  std::vector<std::string> prompts;

  fake_startup() { console->set_keep_prefix(true); }
  ~fake_startup() override {
    error_logger.set_target(nullptr);
    console->release();
  }

  std::string console_text() {
    std::string text;
    for (const std::string& line : console->lines()) text += line;
    return text;
  }

  logger& main_logger() override { return *main; }
  api_error_cb* errors() override { return &error_logger; }
  uint32_t last_error_code() override { return error_logger.last_error().code; }
  void request_console() override {
    requested = true;
    if (attached || attach_fails) return;
    calls.push_back("console");
    attached = true;
    main = console;
    error_logger.set_target(console);
  }
  bool console_requested() override { return requested; }
  bool console_attached() override { return attached; }
  void set_elevating() override { elevating = true; }
  bool load_replay(const std::wstring& path, std::string& error) override {
    replays.push_back(path);
    error = "bad.txt: line 3: why";
    return path != L"bad.txt";
  }
  std::vector<std::wstring> replays;
  void set_elevation(int state) override { elevation = state; }
  bool read_version() override {
    calls.push_back("version");
    if (!version_ok) error_logger.report_api_error("GetFileVersionInfoSize", 1813, "C:\\x.exe");
    return version_ok;
  }
  int message_box(const std::wstring& text, uint32_t flags) override {
    boxes.push_back(text);
    box_flags.push_back(flags);
    return 1;
  }
  uint16_t key_state(int key) override { return key == 0x11 ? ctrl : key == 0x14 ? caps : 0; }
  int os_version_index() override { return os_index; }
  token_elevation_query token_elevation() override {
    calls.push_back("token");
    return token;
  }
  bool own_path(std::wstring& p, uint32_t& error) override {
    p = path;
    error = path_ok ? 0 : 122;
    return path_ok;
  }
  bool shell_launch(const std::wstring& p, const std::wstring& parameters, bool elevated, api_error_cb* cb) override {
    calls.push_back("launch");
    launched_path = p;
    launched_parameters = parameters;
    launched_elevated = elevated;
    if (!launch_ok && cb) cb->report_api_error("ShellExecuteEx[runas]", launch_error, "%s", "x");
    return launch_ok;
  }
  long co_initialize(uint32_t a) override {
    calls.push_back("com");
    apartment = a;
    return co_result;
  }
  long co_initialize_security(const com_security& s) override {
    calls.push_back("com security");
    security = s;
    return security_result;
  }
  bool enable_privilege(const wchar_t* name, api_error_cb* cb) override {
    calls.push_back("privilege " + std::string(name, name + wcslen(name)));
    if (!refused.count(name)) return true;
    cb->report_api_error("AdjustTokenPrivileges", 1300, name);
    return false;
  }
  void load_optional_functions(api_error_cb* cb) override {
    calls.push_back("optional functions");
    EXPECT_EQ(cb, &error_logger);
  }
  void run_main_window() override { calls.push_back("window"); }
  void wait_for_enter(const char* prompt) override { prompts.push_back(prompt); }
};

using strings = std::vector<std::string>;

TEST(startup_sequence, full_token_without_arguments_runs_the_window) {
  fake_startup api;
  EXPECT_EQ(run_startup(api, {}), 70);
  EXPECT_EQ(api.calls, (strings{"version", "token", "com", "com security", "privilege SeManageVolumePrivilege",
                                "privilege SeProfileSingleProcessPrivilege", "optional functions", "window"}));
  EXPECT_EQ(api.elevation, 3);
  EXPECT_FALSE(api.requested);
  EXPECT_TRUE(api.prompts.empty());
  EXPECT_EQ(api.apartment, 2u);
  EXPECT_EQ(api.security.authentication_services, -1);
  EXPECT_EQ(api.security.authentication_level, 6u);
  EXPECT_EQ(api.security.impersonation_level, 2u);
  EXPECT_EQ(api.security.capabilities, 0u);

  // A default token (no split) and a system older than token elevation run without a relaunch.
  fake_startup standard;
  standard.token.type = 1;
  EXPECT_EQ(run_startup(standard, {}), 70);
  EXPECT_EQ(standard.elevation, 1);
  fake_startup old_system;
  old_system.os_index = 3;
  EXPECT_EQ(run_startup(old_system, {L"-d"}), 70);
  EXPECT_EQ(old_system.elevation, 1);
  EXPECT_EQ(old_system.calls[0], "console");
  EXPECT_EQ(std::count(old_system.calls.begin(), old_system.calls.end(), "token"), 0);
  EXPECT_EQ(old_system.prompts, strings{"\nPress Enter to exit...\n"});
}

TEST(startup_sequence, arguments_and_the_console) {
  for (const wchar_t* arg : {L"-d", L"--console"}) {
    fake_startup api;
    EXPECT_EQ(run_startup(api, {arg, L"--console"}), 70);
    EXPECT_TRUE(api.attached);
    EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "console"), 1);
    EXPECT_EQ(api.prompts, strings{"\nPress Enter to exit...\n"});
  }
  // Different only in case: unknown; the console shows why; later arguments are not looked at.
  fake_startup api;
  EXPECT_EQ(run_startup(api, {L"--Console", L"--elevating"}), 10);
  EXPECT_EQ(api.console_text(), "0 Error: unrecognized [--Console] argument\n");
  EXPECT_FALSE(api.elevating);
  EXPECT_EQ(api.calls, strings{"console"});
  EXPECT_EQ(api.prompts, strings{"\nPress Enter to exit...\n"});
  fake_startup utf8;
  EXPECT_EQ(run_startup(utf8, {L"-d", L"/\u00E9\u20AC"}), 10);
  EXPECT_EQ(utf8.console_text(), "0 Error: unrecognized [/\xC3\xA9\xE2\x82\xAC] argument\n");
  // Without a console there is nothing to wait for.
  fake_startup no_console;
  no_console.attach_fails = true;
  EXPECT_EQ(run_startup(no_console, {L"-x"}), 10);
  EXPECT_TRUE(no_console.prompts.empty());

  // Ctrl held with Caps Lock on acts like "-d"; either alone does not.
  const uint16_t states[][2] = {{0x8000, 1}, {0xFF81, 0xFF81}, {0x8000, 0}, {1, 1}, {0, 1}};
  for (size_t i = 0; i < 5; ++i) {
    fake_startup keys;
    keys.ctrl = states[i][0];
    keys.caps = states[i][1];
    run_startup(keys, {});
    EXPECT_EQ(keys.attached, i < 2) << i;
  }
}

TEST(startup_sequence, a_limited_token_relaunches_elevated) {
  fake_startup api;
  api.token.type = 3;
  EXPECT_EQ(run_startup(api, {L"-d"}), 60);
  EXPECT_EQ(api.elevation, 2);
  EXPECT_TRUE(api.launched_elevated);
  EXPECT_EQ(api.launched_path, L"C:\\Program Files\\FOLVI\\folvi-vezad.exe");
  EXPECT_EQ(api.launched_parameters, L"--console --elevating");
  EXPECT_EQ(api.console_text(), "3 Restarting as Administrator...\n");
  // After a relaunch this copy never opens a window (nor COM, nor the privileges).
  EXPECT_EQ(api.calls, (strings{"console", "version", "token", "launch"}));
  EXPECT_EQ(api.prompts.size(), 1u);

  fake_startup quiet;
  quiet.token.type = 3;
  quiet.ctrl = 0x8000;
  quiet.caps = 1;
  EXPECT_EQ(run_startup(quiet, {}), 60);
  EXPECT_EQ(quiet.launched_parameters, L"--console --elevating") << "Ctrl + Caps Lock asked for the console";

  fake_startup plain;
  plain.token.type = 0;  // an elevation type the system does not define
  EXPECT_EQ(run_startup(plain, {}), 60);
  EXPECT_EQ(plain.elevation, 0);
  EXPECT_EQ(plain.launched_parameters, L"--elevating");
}

TEST(startup_sequence, a_relaunch_that_does_not_happen) {
  // Declined at the elevation prompt: no message.
  fake_startup declined;
  declined.token.type = 3;
  declined.launch_ok = false;
  EXPECT_EQ(run_startup(declined, {L"-d"}), 40);
  EXPECT_TRUE(declined.boxes.empty());
  EXPECT_EQ(declined.console_text(),
            "3 Restarting as Administrator...\n0 ShellExecuteEx[runas]() failed with 1223, x\n");
  // Any other failure: the message box.
  fake_startup failed;
  failed.token.type = 3;
  failed.launch_ok = false;
  failed.launch_error = 5;
  EXPECT_EQ(run_startup(failed, {}), 40);
  EXPECT_EQ(failed.boxes, std::vector<std::wstring>{L"Failed to restart with Administrator privileges."});
  EXPECT_EQ(failed.box_flags, std::vector<uint32_t>{0x41});
  // The program's own path unknown: reported, nothing launched.
  fake_startup no_path;
  no_path.token.type = 3;
  no_path.path_ok = false;
  EXPECT_EQ(run_startup(no_path, {L"-d"}), 40);
  EXPECT_EQ(no_path.console_text(), "0 GetModuleFileName() failed with 122\n");
  EXPECT_EQ(std::count(no_path.calls.begin(), no_path.calls.end(), "launch"), 0);
  EXPECT_TRUE(no_path.boxes.empty());
  // The relaunched copy still without full rights ends without relaunching again.
  for (int type : {3, 0}) {
    fake_startup copy;
    copy.token.type = type;
    EXPECT_EQ(run_startup(copy, {L"--elevating"}), 30);
    EXPECT_TRUE(copy.elevating);
    EXPECT_EQ(std::count(copy.calls.begin(), copy.calls.end(), "launch"), 0);
  }
  fake_startup elevated_copy;
  elevated_copy.token.type = 2;
  EXPECT_EQ(run_startup(elevated_copy, {L"--console", L"--elevating"}), 70);
}

TEST(startup_sequence, failing_steps_end_with_their_codes) {
  fake_startup version;
  version.version_ok = false;
  EXPECT_EQ(run_startup(version, {L"-d"}), 15);
  EXPECT_EQ(version.console_text(), "0 GetFileVersionInfoSize() failed with 1813, C:\\x.exe\n");

  fake_startup open;
  open.token = {token_elevation_query::open_failed, 5, 0};
  EXPECT_EQ(run_startup(open, {L"-d"}), 20);
  EXPECT_EQ(open.console_text(), "0 OpenProcessToken() failed with 5\n");
  EXPECT_EQ(open.elevation, -1) << "not determined";
  fake_startup query;
  query.token = {token_elevation_query::query_failed, 87, 0};
  EXPECT_EQ(run_startup(query, {L"-d"}), 20);
  EXPECT_EQ(query.console_text(), "0 GetTokenInformation() failed with 87, 18\n");

  // COM: anything but S_OK fails, S_FALSE included; the HRESULT is the code.
  const struct {
    long co, security;
    const char* line;
  } com[] = {
      {1, 0, "0 CoInitializeEx() failed with 1, 1\n"},
      {long(0x80010106), 0, "0 CoInitializeEx() failed with 80010106, 2147549446\n"},
      {0, long(0x80010119), "0 CoInitializeSecurity() failed with 80010119, 2147549465\n"},
  };
  for (const auto& c : com) {
    fake_startup api;
    api.co_result = c.co;
    api.security_result = c.security;
    EXPECT_EQ(run_startup(api, {L"-d"}), 50);
    EXPECT_EQ(api.console_text(), c.line);
    EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "window"), 0);
  }

  fake_startup first;
  first.refused = {L"SeManageVolumePrivilege"};
  EXPECT_EQ(run_startup(first, {L"-d"}), 60);
  EXPECT_EQ(first.console_text(), "0 AdjustTokenPrivileges() failed with 1300, SeManageVolumePrivilege\n");
  EXPECT_EQ(std::count(first.calls.begin(), first.calls.end(), "privilege SeProfileSingleProcessPrivilege"), 0);
  fake_startup second;
  second.refused = {L"SeProfileSingleProcessPrivilege"};
  EXPECT_EQ(run_startup(second, {}), 60);
  EXPECT_EQ(std::count(second.calls.begin(), second.calls.end(), "window"), 0);
  EXPECT_TRUE(second.prompts.empty());
}

}  // namespace

// --replay FILE: a recording that cannot be read ends start-up before anything else, with why;
// a readable one goes with the relaunched copy.
TEST(startup_sequence, a_replayed_recording) {
  fake_startup bad;
  EXPECT_EQ(run_startup(bad, {L"--replay", L"bad.txt", L"--console"}), 10);
  EXPECT_EQ(bad.console_text(), "0 Error: --replay: bad.txt: line 3: why\n");
  EXPECT_EQ(bad.calls, strings{"console"});

  fake_startup limited;
  limited.token.type = 3;
  EXPECT_EQ(run_startup(limited, {L"--replay", L"C:\\my machine.txt"}), 60);
  EXPECT_EQ(limited.replays, std::vector<std::wstring>{L"C:\\my machine.txt"});
  EXPECT_EQ(limited.launched_parameters, L"--elevating --replay \"C:\\my machine.txt\"");

  fake_startup missing_file;
  EXPECT_EQ(run_startup(missing_file, {L"--replay"}), 10);
  EXPECT_EQ(missing_file.console_text(), "0 Error: unrecognized [--replay] argument\n");
}
