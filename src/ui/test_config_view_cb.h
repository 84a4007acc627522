#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the test profile model asks of the dialog window; ids are those of template 106.
// The window forwards its control notifications to test_config_model:
//   an edit's EN_CHANGE            -> edit_changed(id, the edit's text)
//   a check box's BN_CLICKED       -> check_changed(id, its checked state)
//   a combo's CBN_SELCHANGE        -> choice_changed(id, its selection)
//   the profile list's CBN_SELENDOK -> profile_chosen(its selection)
//   OK (id 1) and Cancel (id 2)    -> ok(), cancel()
// The setters below must not notify back; if a control does so anyway, the model ignores it.
class test_config_view_cb {
 public:
  virtual ~test_config_view_cb() = default;
  virtual void fill_combo(int id, const std::vector<std::wstring>& items) = 0;
  virtual void select_item(int id, int item) = 0;  // -1: no selection
  virtual void set_text(int id, const std::wstring& text) = 0;
  virtual void set_check(int id, bool checked) = 0;
  virtual void set_hint(int id, const std::wstring& text) = 0;
  // Focuses the field and highlights it the toolkit's way.
  virtual void draw_attention(int id) = 0;
  // The toolkit message box over the dialog.
  virtual void message_box(const std::wstring& text, const std::wstring& caption, uint32_t flags) = 0;
  virtual void end_dialog(int result) = 0;
};
