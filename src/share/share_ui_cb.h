#pragma once

#include <cstdint>
#include <string>

#include "share/http_target.h"
#include "support/message_box_flags.h"

class api_error_cb;
class report_files_api;

// What the sharing dialogs need from the program around them. Everything is called on the
// user-interface thread, except that upload_errors() receives the post's failures from the
// upload's worker thread.
class share_ui_cb {
 public:
  virtual ~share_ui_cb() = default;
  // The program's message box (toolkit flags), owned by the main window; the button pressed.
  virtual int message_box(const std::wstring& text, uint32_t flags) = 0;
  // The link of a screenshot share in the default browser (the shell's default action); a
  // failure to open it is not reported.
  virtual void open_link(const std::wstring& link) = 0;
  // The temporary file and Notepad that show the reports from the share prompt.
  virtual report_files_api& report_files() = 0;
  // Where an upload goes, and who hears of its failed steps (thread-safe, outlives the worker).
  virtual http_target upload_target() = 0;
  virtual api_error_cb* upload_errors() = 0;
};

// The error boxes of sharing: one OK button and the error icon.
constexpr uint32_t share_error_box_flags = mb_icon_error | mb_ok;
