#pragma once

#include <windows.h>

// Base of shared objects: the creator holds the first reference.
class ref_counted {
 public:
  ref_counted() = default;
  ref_counted(const ref_counted&) = delete;
  ref_counted& operator=(const ref_counted&) = delete;
  virtual ~ref_counted();
  virtual void add_ref();
  // True when this call destroyed the object.
  virtual bool release();
  LONG ref_count() const { return count_; }

 protected:
  // For the one object that lives for the whole process and is never released.
  void end_static_life() { count_ = 0; }

 private:
  volatile LONG count_ = 1;
};
