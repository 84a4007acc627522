#include "share/dialog_ask_to_share.h"

#include <algorithm>

#include "resource_ids.h"
#include "share/dialog_upload.h"
#include "share/share_prompt_layout.h"
#include "results/report_actions.h"

namespace {

constexpr wchar_t report_name_stem[] = L"folvi-report";
// The body keeps the line breaks it was written with: its width is that of its longest line.
constexpr UINT body_format = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
constexpr int link_focus_margin = 2;  // the focus rectangle around the link's words

// The questions of the Notepad view go to the program's message box; it never saves.
class share_ui_prompt final : public user_prompt_cb {
 public:
  explicit share_ui_prompt(share_ui_cb& ui) : ui_(ui) {}
  int message_box(const std::wstring& text, uint32_t& flags, const std::wstring&) override {
    return ui_.message_box(text, flags);
  }
  bool choose_save_path(const save_request&, std::wstring&) override { return false; }

 private:
  share_ui_cb& ui_;
};

}  // namespace

dialog_ask_to_share::dialog_ask_to_share(share_ui_cb& ui, const std::string& joined_reports)
    : ui_(ui), reports_(joined_reports), colours_(IDC_ASK_BAND) {
  add_hook(&colours_);
}

INT_PTR dialog_ask_to_share::run(HWND owner) { return run_modal(IDD_ASK_TO_SHARE, owner); }

HWND dialog_ask_to_share::etched_separator() const {
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ) return child;
  }
  return nullptr;
}

bool dialog_ask_to_share::on_init() {
  bold_.create_like(font(), FW_BOLD);
  title_.attach(item(IDC_ASK_TITLE));
  if (bold_.handle()) title_.set_text_font(bold_.handle());
  body_.attach(item(IDC_ASK_BODY));
  xfc_text_style body_style;
  body_style.format = body_format;
  body_.set_style(body_style);
  body_.set_text(share_prompt_body);
  link_.attach(item(IDC_ASK_SEE_REPORT));
  if (HWND separator = etched_separator()) separator_.attach(separator);
  fit_to_text();
  fit_link_to_label();
  SetFocus(item(IDOK));
  return false;
}

void dialog_ask_to_share::fit_to_text() {
  const RECT text = body_.client_rect();
  RECT needed = text;
  {
    const sfc_window_dc dc(body_.hwnd());
    const sfc_selection font(dc.handle(), body_.font());
    dc.measure_text(share_prompt_body, needed, body_format);
  }
  const int dx = (needed.right - needed.left) - (text.right - text.left);
  const int dy = (needed.bottom - needed.top) - (text.bottom - text.top);
  if (dx == 0 && dy == 0) return;
  for (int i = 0; i < share_prompt_anchor_count; ++i) {
    const control_anchor& anchor = share_prompt_anchors[i];
    const sfc_hwnd control(anchor.control_id == share_prompt_separator_id ? separator_.hwnd()
                                                                          : item(anchor.control_id));
    if (!control.hwnd()) continue;
    control.move(move_by_anchor(control.rect_in_parent(), anchor, dx, dy));
  }
  // The dialog grows by as much as its text, about its centre.
  const RECT frame = window_rect();
  SetWindowPos(hwnd_, nullptr, frame.left - dx / 2, frame.top - dy / 2, frame.right - frame.left + dx,
               frame.bottom - frame.top + dy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void dialog_ask_to_share::fit_link_to_label() {
  // Only the words of the link are clickable, however wide the text above it has made the row.
  RECT label{};
  {
    const sfc_window_dc dc(link_.hwnd());
    const sfc_selection font(dc.handle(), link_.font());
    dc.measure_text(link_.text(), label, DT_SINGLELINE | DT_NOPREFIX);
  }
  RECT r = link_.rect_in_parent();
  r.right = std::min(LONG(r.left + label.right + link_focus_margin), body_.rect_in_parent().right);
  link_.move(r);
}

void dialog_ask_to_share::on_command(int id, int code, HWND) {
  if (id != IDC_ASK_SEE_REPORT || code != BN_CLICKED) return;
  share_ui_prompt prompt(ui_);
  view_text_in_notepad(ui_.report_files(), prompt, reports_, report_name_stem);
}

void offer_share(share_ui_cb& ui, HWND owner, const std::string& joined_reports, const std::string& stack_scan_text,
                 DWORD pause_ms, const wchar_t* key) {
  Sleep(pause_ms);
  dialog_ask_to_share prompt(ui, joined_reports);
  const share_answer answer = share_answer_of(prompt.run(owner));
  if (answer == share_answer::share) {
    upload_share(ui, owner, report_share_package(joined_reports, stack_scan_text));
  } else {
    remember_share_answer(answer, key);
  }
}
