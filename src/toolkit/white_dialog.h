#pragma once

#include <windows.h>

#include "toolkit/sfc_message.h"

// The look of the sharing dialogs: the dialog and its static controls on white, and one
// named band control (0 for none) on the button face. Install on a dialog with add_hook.
class white_dialog_colours : public sfc_msg_hook {
 public:
  explicit white_dialog_colours(int band_id = 0) : band_id_(band_id) {}
  bool before(sfc_msg& m) override;

 private:
  int band_id_;
};
