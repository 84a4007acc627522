#include "share/heap_buffer.h"

#include <cstring>

heap_buffer::~heap_buffer() {
  if (data_) HeapFree(heap_, 0, data_);
}

bool heap_buffer::reserve(uint64_t n) {
  if (failed_) return false;
  if (capacity_ >= n && data_) return true;
  // n + 1 must be representable: the terminating zero byte lies past the capacity.
  if (n >= UINT32_MAX) {
    failed_ = true;
    return false;
  }
  if (!heap_) heap_ = GetProcessHeap();
  uint8_t* block = heap_ ? static_cast<uint8_t*>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, size_t(n) + 1)) : nullptr;
  if (!block) {
    failed_ = true;
    return false;
  }
  if (data_) {
    memcpy(block, data_, size_);
    HeapFree(heap_, 0, data_);
  }
  data_ = block;
  capacity_ = uint32_t(n);
  return true;
}

bool heap_buffer::resize(uint64_t n) {
  if (!reserve(n)) return false;
  size_ = uint32_t(n);
  data_[n] = 0;
  return true;
}

void heap_buffer::reset() {
  failed_ = false;
  size_ = 0;
  if (data_) data_[0] = 0;
}
