#include "share/internet_handles.h"

internet_handles::~internet_handles() {
  close_slot(request_);
  close_slot(connection_);
  close_slot(root_);
}

void internet_handles::close_slot(HINTERNET volatile& slot) {
  HINTERNET h = InterlockedExchangePointer(const_cast<void**>(&slot), nullptr);
  if (h) InternetCloseHandle(h);
}

void internet_handles::close(HINTERNET h) {
  if (!h) return;
  if (h == request_) close_slot(request_);
  else if (h == connection_) close_slot(connection_);
  else if (h == root_) close_slot(root_);
}
