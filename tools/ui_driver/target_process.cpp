#include "target_process.h"

#include "support/command_line.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
std::string failure(const char* call, DWORD code = GetLastError()) {
  return format_string("%s failed with %lu", call, (unsigned long)code);
}

// The token to start with, or none to start with the driver's own. Under Wine the driver has the
// full token; the limited one is its linked token (and the other way round on Windows).
bool start_token(bool limited, scoped_handle& token, std::string& error) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY, &raw)) {
    error = failure("OpenProcessToken");
    return false;
  }
  scoped_handle own(raw);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(own.get(), TokenElevationType, &type, sizeof type, &size)) {
    error = failure("GetTokenInformation(TokenElevationType)");
    return false;
  }
  const TOKEN_ELEVATION_TYPE wanted = limited ? TokenElevationTypeLimited : TokenElevationTypeFull;
  if (type == wanted || (!limited && type == TokenElevationTypeDefault)) return true;
  if (type == TokenElevationTypeDefault) {
    error = "the driver's token is not split: there is no limited token to start with";
    return false;
  }
  TOKEN_LINKED_TOKEN linked{};
  if (!GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
    error = failure("GetTokenInformation(TokenLinkedToken)");
    return false;
  }
  token.reset(linked.LinkedToken);
  return true;
}
}  // namespace

bool target_process::start(const start_request& request, child_watch& watch, std::string& error) {
  if (present() && running()) {
    error = format_string("the target (pid %lu) is still running", (unsigned long)pid_);
    return false;
  }
  scoped_handle token;
  if (!start_token(request.limited, token, error)) return false;
  std::wstring line = command_line_of(request.args);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Suspended until it is in its job: nothing it starts can escape the watch.
  const DWORD flags = (request.new_console ? CREATE_NEW_CONSOLE : DETACHED_PROCESS) | CREATE_SUSPENDED;
  const wchar_t* dir = request.dir.empty() ? nullptr : request.dir.c_str();
  const BOOL started =
      token.valid()
          ? CreateProcessAsUserW(token.get(), nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, dir, &si, &pi)
          : CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, dir, &si, &pi);
  if (!started) {
    error = failure(token.valid() ? "CreateProcessAsUser" : "CreateProcess") + " for " + to_utf8(request.args[0]);
    return false;
  }
  scoped_handle thread(pi.hThread);
  process_.reset(pi.hProcess);
  pid_ = pi.dwProcessId;
  // A target outside a job still runs; only following what it starts is refused then.
  std::string unwatched;
  watch.watch(process_.get(), unwatched);
  if (ResumeThread(thread.get()) != DWORD(-1)) return true;
  error = failure("ResumeThread");
  TerminateProcess(process_.get(), 255);
  return false;
}

void target_process::adopt(HANDLE process, DWORD pid) {
  process_.reset(process);
  pid_ = pid;
}

bool target_process::adopt(DWORD pid, std::string& error) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  if (!h) {
    error = failure("OpenProcess");
    return false;
  }
  process_.reset(h);
  pid_ = pid;
  return true;
}

bool target_process::running() const { return present() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool target_process::wait_exit(DWORD timeout_ms, uint32_t& code, std::string& error) {
  if (!present()) {
    error = "no target process";
    return false;
  }
  const DWORD waited = WaitForSingleObject(process_.get(), timeout_ms);
  if (waited == WAIT_TIMEOUT) {
    error =
        format_string("the target (pid %lu) still runs after %lu ms", (unsigned long)pid_, (unsigned long)timeout_ms);
    return false;
  }
  DWORD exit_code = 0;
  if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(process_.get(), &exit_code)) {
    error = failure("WaitForSingleObject");
    return false;
  }
  code = exit_code;
  return true;
}

bool target_process::kill(std::string& error) {
  if (!present()) {
    error = "no target process";
    return false;
  }
  if (!running()) return true;
  if (!TerminateProcess(process_.get(), 255)) {
    error = failure("TerminateProcess");
    return false;
  }
  WaitForSingleObject(process_.get(), 5000);
  return true;
}
