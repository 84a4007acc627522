#include "support/async_call.h"

#include "support/fatal.h"

async_call::~async_call() {
  if (count_ != 0) fatal("async_call::~async_call");
  if (thread_) CloseHandle(thread_);
}

bool async_call::start() {
  if (thread_ || count_ != 1) fatal("async_call::start");
  count_ = 2;
  thread_ = CreateThread(nullptr, 0, thread_main, this, 0, nullptr);
  if (!thread_) {
    count_ = 1;
    return false;
  }
  return true;
}

DWORD WINAPI async_call::thread_main(void* self) {
  async_call* call = static_cast<async_call*>(self);
  call->run();
  call->release();
  return 0;
}

void async_call::release() {
  if (count_ < 1) fatal("async_call::release");
  if (InterlockedDecrement(&count_) == 0) delete this;
}

bool async_call::is_done() const { return !thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }

void async_call::wait() const {
  if (thread_) WaitForSingleObject(thread_, INFINITE);
}
