#include "app/startup_sequence.h"

#include "app/elevation.h"
#include "support/text.h"
#include "support/message_box_flags.h"

const char unrecognized_argument_format[] = "Error: unrecognized [%s] argument\n";
const char restarting_text[] = "Restarting as Administrator...\n";
const char press_enter_text[] = "\nPress Enter to exit...\n";
const wchar_t restart_failed_text[] = L"Failed to restart with Administrator privileges.";
const wchar_t console_argument[] = L"--console ";
const wchar_t elevating_argument[] = L"--elevating";
const wchar_t replay_argument[] = L"--replay";

namespace {
constexpr int vk_control = 0x11;
constexpr int vk_capital = 0x14;
constexpr uint16_t key_down = 0x8000;
constexpr uint16_t key_toggled = 0x0001;
constexpr int first_version_with_elevation = 4;
constexpr unsigned long token_elevation_type_class = 18;  // TokenElevationType
constexpr uint32_t cancelled_by_user = 1223;              // ERROR_CANCELLED
constexpr uint32_t restart_failed_box = mb_icon_error | mb_ok;
constexpr long s_ok = 0;

const wchar_t* const privileges[] = {L"SeManageVolumePrivilege", L"SeProfileSingleProcessPrivilege"};

// The arguments in order; false, with the console open and the error on it, at the first unknown.
bool parse_arguments(startup_api& api, const std::vector<std::wstring>& args, bool& elevating, std::wstring& replay) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == replay_argument && i + 1 < args.size()) {
      std::string error;
      replay = args[++i];
      if (!api.load_replay(replay, error)) {
        api.request_console();
        api.main_logger().log(0, "Error: --replay: %s\n", error.c_str());
        return false;
      }
    } else if (arg == L"-d" || arg == L"--console") {
      api.request_console();
    } else if (arg == L"--elevating") {
      elevating = true;
      api.set_elevating();
    } else {
      api.request_console();
      api.main_logger().log(0, unrecognized_argument_format, to_utf8(arg).c_str());
      return false;
    }
  }
  return true;
}

// False when the token could not be asked; the state is then left undetermined.
bool determine_elevation(startup_api& api, int& state) {
  state = elevation_unknown;
  if (api.os_version_index() < first_version_with_elevation) {
    state = elevation_default;
    return true;
  }
  const token_elevation_query q = api.token_elevation();
  api_error_cb* errors = api.errors();
  if (q.result == token_elevation_query::open_failed) {
    if (errors) errors->report_api_error("OpenProcessToken", q.error, "");
    return false;
  }
  if (q.result == token_elevation_query::query_failed) {
    if (errors) errors->report_api_error("GetTokenInformation", q.error, "%lu", token_elevation_type_class);
    return false;
  }
  switch (q.type) {
    case 1: state = elevation_default; break;
    case 2: state = elevation_full; break;
    case 3: state = elevation_limited; break;
    default: break;
  }
  return true;
}

bool has_full_rights(int state) { return state == elevation_full || state == elevation_default; }

// The HRESULT is the code; the detail keeps it in decimal as well.
bool initialise_com(startup_api& api) {
  long hr = api.co_initialize(com_apartment_threaded);
  const char* failed = nullptr;
  if (hr != s_ok) {
    failed = "CoInitializeEx";
  } else {
    hr = api.co_initialize_security(com_security());
    if (hr != s_ok) failed = "CoInitializeSecurity";
  }
  if (!failed) return true;
  if (api_error_cb* errors = api.errors())
    errors->report_api_error(failed, uint32_t(hr), "%lu", (unsigned long)uint32_t(hr));
  return false;
}

int start_up(startup_api& api, const std::vector<std::wstring>& args) {
  // Ctrl held with Caps Lock on acts like "-d".
  if ((api.key_state(vk_control) & key_down) && (api.key_state(vk_capital) & key_toggled)) api.request_console();
  bool elevating = false;
  std::wstring replay;
  if (!parse_arguments(api, args, elevating, replay)) return exit_bad_argument;
  if (!api.read_version()) return exit_no_version;
  int state = elevation_unknown;
  if (!determine_elevation(api, state)) return exit_no_elevation_type;
  api.set_elevation(state);
  if (!has_full_rights(state)) {
    // The relaunched copy never relaunches again.
    if (elevating) return exit_still_limited;
    // The elevated copy carries on alone: this one shows no window.
    return restart_elevated(api, replay) ? exit_relaunched : exit_not_relaunched;
  }
  if (!initialise_com(api)) return exit_com_failed;
  for (const wchar_t* name : privileges)
    if (!api.enable_privilege(name, api.errors())) return exit_no_privilege;
  api.load_optional_functions(api.errors());
  api.run_main_window();
  return exit_window_closed;
}
}  // namespace

bool restart_elevated(startup_api& api, const std::wstring& replay) {
  std::wstring path;
  uint32_t error = 0;
  if (!api.own_path(path, error)) {
    if (api_error_cb* errors = api.errors()) errors->report_api_error("GetModuleFileName", error);
    return false;
  }
  std::wstring parameters = std::wstring(api.console_requested() ? console_argument : L"") + elevating_argument;
  if (!replay.empty()) parameters += std::wstring(L" ") + replay_argument + L" \"" + replay + L"\"";
  api.main_logger().log(3, restarting_text);
  if (api.shell_launch(path, parameters, true, api.errors())) return true;
  if (api.last_error_code() != cancelled_by_user) api.message_box(restart_failed_text, restart_failed_box);
  return false;
}

int run_startup(startup_api& api, const std::vector<std::wstring>& args) {
  const int code = start_up(api, args);
  if (api.console_attached()) api.wait_for_enter(press_enter_text);
  return code;
}
