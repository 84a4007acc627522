#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// A window handle with typed calls; never owns the window. Null until attached.
class sfc_hwnd {
 public:
  sfc_hwnd() = default;
  explicit sfc_hwnd(HWND hwnd) : hwnd_(hwnd) {}
  virtual ~sfc_hwnd() = default;

  HWND hwnd() const { return hwnd_; }
  bool valid() const { return hwnd_ && IsWindow(hwnd_); }
  // Plain wrappers may be re-pointed freely; sfc_window and sfc_dialog bind their own handle.
  void set_hwnd(HWND hwnd) { hwnd_ = hwnd; }

  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return SendMessageW(hwnd_, message, wparam, lparam);
  }
  bool post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return PostMessageW(hwnd_, message, wparam, lparam) != 0;
  }

  std::wstring text() const;
  bool set_text(const std::wstring& text) const { return SetWindowTextW(hwnd_, text.c_str()) != 0; }
  int id() const { return GetDlgCtrlID(hwnd_); }
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }
  HWND parent() const { return GetParent(hwnd_); }

  void show(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
  bool visible() const { return IsWindowVisible(hwnd_) != 0; }
  void enable(bool enabled) const { EnableWindow(hwnd_, enabled); }
  bool enabled() const { return IsWindowEnabled(hwnd_) != 0; }
  void focus() const { SetFocus(hwnd_); }

  RECT client_rect() const;
  RECT window_rect() const;
  // The window's rectangle in its parent's client coordinates (screen coordinates for top-level windows).
  RECT rect_in_parent() const;
  bool move(const RECT& rect, bool repaint = true) const;
  void invalidate(bool erase = false) const { InvalidateRect(hwnd_, nullptr, erase); }
  void update() const { UpdateWindow(hwnd_); }

  HFONT font() const { return reinterpret_cast<HFONT>(send(WM_GETFONT)); }
  void set_font(HFONT font, bool redraw = true) const { send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
  LONG_PTR style() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
  LONG_PTR ex_style() const { return GetWindowLongPtrW(hwnd_, GWL_EXSTYLE); }
  void change_style(LONG_PTR add, LONG_PTR remove) const;

  bool set_timer(UINT_PTR id, UINT period_ms) const { return SetTimer(hwnd_, id, period_ms, nullptr) != 0; }
  void kill_timer(UINT_PTR id) const { KillTimer(hwnd_, id); }

  // Makes this window the foreground window even when another process owns the foreground:
  // borrows the foreground thread's input state for the switch.
  void bring_to_front() const;

 protected:
  HWND hwnd_ = nullptr;
};

class sfc_hstatic : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  void set_icon(HICON icon) const { send(STM_SETICON, reinterpret_cast<WPARAM>(icon)); }
};

class sfc_hbutton : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  void click() const { send(BM_CLICK); }
  UINT state() const { return UINT(send(BM_GETSTATE)); }
};

class sfc_hcheckbox : public sfc_hbutton {
 public:
  using sfc_hbutton::sfc_hbutton;
  bool checked() const { return send(BM_GETCHECK) == BST_CHECKED; }
  void set_checked(bool checked) const { send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
};

class sfc_heditbox : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  void select(int first, int last) const { send(EM_SETSEL, WPARAM(first), LPARAM(last)); }
  void select_all() const { select(0, -1); }
  void limit_text(int chars) const { send(EM_SETLIMITTEXT, WPARAM(chars)); }
  void set_read_only(bool read_only) const { send(EM_SETREADONLY, read_only); }
};

class sfc_hcombobox : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  int add(const std::wstring& text) const { return int(send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()))); }
  int insert(int index, const std::wstring& text) const {
    return int(send(CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text.c_str())));
  }
  void remove(int index) const { send(CB_DELETESTRING, WPARAM(index)); }
  void clear() const { send(CB_RESETCONTENT); }
  int count() const { return int(send(CB_GETCOUNT)); }
  int selection() const { return int(send(CB_GETCURSEL)); }
  void select(int index) const { send(CB_SETCURSEL, WPARAM(index)); }
  std::wstring item_text(int index) const;
  int find_exact(const std::wstring& text) const {
    return int(send(CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str())));
  }
  void show_list(bool shown) const { send(CB_SHOWDROPDOWN, shown); }
  bool list_shown() const { return send(CB_GETDROPPEDSTATE) != 0; }
  // index -1 is the selection field, 0 the list items.
  void set_item_height(int index, int height) const { send(CB_SETITEMHEIGHT, WPARAM(index), height); }
};

class sfc_hlistheader : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  int count() const { return int(send(HDM_GETITEMCOUNT)); }
  RECT item_rect(int index) const;
};

class sfc_hlistview : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  void set_extended_style(DWORD mask, DWORD style) const { send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
  int insert_column(int index, const std::wstring& title, int width) const;
  void set_column_width(int index, int width) const { send(LVM_SETCOLUMNWIDTH, WPARAM(index), width); }
  int column_width(int index) const { return int(send(LVM_GETCOLUMNWIDTH, WPARAM(index))); }
  int insert_item(int index, const std::wstring& text, LPARAM data = 0) const;
  bool set_item_text(int index, int column, const std::wstring& text) const;
  std::wstring item_text(int index, int column) const;
  int count() const { return int(send(LVM_GETITEMCOUNT)); }
  void clear() const { send(LVM_DELETEALLITEMS); }
  void ensure_visible(int index) const { send(LVM_ENSUREVISIBLE, WPARAM(index), FALSE); }
  int top_index() const { return int(send(LVM_GETTOPINDEX)); }
  int rows_per_page() const { return int(send(LVM_GETCOUNTPERPAGE)); }
  RECT item_rect(int index, int part = LVIR_BOUNDS) const;
  sfc_hlistheader header() const { return sfc_hlistheader(reinterpret_cast<HWND>(send(LVM_GETHEADER))); }
};

// A tooltip window of its own; the owner destroys it with DestroyWindow or through its parent.
class sfc_tooltips : public sfc_hwnd {
 public:
  using sfc_hwnd::sfc_hwnd;
  bool create(HWND owner, bool balloon);
  bool add_tool(HWND tool, const std::wstring& text, UINT flags) const;
  void remove_tool(HWND tool) const;
  void set_max_width(int pixels) const { send(TTM_SETMAXTIPWIDTH, 0, pixels); }
  // Shows the tip of `tool` at a screen point (a tracking tool), or hides it.
  void track(HWND tool, bool shown, POINT at = {}) const;
};
