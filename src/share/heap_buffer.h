#pragma once

#include <windows.h>

#include <cstdint>

// A block on the process heap sized exactly as asked (no growth factor), always followed by a
// zero byte. Once an allocation has failed, every later resize fails too.
class heap_buffer {
 public:
  heap_buffer() = default;
  ~heap_buffer();
  heap_buffer(const heap_buffer&) = delete;
  heap_buffer& operator=(const heap_buffer&) = delete;

  // At least n bytes of room; the contents are kept. Sizes of 4 GiB - 1 and more fail like an
  // allocation that fails.
  bool reserve(uint64_t n);
  // reserve(n), then the size becomes n and data()[n] is zero.
  bool resize(uint64_t n);
  // Size 0 and a clean failed flag; the room is kept.
  void reset();

  uint32_t size() const { return size_; }
  uint32_t capacity() const { return capacity_; }
  bool failed() const { return failed_; }
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }

 private:
  HANDLE heap_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
  bool failed_ = false;
  uint8_t* data_ = nullptr;
};
