#include "support/async_call.h"

#include "support/fatal.h"

async_call::~async_call() {
  if (count_ != 0) fatal("async_call::~async_call");
}

bool async_call::start() {
  if (count_ != 1) fatal("async_call::start");  // the thread's own start is checked by its owner
  count_ = 2;
  if (!thread_.start(thread_main, this, "async_call::start", nullptr)) {
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

bool async_call::is_done() const { return thread_.ended(); }

void async_call::wait() const { thread_.wait(); }
