#include "support/thread_owner.h"

#include "support/api_error.h"
#include "support/fatal.h"

thread_owner::~thread_owner() {
  if (end_ == at_end::join) join();
  else if (handle_) CloseHandle(handle_);
}

HANDLE thread_owner::create_thread(LPTHREAD_START_ROUTINE routine, void* parameter) {
  return CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
}

bool thread_owner::start(LPTHREAD_START_ROUTINE routine, void* parameter, const char* operation, api_error_cb* errors,
                         starter create) {
  if (handle_) fatal(operation);
  handle_ = create(routine, parameter);
  if (handle_) return true;
  if (errors) errors->report_api_error("CreateThread", uint32_t(GetLastError()));
  return false;
}

bool thread_owner::ended() const { return !handle_ || WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

void thread_owner::wait() const {
  if (handle_) WaitForSingleObject(handle_, INFINITE);
}

bool thread_owner::exit_code(DWORD& code) const { return handle_ && ended() && GetExitCodeThread(handle_, &code); }

void thread_owner::join() {
  if (!handle_) return;
  wait();
  CloseHandle(handle_);
  handle_ = nullptr;
}
