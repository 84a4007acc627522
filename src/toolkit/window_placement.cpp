#include "toolkit/window_placement.h"

#include <algorithm>

POINT centred_position(const RECT& around, SIZE size, const RECT& work) {
  LONG x = (around.left + around.right - size.cx) / 2, y = (around.top + around.bottom - size.cy) / 2;
  // The far edges first, so that the near ones win for a window larger than the work area.
  x = std::max(work.left, std::min(x, work.right - size.cx));
  y = std::max(work.top, std::min(y, work.bottom - size.cy));
  return {x, y};
}

RECT work_area_near(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  POINT cursor{};
  GetCursorPos(&cursor);
  const HMONITOR monitor =
      window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
  if (GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void centre_on_owner(HWND window, HWND owner) {
  const RECT work = work_area_near(owner);
  RECT around = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  RECT r{};
  GetWindowRect(window, &r);
  const POINT at = centred_position(around, {r.right - r.left, r.bottom - r.top}, work);
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
