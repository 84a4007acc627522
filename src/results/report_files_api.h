#pragma once

#include <memory>
#include <string>

// The files and processes that viewing and saving a report need, behind one seam so that every
// failure path can be tried. Failures are reported by the implementation to its api_error_cb.
enum class create_result { created, exists, failed };

class report_files_api {
 public:
  virtual ~report_files_api() = default;
  // The user's temporary folder, usable, with a trailing backslash.
  virtual bool temp_folder(std::wstring& folder) = 0;
  // The system folder (where cmd.exe is) and the Windows folder (where notepad.exe is), without
  // a trailing backslash.
  virtual bool system_folder(std::wstring& folder) = 0;
  virtual bool windows_folder(std::wstring& folder) = 0;
  // rand() (0 to 32767) and the low 16 bits of the millisecond tick count: a file name's tag.
  virtual unsigned random_number() = 0;
  virtual unsigned tick_count() = 0;

  virtual bool exists(const std::wstring& path) = 0;
  // A new file (never one that exists) holding exactly these bytes, flushed; a file that could
  // not be written whole is deleted again.
  virtual create_result create_new(const std::wstring& path, const std::string& bytes) = 0;
  // Moves `from` over `to`, replacing it in one step.
  virtual bool replace(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool remove(const std::wstring& path) = 0;

  // Notepad's font and word wrap for a moment (see notepad_settings).
  virtual void change_notepad_settings() = 0;
  virtual void restore_notepad_settings() = 0;
  // Starts a program without a window and without error dialogs, in the given folder.
  virtual bool launch_hidden(const std::wstring& program, const std::wstring& parameters,
                             const std::wstring& folder) = 0;
  virtual void pause(unsigned ms) = 0;
};

class api_error_cb;
// The real files, processes and Notepad settings; failures go to `errors`.
std::unique_ptr<report_files_api> make_win32_report_files(api_error_cb* errors);
