#pragma once

#include <windows.h>
#include <objbase.h>

// One counted reference to a COM object, released with its owner.
template <typename T>
class com_ptr {
 public:
  com_ptr() = default;
  explicit com_ptr(T* p) : p_(p) {}  // takes over a reference the caller holds
  ~com_ptr() { reset(); }
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;

  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // For the functions that hand out a reference.
  T** out() {
    reset();
    return &p_;
  }
  void** out_void() { return reinterpret_cast<void**>(out()); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // QueryInterface into another pointer.
  template <typename U>
  HRESULT query(const IID& iid, com_ptr<U>& other) const {
    return p_->QueryInterface(iid, reinterpret_cast<void**>(other.out()));
  }

 private:
  T* p_ = nullptr;
};

// Memory the service allocated for the caller: strings in property records, extent arrays.
class co_task_memory {
 public:
  explicit co_task_memory(void* p) : p_(p) {}
  ~co_task_memory() { CoTaskMemFree(p_); }
  co_task_memory(const co_task_memory&) = delete;
  co_task_memory& operator=(const co_task_memory&) = delete;

 private:
  void* p_;
};
