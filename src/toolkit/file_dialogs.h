#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// The save-file and folder dialogs the windows need, behind one seam so tests can answer them.

struct save_file_request {
  HWND owner = nullptr;
  std::wstring title;
  std::wstring filter;        // "Name|pattern|Name|pattern", e.g. "Text (*.txt)|*.txt|All files (*.*)|*.*"
  std::wstring default_name;  // the file name offered
  // False when the caller asks itself before replacing a file.
  bool ask_before_replacing = true;
};

struct folder_request {
  HWND owner = nullptr;
  std::wstring title;
};

class file_dialogs {
 public:
  virtual ~file_dialogs() = default;
  // The path the user confirmed; false when the dialog was cancelled or could not be shown.
  virtual bool save_file(const save_file_request& request, std::wstring& path) = 0;
  virtual bool pick_folder(const folder_request& request, std::wstring& path) = 0;
};

// IFileSaveDialog and IFileOpenDialog (folders), or the classic dialogs where those are
// missing or have failed before.
file_dialogs& win32_file_dialogs();

// "Name|pattern|..." as (name, pattern) pairs; an unpaired last piece is dropped.
std::vector<std::pair<std::wstring, std::wstring>> parse_file_filter(const std::wstring& filter);

// Adds the extension of a "*.ext" pattern (the first of a "*.a;*.b" list) to a chosen path
// that does not end with it already; "*.*" and "*" add nothing.
std::wstring with_pattern_extension(const std::wstring& path, const std::wstring& pattern);
