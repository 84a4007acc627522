#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "results/report_files_api.h"
#include "support/message_box_flags.h"

// What the save dialog is asked to show.
struct save_request {
  std::wstring title;
  std::wstring filter;  // "Name|pattern|Name|pattern"
  std::wstring default_name;
};

// The questions and messages of the report actions, and the save-file dialog; the window shows
// them over itself.
class user_prompt_cb {
 public:
  virtual ~user_prompt_cb() = default;
  // The toolkit message box; an empty caption is the program's name. On return `flags` carries
  // the check box's state. Returns the id of the button pressed.
  virtual int message_box(const std::wstring& text, uint32_t& flags, const std::wstring& caption) = 0;
  // The path the user confirmed, with the chosen type's extension; false when cancelled.
  virtual bool choose_save_path(const save_request& request, std::wstring& path) = 0;
};

// The error box of the report actions: one OK button and the error icon.
constexpr uint32_t report_error_box_flags = mb_icon_error | mb_ok;
// The question before replacing a file: Yes and No, warning icon, No the default.
constexpr uint32_t replace_question_flags = mb_default_second | mb_icon_warning | mb_yes_no;

// "Drive C" for a drive root; otherwise the path with its separators folded into "_".
std::wstring report_location_part(const std::wstring& location);
// "FOLVI Report (2024-01-31 09-05) - Drive C.folvi.txt".
std::wstring default_report_name(const SYSTEMTIME& run_time, const std::wstring& location);
// The temporary file Notepad shows: folder, stem, "-" and eight hex digits, ".txt".
std::wstring notepad_file_name(const std::wstring& folder, const std::wstring& stem, unsigned random, unsigned tick);
// The command processor's parameters that show the file in Notepad and delete it when Notepad
// closes. Both paths are quoted whatever they hold, so that "&", "^" or blanks in a user name
// stay part of the path.
std::wstring notepad_parameters(const std::wstring& notepad, const std::wstring& file);
// The UTF-8 byte-order mark, then the text.
std::string with_byte_order_mark(const std::string& text);

// Shows the text in Notepad from a temporary file that is deleted when Notepad closes. False,
// after telling the user, when the file could not be written or Notepad not started.
bool view_text_in_notepad(report_files_api& files, user_prompt_cb& prompt, const std::string& text,
                          const std::wstring& stem);

// Asks where to save the report and writes it there. An existing file is replaced only after
// the user agreed, and only once the new content is completely on disk next to it.
bool save_report_as(report_files_api& files, user_prompt_cb& prompt, const std::string& report,
                    const SYSTEMTIME& run_time, const std::wstring& location);
