#include "ui/gdiplus_session.h"

#include <windows.h>
// Lean Windows headers leave out the COM types GDI+ names.
#include <objidl.h>
#include <gdiplus.h>

namespace {
class gdiplus_session {
 public:
  gdiplus_session() {
    const Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~gdiplus_session() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  gdiplus_session(const gdiplus_session&) = delete;
  gdiplus_session& operator=(const gdiplus_session&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};
}  // namespace

bool gdiplus_ready() {
  static gdiplus_session session;
  return session.ok();
}
