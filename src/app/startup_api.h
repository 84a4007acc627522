#pragma once

#include <cstdint>
#include <string>

#include "support/api_error.h"
#include "support/logger.h"

// What the process token says about elevation, before it is classified.
struct token_elevation_query {
  enum step { ok, open_failed, query_failed };
  step result = ok;
  uint32_t error = 0;  // the last error of the failed step
  int type = 0;        // TOKEN_ELEVATION_TYPE: 1 default, 2 full, 3 limited
};

// The arguments of CoInitializeSecurity besides the null pointers: let COM choose the
// authentication services, encrypt every packet, let servers identify but not impersonate.
struct com_security {
  long authentication_services = -1;
  uint32_t authentication_level = 6;  // RPC_C_AUTHN_LEVEL_PKT_PRIVACY
  uint32_t impersonation_level = 2;   // RPC_C_IMP_LEVEL_IDENTIFY
  uint32_t capabilities = 0;          // EOAC_NONE
};
constexpr uint32_t com_apartment_threaded = 2;  // COINIT_APARTMENTTHREADED

// Every system call and process-context action of the start-up sequence. The real one is a thin
// adapter over app_context (main logger, error logger, console flags, version, elevation state,
// elevating, message_box), attach_console, enable_privilege and shell_launch; tests put each
// condition in place without the condition itself.
class startup_api {
 public:
  virtual ~startup_api() = default;

  // The process context.
  virtual logger& main_logger() = 0;
  virtual api_error_cb* errors() = 0;
  // The code of the error logger's last record.
  virtual uint32_t last_error_code() = 0;
  // Console requested; attaches the console unless it already is.
  virtual void request_console() = 0;
  virtual bool console_requested() = 0;
  virtual bool console_attached() = 0;
  virtual void set_elevating() = 0;
  // --replay FILE: the window's scan answered from a recording. False, with the reason in
  // `error`, when the file is not a recording this program can read.
  virtual bool load_replay(const std::wstring& path, std::string& error) = 0;
  virtual void set_elevation(int state) = 0;
  // The program's own file version into the context; failures are reported to errors().
  virtual bool read_version() = 0;
  // The toolkit message box with the program's name as caption; the button pressed.
  virtual int message_box(const std::wstring& text, uint32_t flags) = 0;

  // The system.
  virtual uint16_t key_state(int virtual_key) = 0;  // GetKeyState
  virtual int os_version_index() = 0;
  virtual token_elevation_query token_elevation() = 0;
  // GetModuleFileName of the program, up to 65,536 characters.
  virtual bool own_path(std::wstring& path, uint32_t& error) = 0;
  virtual bool shell_launch(const std::wstring& path, const std::wstring& parameters, bool elevated,
                            api_error_cb* errors) = 0;
  virtual long co_initialize(uint32_t apartment) = 0;  // CoInitializeEx: its HRESULT
  virtual long co_initialize_security(const com_security& security) = 0;
  virtual bool enable_privilege(const wchar_t* name, api_error_cb* errors) = 0;
  virtual void load_optional_functions(api_error_cb* errors) = 0;
  // Dialog 104 as a modal dialog until it is closed.
  virtual void run_main_window() = 0;
  // Prints the prompt on standard output and waits for one line of console input.
  virtual void wait_for_enter(const char* prompt) = 0;
};
