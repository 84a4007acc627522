#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Page-aligned memory, as unbuffered reads and writes need it; data is null when none was had.
class page_buffer {
 public:
  explicit page_buffer(size_t size)
      : data(static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~page_buffer() {
    if (data) VirtualFree(data, 0, MEM_RELEASE);
  }
  page_buffer(const page_buffer&) = delete;
  page_buffer& operator=(const page_buffer&) = delete;
  uint8_t* const data;
};
