#pragma once

#include <windows.h>

// One owner per handle; closed on every path.
class scoped_hkey {
 public:
  scoped_hkey() = default;
  ~scoped_hkey() {
    if (key_) RegCloseKey(key_);
  }
  scoped_hkey(const scoped_hkey&) = delete;
  scoped_hkey& operator=(const scoped_hkey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class scoped_handle {
 public:
  scoped_handle() = default;
  explicit scoped_handle(HANDLE h) : h_(h) {}
  ~scoped_handle() { reset(); }
  scoped_handle(const scoped_handle&) = delete;
  scoped_handle& operator=(const scoped_handle&) = delete;
  scoped_handle(scoped_handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  void reset(HANDLE h = nullptr) {
    if (valid()) CloseHandle(h_);
    h_ = h;
  }
  bool valid() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_ = nullptr;
};
