#include "support/ref_counted.h"

#include "support/fatal.h"

ref_counted::~ref_counted() {
  if (count_ != 0) fatal("ref_counted::~ref_counted");
}

void ref_counted::add_ref() {
  if (count_ < 1) fatal("ref_counted::add_ref");
  InterlockedIncrement(&count_);
}

bool ref_counted::release() {
  if (count_ < 1) fatal("ref_counted::release");
  if (InterlockedDecrement(&count_) != 0) return false;
  delete this;
  return true;
}
