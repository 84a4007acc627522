#include "toolkit/sfc_hwnd.h"

#include <vector>

std::wstring sfc_hwnd::text() const {
  const int length = GetWindowTextLengthW(hwnd_);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(size_t(length) + 1);
  const int copied = GetWindowTextW(hwnd_, buffer.data(), length + 1);
  return std::wstring(buffer.data(), copied > 0 ? size_t(copied) : 0);
}

RECT sfc_hwnd::client_rect() const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return r;
}

RECT sfc_hwnd::window_rect() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r;
}

RECT sfc_hwnd::rect_in_parent() const {
  RECT r = window_rect();
  const HWND parent_window = (style() & WS_CHILD) ? GetParent(hwnd_) : nullptr;
  if (parent_window) MapWindowPoints(HWND_DESKTOP, parent_window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool sfc_hwnd::move(const RECT& r, bool repaint) const {
  return MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint) != 0;
}

void sfc_hwnd::change_style(LONG_PTR add, LONG_PTR remove) const {
  SetWindowLongPtrW(hwnd_, GWL_STYLE, (style() & ~remove) | add);
}

void sfc_hwnd::bring_to_front() const {
  const HWND foreground = GetForegroundWindow();
  const DWORD own_thread = GetCurrentThreadId();
  const DWORD foreground_thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : own_thread;
  const bool attached = foreground_thread != own_thread && AttachThreadInput(own_thread, foreground_thread, TRUE);
  SwitchToThisWindow(hwnd_, TRUE);
  SetForegroundWindow(hwnd_);
  BringWindowToTop(hwnd_);
  SetFocus(hwnd_);
  if (attached) AttachThreadInput(own_thread, foreground_thread, FALSE);
}

std::wstring sfc_hcombobox::item_text(int index) const {
  const LRESULT length = send(CB_GETLBTEXTLEN, WPARAM(index));
  if (length == CB_ERR) return std::wstring();
  std::vector<wchar_t> buffer(size_t(length) + 1);
  const LRESULT copied = send(CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
  return copied == CB_ERR ? std::wstring() : std::wstring(buffer.data(), size_t(copied));
}

RECT sfc_hlistheader::item_rect(int index) const {
  RECT r{};
  send(HDM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

int sfc_hlistview::insert_column(int index, const std::wstring& title, int width) const {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(title.c_str());
  column.cx = width;
  column.iSubItem = index;
  return int(send(LVM_INSERTCOLUMNW, WPARAM(index), reinterpret_cast<LPARAM>(&column)));
}

int sfc_hlistview::insert_item(int index, const std::wstring& text, LPARAM data) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.lParam = data;
  return int(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool sfc_hlistview::set_item_text(int index, int column, const std::wstring& text) const {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  return send(LVM_SETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring sfc_hlistview::item_text(int index, int column) const {
  // The list view copies at most the buffer; grow until the text fits.
  for (size_t capacity = 256; capacity <= 65536; capacity *= 4) {
    std::vector<wchar_t> buffer(capacity);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = int(capacity);
    const LRESULT copied = send(LVM_GETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    if (size_t(copied) + 1 < capacity) return std::wstring(buffer.data(), size_t(copied));
  }
  return std::wstring();
}

RECT sfc_hlistview::item_rect(int index, int part) const {
  RECT r{};
  r.left = part;
  send(LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

bool sfc_tooltips::create(HWND owner, bool balloon) {
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | (balloon ? TTS_BALLOON : 0), CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
  return hwnd_ != nullptr;
}

namespace {
TTTOOLINFOW tool_info(HWND owner, HWND tool, UINT flags) {
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = flags | TTF_IDISHWND;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  return info;
}
}  // namespace

bool sfc_tooltips::add_tool(HWND tool, const std::wstring& text, UINT flags) const {
  TTTOOLINFOW info = tool_info(GetParent(tool), tool, flags);
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  return send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void sfc_tooltips::remove_tool(HWND tool) const {
  TTTOOLINFOW info = tool_info(GetParent(tool), tool, 0);
  send(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void sfc_tooltips::track(HWND tool, bool shown, POINT at) const {
  TTTOOLINFOW info = tool_info(GetParent(tool), tool, 0);
  if (shown) send(TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  send(TTM_TRACKACTIVATE, shown, reinterpret_cast<LPARAM>(&info));
}
