#include "toolkit/xfc_message_box.h"

#include <algorithm>

#include "support/os_version.h"
#include "toolkit/dialog_template.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/window_placement.h"

namespace {

HICON system_icon(mb_icon icon) {
  switch (icon) {
    case mb_icon::information: return LoadIconW(nullptr, IDI_INFORMATION);
    case mb_icon::question: return LoadIconW(nullptr, IDI_QUESTION);
    case mb_icon::warning: return LoadIconW(nullptr, IDI_WARNING);
    case mb_icon::error: return LoadIconW(nullptr, IDI_ERROR);
    default: return nullptr;
  }
}

std::wstring without_mnemonic(const std::wstring& label) {
  std::wstring out;
  for (wchar_t c : label)
    if (c != L'&') out += c;
  return out;
}

// Positions are set when the box is laid out; the template only fixes the controls.
std::vector<uint8_t> box_template(const message_box_request& request, const message_box_plan& plan) {
  const RECT placeholder = {0, 0, 10, 10};
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (plan.app_window ? WS_EX_APPWINDOW : 0);
  dialog_template_writer t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, ex_style, {0, 0, 200, 80},
                           request.caption, {});
  t.add(WS_CHILD | SS_ICON, 0, placeholder, mb_id_icon, dlg_class_static, L"");
  t.add(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0, placeholder, mb_id_text, dlg_class_static,
        L"");
  for (int position = 0; position < 3; ++position) {
    const int index = position - (3 - plan.button_count);
    DWORD style = WS_CHILD | WS_TABSTOP | (position == 0 ? WS_GROUP : 0);
    if (index < 0) {
      t.add(style | BS_PUSHBUTTON, 0, placeholder, mb_id_unused_button + position, dlg_class_button, L"");
      continue;
    }
    style |= WS_VISIBLE | (index == plan.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    t.add(style, 0, placeholder, uint32_t(plan.answers[index]), dlg_class_button, plan.labels[index]);
  }
  t.add(WS_CHILD | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, placeholder, mb_id_check, dlg_class_button,
        plan.check_label);
  return t.bytes();
}

}  // namespace

int run_message_box(message_box_request& request) {
  xfc_message_box box(request);
  return box.run();
}

// The plan is made first: a bad set of flags ends the process before any window exists.
xfc_message_box::xfc_message_box(message_box_request& request)
    : request_(request), plan_(plan_message_box(request.flags)) {}

int xfc_message_box::run() {
  const INT_PTR result = run_modal(box_template(request_, plan_), request_.owner);
  request_.flags = message_box_result_flags(request_.flags, ticked_ && result > 0);
  return result > 0 ? int(result) : 0;
}

bool xfc_message_box::on_init() {
  colours_ = os_version_index() >= 4;
  set_text(request_.caption);
  SetDlgItemTextW(hwnd_, mb_id_text, request_.text.c_str());
  const HICON icon = request_.icon ? request_.icon : system_icon(plan_.icon);
  const sfc_hstatic icon_control(item(mb_id_icon));
  icon_control.set_icon(icon);
  icon_control.show(icon != nullptr);
  sfc_hwnd(item(mb_id_check)).show(plan_.check_box);
  if (!plan_.escape_answer) EnableMenuItem(GetSystemMenu(hwnd_, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  place_controls();
  send(DM_SETDEFID, WPARAM(plan_.answers[plan_.default_button]));
  if (plan_.bring_to_front) {
    show(true);
    bring_to_front();
  }
  SetFocus(button_of(plan_.default_button));
  return false;
}

void xfc_message_box::place_controls() {
  const HFONT font = this->font();
  const sfc_window_dc dc(hwnd_);
  const sfc_selection selected(dc.handle(), font);

  RECT units = {7, 14, 50, 14};  // margin, button height and width in dialog units
  MapDialogRect(hwnd_, &units);
  RECT limit_units = {0, 0, 280, 0};
  MapDialogRect(hwnd_, &limit_units);
  message_box_metrics m;
  m.margin = units.left;
  m.icon_gap = units.left;
  m.button_gap = std::max<int>(4, units.left / 2);
  m.button_height = std::max<int>(units.top, dc.text_extent(L"Ag").cy + 8);
  m.button_width = int(units.right);
  for (int i = 0; i < plan_.button_count; ++i)
    m.button_width = std::max<int>(m.button_width, dc.text_extent(without_mnemonic(plan_.labels[i])).cx + 2 * m.margin);
  const HICON icon = reinterpret_cast<HICON>(sfc_hstatic(item(mb_id_icon)).send(STM_GETICON));
  if (icon) m.icon_size = GetSystemMetrics(SM_CXICON);
  if (plan_.check_box) {
    const SIZE label = dc.text_extent(plan_.check_label);
    m.check_width = label.cx + GetSystemMetrics(SM_CXMENUCHECK) + 8;
    m.check_height = std::max<int>(label.cy, GetSystemMetrics(SM_CYMENUCHECK)) + 4;
  }
  m.min_client_width = 3 * m.button_width;

  const RECT work = work_area_near(request_.owner);
  const int max_text_width = std::min<int>(int(limit_units.right), (work.right - work.left) * 5 / 8);
  RECT text = {0, 0, std::max(max_text_width, 1), 0};
  dc.measure_text(request_.text, text, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL);
  // An unbreakable word or a very long text (a server's reply, say) is clipped, not spread off screen.
  text.right = std::min<LONG>(text.right, max_text_width);
  text.bottom = std::min<LONG>(text.bottom, (work.bottom - work.top) * 3 / 4);
  const message_box_layout layout =
      layout_message_box(m, {text.right, text.bottom}, plan_.button_count, plan_.check_box);

  sfc_hwnd(item(mb_id_icon)).move(layout.icon, false);
  sfc_hwnd(item(mb_id_text)).move(layout.text, false);
  for (int position = 0; position < 3; ++position) {
    const int index = position - (3 - plan_.button_count);
    const int id = index < 0 ? mb_id_unused_button + position : plan_.answers[index];
    sfc_hwnd(item(id)).move(layout.buttons[position], false);
  }
  sfc_hwnd(item(mb_id_check)).move(layout.check, false);
  band_ = layout.band;

  RECT frame = {0, 0, layout.client.cx, layout.client.cy};
  AdjustWindowRectEx(&frame, DWORD(style()), FALSE, DWORD(ex_style()));
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  centre_on_owner(hwnd_, request_.owner);
}

void xfc_message_box::on_cancel() {
  if (plan_.escape_answer) end(plan_.escape_answer);
}

void xfc_message_box::on_command(int id, int code, HWND) {
  if (id == mb_id_check) {
    if (code == BN_CLICKED) check_changed();
    return;
  }
  press(id);
}

void xfc_message_box::press(int id) {
  for (int i = 0; i < plan_.button_count; ++i)
    if (plan_.answers[i] == id) {
      if (IsWindowEnabled(button_of(i))) end(id);
      return;
    }
}

void xfc_message_box::check_changed() {
  ticked_ = IsDlgButtonChecked(hwnd_, mb_id_check) == BST_CHECKED;
  if (plan_.check_disables < 0) return;
  EnableWindow(button_of(plan_.check_disables), !ticked_);
  // Enter must still answer: the default moves to the button that stays enabled.
  int default_index = plan_.default_button;
  if (ticked_ && default_index == plan_.check_disables) default_index = 1 - plan_.check_disables;
  send(DM_SETDEFID, WPARAM(plan_.answers[default_index]));
}

bool xfc_message_box::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_CLOSE:
      // The close box answers like Esc, whatever state the buttons are in.
      on_cancel();
      return true;
    case WM_ERASEBKGND: {
      if (!colours_) break;
      const sfc_hdc dc(reinterpret_cast<HDC>(m.wparam));
      RECT message = client_rect();
      message.bottom = band_.top;
      dc.fill(message, RGB(255, 255, 255));
      dc.fill(band_, GetSysColor(COLOR_BTNFACE));
      m.result = TRUE;
      return true;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      if (!colours_) break;
      const HDC dc = reinterpret_cast<HDC>(m.wparam);
      const HWND control = reinterpret_cast<HWND>(m.lparam);
      const bool in_band = m.message == WM_CTLCOLORBTN || control == item(mb_id_check);
      SetBkMode(dc, TRANSPARENT);
      m.result = reinterpret_cast<LRESULT>(in_band ? GetSysColorBrush(COLOR_BTNFACE) : GetStockObject(WHITE_BRUSH));
      return true;
    }
    default: break;
  }
  return sfc_dialog::on_message(m);
}
