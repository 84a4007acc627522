#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/message_box_plan.h"
#include "toolkit/sfc_dialog.h"

// One question or error in the program's own style. `flags` are the mb_ flags; no icon
// handle means the system icon the flags name.
struct message_box_request {
  HWND owner = nullptr;
  std::wstring caption;
  std::wstring text;
  uint32_t flags = 0;
  HICON icon = nullptr;
};

// Shows the box modally and returns the id of the button pressed (0 when the box cannot be
// shown). On return `request.flags` keeps its check-box bit only when the box was ticked.
int run_message_box(message_box_request& request);

// Control ids inside the box; the buttons of the set carry their answer as id.
constexpr int mb_id_text = 1011;
constexpr int mb_id_icon = 1012;
constexpr int mb_id_check = 1013;
constexpr int mb_id_unused_button = 1001;  // + position, for positions the set does not use

class xfc_message_box : public sfc_dialog {
 public:
  explicit xfc_message_box(message_box_request& request);
  int run();

 protected:
  bool on_init() override;
  void on_ok() override { press(IDOK); }
  void on_cancel() override;
  void on_command(int id, int code, HWND control) override;
  bool on_message(sfc_msg& m) override;

 private:
  void press(int id);
  void place_controls();
  void check_changed();
  HWND button_of(int index) const { return item(plan_.answers[index]); }

  message_box_request& request_;
  message_box_plan plan_;
  bool ticked_ = false;
  bool colours_ = false;  // white message area and a button-face band (Vista and later)
  RECT band_ = {};
};
