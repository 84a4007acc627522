#pragma once

#include <windows.h>

#include <array>

#include "toolkit/sfc_dialog.h"
#include "toolkit/white_dialog.h"
#include "toolkit/xfc_combobox.h"
#include "toolkit/xfc_custom_button.h"
#include "toolkit/xfc_custom_static.h"
#include "toolkit/xfc_vc_editbox.h"
#include "ui/test_config_controls.h"
#include "ui/test_config_model.h"
#include "ui/test_config_view_cb.h"

// The "Test profile" dialog (template 106) over test_config_model, which outlives it: the
// window moves values between its controls and the model and shows what the model asks for.
// The main window runs it for "Customize..." and reads the model afterwards.
class dialog_test_config : public sfc_dialog, private test_config_view_cb {
 public:
  explicit dialog_test_config(test_config_model& model) : model_(model) {}
  // Modal over `owner`; true when the user ended it with OK.
  bool run(HWND owner);

 protected:
  bool on_init() override;
  void on_ok() override;
  void on_cancel() override { model_.cancel(*this); }
  void on_command(int id, int code, HWND control) override;
  bool on_message(sfc_msg& m) override;

 private:
  void fill_combo(int id, const std::vector<std::wstring>& items) override;
  void select_item(int id, int item) override;
  void set_text(int id, const std::wstring& text) override;
  void set_check(int id, bool checked) override;
  void set_hint(int id, const std::wstring& text) override;
  void draw_attention(int id) override;
  void message_box(const std::wstring& text, const std::wstring& caption, uint32_t flags) override;
  void end_dialog(int result) override { end(result); }

  void attach_controls();
  void combo_changed(int id, int code);
  // A red frame stays until its field is valid again (or another profile is shown).
  void settle_attention();
  void paint_background(HDC dc) const;

  // The drop-down lists: the four choices, then the profile list.
  static constexpr int combo_count = config_combo_count + 1;
  static int combo_index(int id);

  test_config_model& model_;
  white_dialog_colours colours_;
  std::array<xfc_vc_editbox, config_field_count> edits_;  // in error-bit order
  std::array<xfc_combobox, combo_count> combos_;
  std::array<int, combo_count> shown_items_{};  // what each list showed when the model last knew
  std::array<hint_button, config_hint_count> hints_;
  std::array<xfc_text, 9> headers_;
  std::array<xfc_text, 8> summary_;
};
