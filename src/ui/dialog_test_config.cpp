#include "ui/dialog_test_config.h"

#include <algorithm>
#include <iterator>

#include "resource_ids.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/window_placement.h"
#include "toolkit/xfc_message_box.h"
#include "ui/summary_colours.h"

namespace {
constexpr COLORREF white = RGB(255, 255, 255);

// Section headers and the column labels beside them share the header look.
constexpr int header_ids[] = {IDC_CONFIG_IO_SETUP_HEADER, IDC_CONFIG_TEST_RUN_HEADER, IDC_CONFIG_TEST_FILE_HEADER,
                              IDC_CONFIG_IO_MODES_HEADER, IDC_CONFIG_MODES_READING,   IDC_CONFIG_MODES_WRITING,
                              IDC_CONFIG_SUMMARY_HEADER,  IDC_CONFIG_SUMMARY_READING, IDC_CONFIG_SUMMARY_WRITING};
constexpr int column_label_ids[] = {IDC_CONFIG_MODES_READING, IDC_CONFIG_MODES_WRITING, IDC_CONFIG_SUMMARY_READING,
                                    IDC_CONFIG_SUMMARY_WRITING};

// The summary rows: labels first, then the values.
constexpr int summary_label_ids[] = {IDC_CONFIG_TESTS_LABEL, IDC_CONFIG_DURATION_LABEL, IDC_CONFIG_TOTAL_LABEL};
constexpr int summary_value_ids[] = {IDC_CONFIG_READ_TESTS, IDC_CONFIG_WRITE_TESTS, IDC_CONFIG_READ_DURATION,
                                     IDC_CONFIG_WRITE_DURATION, IDC_CONFIG_TOTAL_TIME};
constexpr int summary_padding = 4;

template <size_t n>
bool contains(const int (&ids)[n], int id) {
  return std::find(ids, ids + n, id) != ids + n;
}

// The three colours of a summary row: its background, the line along its bottom, its text.
xfc_text_style summary_style(bool label) {
  const std::array<uint32_t, 3> colours = summary_row_colours(GetSysColor(COLOR_BTNFACE));
  xfc_text_style s;
  s.background = colours[0];
  s.underline = colours[1];
  s.text = colours[2];
  s.format = (label ? DT_LEFT : DT_CENTER) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  s.padding_x = label ? summary_padding : 0;
  return s;
}
}  // namespace

bool dialog_test_config::run(HWND owner) { return run_modal(IDD_TEST_CONFIG, owner) == id_ok; }

int dialog_test_config::combo_index(int id) {
  for (int i = 0; i < config_combo_count; ++i)
    if (config_combos[i].id == id) return i;
  return id == id_profile_list ? config_combo_count : -1;
}

void dialog_test_config::attach_controls() {
  static_assert(std::size(header_ids) == std::tuple_size<decltype(headers_)>::value, "one text per header");
  static_assert(
      std::size(summary_label_ids) + std::size(summary_value_ids) == std::tuple_size<decltype(summary_)>::value,
      "one text per summary static");
  for (int i = 0; i < config_field_count; ++i) edits_[size_t(i)].attach(item(config_edits[i].id));
  for (int i = 0; i < config_combo_count; ++i) combos_[size_t(i)].attach(item(config_combos[i].id));
  combos_[config_combo_count].attach(item(id_profile_list));
  for (int i = 0; i < config_hint_count; ++i) {
    hints_[size_t(i)].attach(item(config_hints[i].id));
    hints_[size_t(i)].set_background(white);
  }
  for (size_t i = 0; i < headers_.size(); ++i) {
    xfc_text_style style = xfc_header_style(white);
    if (contains(column_label_ids, header_ids[i])) style.format = (style.format & ~UINT(DT_LEFT)) | DT_CENTER;
    headers_[i].set_style(style);
    headers_[i].attach(item(header_ids[i]));
  }
  size_t n = 0;
  for (int id : summary_label_ids) {
    summary_[n].set_style(summary_style(true));
    summary_[n++].attach(item(id));
  }
  for (int id : summary_value_ids) {
    summary_[n].set_style(summary_style(false));
    summary_[n++].attach(item(id));
  }
}

bool dialog_test_config::on_init() {
  add_hook(&colours_);
  attach_controls();
  centre_on_owner(hwnd_, GetWindow(hwnd_, GW_OWNER));
  model_.init(*this);
  // The profile list is where a user starts: presets first, then the fields.
  SetFocus(item(id_profile_list));
  return false;
}

void dialog_test_config::on_ok() {
  model_.ok(*this);
  settle_attention();
}

void dialog_test_config::combo_changed(int id, int code) {
  const int index = combo_index(id);
  const int selection = int(SendMessageW(item(id), CB_GETCURSEL, 0, 0));
  const bool dropped = SendMessageW(item(id), CB_GETDROPPEDSTATE, 0, 0) != 0;
  // A list the user browses with the arrow keys changes its selection on the way; the field
  // follows what the list shows once it is closed or confirmed, and only when that changed.
  const bool settled =
      code == CBN_SELENDOK || code == CBN_SELENDCANCEL || code == CBN_CLOSEUP || (code == CBN_SELCHANGE && !dropped);
  if (!settled || selection == shown_items_[size_t(index)]) return;
  shown_items_[size_t(index)] = selection;
  if (id == id_profile_list) model_.profile_chosen(*this, selection);
  else model_.choice_changed(*this, id, selection);
}

void dialog_test_config::on_command(int id, int code, HWND) {
  if (combo_index(id) >= 0) {
    combo_changed(id, code);
  } else if (find_config_edit(id)) {
    if (code != EN_CHANGE) return;
    model_.edit_changed(*this, id, sfc_hwnd(item(id)).text());
  } else if (find_config_mode_box(id) || id == id_flush) {
    if (code != BN_CLICKED) return;
    model_.check_changed(*this, id, sfc_hcheckbox(item(id)).checked());
  } else {
    return;  // the hints show themselves
  }
  settle_attention();
}

void dialog_test_config::settle_attention() {
  for (int i = 0; i < config_field_count; ++i)
    if (edits_[size_t(i)].invalid() && !(model_.error_mask() & (1u << config_edits[i].field)))
      edits_[size_t(i)].set_invalid(false);
}

void dialog_test_config::paint_background(HDC dc) const {
  const sfc_hdc out(dc);
  out.fill(client_rect(), white);
  const RECT band = sfc_hwnd(item(IDC_CONFIG_BAND)).rect_in_parent();
  out.fill(band, GetSysColor(COLOR_BTNFACE));
  // A hairline between the white page and the band, in the summary rows' darker face.
  out.fill({band.left, band.top, band.right, band.top + 1}, summary_row_colours(GetSysColor(COLOR_BTNFACE))[0]);
}

bool dialog_test_config::on_message(sfc_msg& m) {
  if (m.message == WM_ERASEBKGND) {
    paint_background(reinterpret_cast<HDC>(m.wparam));
    m.result = TRUE;
    return true;
  }
  return sfc_dialog::on_message(m);
}

void dialog_test_config::fill_combo(int id, const std::vector<std::wstring>& items) {
  const sfc_hcombobox combo(item(id));
  combo.clear();
  for (const std::wstring& text : items) combo.add(text);
  shown_items_[size_t(combo_index(id))] = -1;
}

void dialog_test_config::select_item(int id, int index) {
  sfc_hcombobox(item(id)).select(index);
  shown_items_[size_t(combo_index(id))] = index;
}

void dialog_test_config::set_text(int id, const std::wstring& text) { sfc_hwnd(item(id)).set_text(text); }

void dialog_test_config::set_check(int id, bool checked) { sfc_hcheckbox(item(id)).set_checked(checked); }

void dialog_test_config::set_hint(int id, const std::wstring& text) {
  for (int i = 0; i < config_hint_count; ++i)
    if (config_hints[i].id == id) hints_[size_t(i)].set_hint(text);
}

void dialog_test_config::draw_attention(int id) {
  for (int i = 0; i < config_field_count; ++i) edits_[size_t(i)].set_invalid(config_edits[i].id == id);
  const sfc_heditbox field(item(id));
  field.focus();
  field.select_all();
}

void dialog_test_config::message_box(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  message_box_request request;
  request.owner = hwnd_;
  request.caption = caption;
  request.text = text;
  request.flags = flags;
  run_message_box(request);
}
