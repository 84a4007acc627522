#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "app/console_api.h"
#include "support/api_error.h"
#include "support/scoped_win.h"

namespace {
bool reopen(const char* name, const char* mode, FILE* stream, int standard_fd, api_error_cb* errors) {
#ifndef _UCRT
  // A windowed program started without standard handles has streams without a descriptor, and
  // Wine's C library refuses to reopen those (Windows' does not mind): give back the standard one.
  if (_fileno(stream) < 0) stream->_file = standard_fd;
#endif
  if (std::freopen(name, mode, stream) && std::setvbuf(stream, nullptr, _IONBF, 0) == 0) return true;
  if (errors) errors->report_api_error("freopen", uint32_t(errno), "%s", name);
  return false;
}

class win32_console final : public console_api {
 public:
  bool allocate(api_error_cb* errors) override {
    if (!AllocConsole()) {
      if (errors) errors->report_api_error("AllocConsole", GetLastError());
      return false;
    }
    input_ = GetStdHandle(STD_INPUT_HANDLE);
    if (input_ == nullptr || input_ == INVALID_HANDLE_VALUE) {
      if (errors) errors->report_api_error("GetStdHandle", GetLastError(), "%s", "STD_INPUT_HANDLE");
      FreeConsole();
      return false;
    }
    return true;
  }

  void set_output_code_page(UINT code_page) override { SetConsoleOutputCP(code_page); }
  bool input_mode(DWORD& mode) override { return GetConsoleMode(input_, &mode) != 0; }
  void set_input_mode(DWORD mode) override { SetConsoleMode(input_, mode); }

  bool reopen_streams(api_error_cb* errors) override {
    return reopen("CONIN$", "r", stdin, 0, errors) && reopen("CONOUT$", "w", stdout, 1, errors) &&
           reopen("CONOUT$", "w", stderr, 2, errors);
  }

  FILE* output() override { return stdout; }

  // ReadFile, not the C library: under Wine getchar on the reopened input can see end-of-file at once.
  bool read_line() override {
    scoped_handle in(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!in.valid()) return false;
    char line[256];
    DWORD got = 0;
    return ReadFile(in.get(), line, sizeof line, &got, nullptr) && got > 0;
  }

 private:
  HANDLE input_ = nullptr;
};
}  // namespace

console_api& win32_console_api() {
  static win32_console api;
  return api;
}
