#pragma once

#include <windows.h>

#include <string>

#include "share/share_prompt.h"
#include "share/share_ui_cb.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/white_dialog.h"
#include "toolkit/xfc_custom_button.h"
#include "toolkit/xfc_custom_static.h"

// The share prompt (dialog 103): asks whether the reports of this run of the program may go to
// the project, and shows them in Notepad on request. Sized to its body text: the title, link,
// separator, button band and buttons follow the text's growth.
class dialog_ask_to_share : public sfc_dialog {
 public:
  dialog_ask_to_share(share_ui_cb& ui, const std::string& joined_reports);

  // Runs template 103 over `owner`: 1 for OK, 2 for "I'd rather not", Esc or the close box,
  // -1 when it could not be shown.
  INT_PTR run(HWND owner);

 protected:
  bool on_init() override;
  void on_command(int id, int code, HWND control) override;

 private:
  void fit_to_text();
  void fit_link_to_label();
  HWND etched_separator() const;

  share_ui_cb& ui_;
  std::string reports_;
  white_dialog_colours colours_;
  sfc_font bold_;
  xfc_text title_;
  xfc_text body_;
  minor_button link_;
  xfc_separator separator_;
};

// What closing the main window does with the reports made since the program started, once it
// has been decided to ask (not forced, a shareable report, share_prompt_allowed): after a pause that lets the main
// window go, the prompt; OK uploads the joined reports with the storage-scan log as a report share, a refusal is
// remembered for good, and a prompt that could not be shown changes nothing.
void offer_share(share_ui_cb& ui, HWND owner, const std::string& joined_reports, const std::string& stack_scan_text,
                 DWORD pause_ms = share_prompt_delay_ms, const wchar_t* key = share_settings_key);
