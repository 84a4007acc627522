#include "child_watch.h"

#include "support/format_string.h"
#include "support/text.h"

namespace {
constexpr ULONG_PTR quit_key = 0;

std::string failure(const char* call) {
  return format_string("%s failed with %lu", call, (unsigned long)GetLastError());
}

// PROCESS_BASIC_INFORMATION, named.
struct process_basic_information {
  LONG exit_status;
  void* peb;
  ULONG_PTR affinity_mask;
  LONG base_priority;
  ULONG_PTR pid;
  ULONG_PTR parent_pid;
};
static_assert(sizeof(process_basic_information) == 6 * sizeof(void*), "PROCESS_BASIC_INFORMATION");
using query_information_process = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// The parent of a process, read through its handle: it stays readable after the process ends.
DWORD parent_of(HANDLE process) {
  static const auto query = reinterpret_cast<query_information_process>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  process_basic_information info{};
  if (query && query(process, 0 /* ProcessBasicInformation */, &info, sizeof info, nullptr) == 0)
    return DWORD(info.parent_pid);
  return 0;
}
}  // namespace

// Known only once the process has begun to run, so asked when it is taken.
std::string image_of(HANDLE process) {
  std::string image;
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = MAX_PATH * 2;
  if (!QueryFullProcessImageNameW(process, 0, path, &size)) return "?";
  const std::wstring name(path, size);
  const size_t slash = name.find_last_of(L"\\/");
  image = to_utf8(slash == std::wstring::npos ? name : name.substr(slash + 1));
  return image;
}

child_watch::child_watch() : changed_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  InitializeCriticalSection(&lock_);
  port_.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
  if (!port_.valid()) {
    why_unwatched_ = failure("CreateIoCompletionPort");
    return;
  }
  thread_.reset(CreateThread(nullptr, 0, listen, this, 0, nullptr));
  if (!thread_.valid()) why_unwatched_ = failure("CreateThread");
}

child_watch::~child_watch() {
  if (thread_.valid()) {
    PostQueuedCompletionStatus(port_.get(), 0, quit_key, nullptr);
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  for (joined_process& p : joined_) CloseHandle(p.handle);
  DeleteCriticalSection(&lock_);
}

bool child_watch::watch(HANDLE process, std::string& error) {
  job_.reset();
  EnterCriticalSection(&lock_);
  ++job_serial_;
  for (joined_process& p : joined_) CloseHandle(p.handle);
  joined_.clear();
  LeaveCriticalSection(&lock_);
  if (!thread_.valid()) {
    error = why_unwatched_;
    return false;
  }
  job_.reset(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{};
  port.CompletionKey = reinterpret_cast<void*>(ULONG_PTR(job_serial_));
  port.CompletionPort = port_.get();
  const char* failed =
      !job_.valid() ? "CreateJobObject"
      : !SetInformationJobObject(job_.get(), JobObjectAssociateCompletionPortInformation, &port, sizeof port)
          ? "SetInformationJobObject"
      : !AssignProcessToJobObject(job_.get(), process) ? "AssignProcessToJobObject"
                                                       : nullptr;
  if (!failed) return true;
  error = why_unwatched_ = failure(failed);
  job_.reset();
  return false;
}

DWORD WINAPI child_watch::listen(void* self) {
  auto* watch = static_cast<child_watch*>(self);
  while (true) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* detail = nullptr;
    if (!GetQueuedCompletionStatus(watch->port_.get(), &message, &key, &detail, INFINITE) || key == quit_key) return 0;
    if (message == JOB_OBJECT_MSG_NEW_PROCESS)
      watch->note_new_process(DWORD(reinterpret_cast<ULONG_PTR>(detail)), unsigned(key));
  }
}

void child_watch::note_new_process(DWORD pid, unsigned job) {
  joined_process p;
  p.pid = pid;
  p.job = job;
  p.handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
  if (!p.handle) return;  // ended before it could be opened: take_child will not find it
  p.parent = parent_of(p.handle);
  EnterCriticalSection(&lock_);
  const bool current = job == job_serial_;
  if (current) joined_.push_back(p);
  LeaveCriticalSection(&lock_);
  if (!current) CloseHandle(p.handle);
  SetEvent(changed_.get());
}

bool child_watch::take_child(DWORD parent, DWORD timeout_ms, joined_process& out, std::string& error) {
  if (!job_.valid()) {
    error = "the target's children are not watched: " +
            (why_unwatched_.empty() ? std::string("start one first") : why_unwatched_);
    return false;
  }
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (true) {
    EnterCriticalSection(&lock_);
    for (auto it = joined_.begin(); it != joined_.end(); ++it) {
      if (it->job != job_serial_ || it->parent != parent) continue;
      out = *it;
      joined_.erase(it);
      LeaveCriticalSection(&lock_);
      return true;
    }
    LeaveCriticalSection(&lock_);
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    WaitForSingleObject(changed_.get(), DWORD(end - now));
  }
  error = format_string("the target (pid %lu) started no process within %lu ms", (unsigned long)parent,
                        (unsigned long)timeout_ms);
  return false;
}
