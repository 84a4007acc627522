#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/sfc_message.h"

// Whether the mouse is over a window: WM_MOUSEMOVE starts tracking (TrackMouseEvent tells of
// the leave), WM_MOUSELEAVE ends it. track() answers whether the state changed.
class xfc_hover {
 public:
  bool track(const sfc_msg& m);
  bool over() const { return over_; }

 private:
  bool over_ = false;
};

// A control that paints itself: WM_PAINT and WM_PRINTCLIENT go to `paint` with the DC to draw
// into, WM_ERASEBKGND is answered as done (the paint covers everything). False for other messages.
bool xfc_own_painting(sfc_msg& m, const std::function<void(HDC)>& paint);
