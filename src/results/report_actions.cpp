#include "results/report_actions.h"

#include "support/format_string.h"
#include "support/paths.h"
#include "results/report_action_texts.h"

namespace {
// A name taken by another file gets new random digits a few times before giving up.
constexpr int name_attempts = 8;
constexpr unsigned notepad_settle_ms = 1000;  // Notepad has read its settings by then

bool is_drive_letter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

void replace_all(std::wstring& s, const std::wstring& from, const std::wstring& to) {
  for (size_t at = s.find(from); at != std::wstring::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
}

std::wstring tag(unsigned random, unsigned tick) { return format_string(L"-%04x%04x", random & 0x7FFF, tick & 0xFFFF); }

void show_error(user_prompt_cb& prompt, const wchar_t* text) {
  uint32_t flags = report_error_box_flags;
  prompt.message_box(text, flags, L"");
}

// A new file under a name made by `name_of` from fresh random digits; empty when none could be made.
template <typename Name>
std::wstring create_tagged(report_files_api& files, const std::string& content, Name name_of) {
  for (int attempt = 0; attempt < name_attempts; ++attempt) {
    const std::wstring path = name_of(files.random_number(), files.tick_count());
    switch (files.create_new(path, content)) {
      case create_result::created: return path;
      case create_result::exists: continue;
      case create_result::failed: return {};
    }
  }
  return {};
}
}  // namespace

std::wstring report_location_part(const std::wstring& location) {
  std::wstring path = location;
  replace_all(path, L"/", L"\\");
  // Trailing separators go, except the one of a drive root.
  while (!path.empty() && path.back() == L'\\' && !(path.size() == 3 && path[1] == L':')) path.pop_back();
  if (path.size() == 3 && is_drive_letter(path[0]) && path[1] == L':' && path[2] == L'\\')
    return drive_part_prefix + path.substr(0, 1);
  replace_all(path, L"\\\\", L"");
  replace_all(path, L":\\", L"_");
  replace_all(path, L"\\", L"_");
  // What is left must still make a file name ("\\?\Volume{...}" has a question mark).
  for (wchar_t& c : path)
    if (!is_file_name_char(c)) c = L'_';
  return path;
}

std::wstring default_report_name(const SYSTEMTIME& t, const std::wstring& location) {
  return format_string(report_name_format, unsigned(t.wYear), unsigned(t.wMonth), unsigned(t.wDay), unsigned(t.wHour),
                       unsigned(t.wMinute)) +
         L" - " + report_location_part(location) + report_name_extension;
}

std::wstring notepad_file_name(const std::wstring& folder, const std::wstring& stem, unsigned random, unsigned tick) {
  return folder + stem + tag(random, tick) + L".txt";
}

std::wstring notepad_parameters(const std::wstring& notepad, const std::wstring& file) {
  // With more than two quotes cmd drops only the first and the last one of the command.
  return L"/c \"\"" + notepad + L"\" \"" + file + L"\" & del \"" + file + L"\"\"";
}

std::string with_byte_order_mark(const std::string& text) { return "\xEF\xBB\xBF" + text; }

bool view_text_in_notepad(report_files_api& files, user_prompt_cb& prompt, const std::string& text,
                          const std::wstring& stem) {
  const std::string content = with_byte_order_mark(text);
  std::wstring folder;
  std::wstring file;
  if (files.temp_folder(folder))
    file = create_tagged(files, content, [&](unsigned r, unsigned t) { return notepad_file_name(folder, stem, r, t); });
  if (file.empty()) {
    show_error(prompt, temp_file_failed_text);
    return false;
  }
  std::wstring system, windows;
  bool started = false;
  files.change_notepad_settings();
  if (files.system_folder(system) && files.windows_folder(windows)) {
    // Both programs by their full paths: an elevated process must not find them in its
    // current folder or on a search path.
    started = files.launch_hidden(system + L"\\cmd.exe", notepad_parameters(windows + L"\\notepad.exe", file), system);
    if (started) files.pause(notepad_settle_ms);
  }
  files.restore_notepad_settings();
  if (!started) {
    files.remove(file);
    show_error(prompt, notepad_failed_text);
  }
  return started;
}

bool save_report_as(report_files_api& files, user_prompt_cb& prompt, const std::string& report,
                    const SYSTEMTIME& run_time, const std::wstring& location) {
  std::wstring path;
  if (!prompt.choose_save_path({save_report_title, save_report_filter, default_report_name(run_time, location)}, path))
    return false;
  if (files.exists(path)) {
    uint32_t flags = replace_question_flags;
    if (prompt.message_box(path + replace_question_suffix, flags, L"") != mb_answer_yes) return false;
  }
  // The old file stays whole until the new one is completely written beside it.
  const std::wstring temp = create_tagged(files, with_byte_order_mark(report),
                                          [&](unsigned r, unsigned t) { return path + tag(r, t) + L".tmp"; });
  if (temp.empty()) {
    show_error(prompt, save_failed_text);
    return false;
  }
  if (!files.replace(temp, path)) {
    files.remove(temp);
    show_error(prompt, save_failed_text);
    return false;
  }
  return true;
}
