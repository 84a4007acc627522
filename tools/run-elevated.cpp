// Starts a program with the full (linked) administrator token and passes on its exit code.
// Under Wine a process gets the limited half of a split token, and "runas" does not elevate.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/command_line.h"

namespace {
int fail(const char* what) {
  std::fprintf(stderr, "run-elevated: %s failed with %lu\n", what, GetLastError());
  return 125;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: run-elevated PROGRAM [ARGUMENTS...]\n", stderr);
    return 125;
  }
  std::wstring command = command_line_of(std::vector<std::wstring>(argv + 1, argv + argc));

  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return fail("OpenProcessToken");
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  TOKEN_ELEVATION_TYPE type{};
  GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size);
  HANDLE full = nullptr;
  if (type == TokenElevationTypeLimited) {
    if (!GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size))
      return fail("GetTokenInformation");
    full = linked.LinkedToken;
  }
  CloseHandle(token);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started =
      full ? CreateProcessAsUserW(full, nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)
           : CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  if (full) CloseHandle(full);
  if (!started) return fail("CreateProcessAsUser");
  // Ctrl+C reaches the child through the shared console; this process only waits for it.
  SetConsoleCtrlHandler(nullptr, TRUE);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(code);
}
