#include "toolkit/white_dialog.h"

bool white_dialog_colours::before(sfc_msg& m) {
  if (m.message != WM_CTLCOLORDLG && m.message != WM_CTLCOLORSTATIC) return true;
  const bool band =
      m.message == WM_CTLCOLORSTATIC && band_id_ && GetDlgCtrlID(reinterpret_cast<HWND>(m.lparam)) == band_id_;
  SetBkMode(reinterpret_cast<HDC>(m.wparam), TRANSPARENT);
  m.result = reinterpret_cast<LRESULT>(band ? GetSysColorBrush(COLOR_BTNFACE) : GetStockObject(WHITE_BRUSH));
  return false;
}
