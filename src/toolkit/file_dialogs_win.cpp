#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "support/com_ptr.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/xfc_message_box.h"

namespace {

// COM for the length of one dialog: balanced whether or not the caller had it already.
class com_scope {
 public:
  com_scope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~com_scope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  com_scope(const com_scope&) = delete;
  com_scope& operator=(const com_scope&) = delete;

 private:
  HRESULT hr_;
};

class co_task_text {
 public:
  ~co_task_text() { CoTaskMemFree(text_); }
  wchar_t** out() { return &text_; }
  const wchar_t* get() const { return text_; }

 private:
  wchar_t* text_ = nullptr;
};

// Outcome of a modern dialog: the classic one is tried only when the modern one is unusable.
enum class modern_result { chosen, cancelled, unavailable };

bool item_path(IShellItem* item, std::wstring& path) {
  co_task_text text;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, text.out())) || !text.get()) return false;
  path = text.get();
  return !path.empty();
}

modern_result modern_save(const save_file_request& request,
                          const std::vector<std::pair<std::wstring, std::wstring>>& types, std::wstring& path,
                          UINT& type_index) {
  com_ptr<IFileSaveDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                              dialog.out_void())))
    return modern_result::unavailable;
  std::vector<COMDLG_FILTERSPEC> specs;
  for (const auto& [name, pattern] : types) specs.push_back({name.c_str(), pattern.c_str()});
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  options |= FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR;
  if (request.ask_before_replacing) options |= FOS_OVERWRITEPROMPT;
  else options &= ~FILEOPENDIALOGOPTIONS(FOS_OVERWRITEPROMPT);
  dialog->SetOptions(options);
  if (!specs.empty() && FAILED(dialog->SetFileTypes(UINT(specs.size()), specs.data())))
    return modern_result::unavailable;
  if (!request.title.empty()) dialog->SetTitle(request.title.c_str());
  if (!request.default_name.empty()) dialog->SetFileName(request.default_name.c_str());
  // The dialog then adds the first type's extension itself and asks before overwriting that file.
  const std::wstring extension = types.empty() ? std::wstring() : with_pattern_extension(L"", types.front().second);
  if (extension.size() > 1) dialog->SetDefaultExtension(extension.c_str() + 1);
  const HRESULT shown = dialog->Show(request.owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return modern_result::cancelled;
  if (FAILED(shown)) return modern_result::unavailable;
  com_ptr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.out())) || !item_path(item.get(), path)) return modern_result::cancelled;
  type_index = 1;
  dialog->GetFileTypeIndex(&type_index);  // one-based
  return modern_result::chosen;
}

bool classic_save(const save_file_request& request, const std::vector<std::pair<std::wstring, std::wstring>>& types,
                  std::wstring& path, UINT& type_index) {
  std::wstring filter;
  for (const auto& [name, pattern] : types) {
    filter += name;
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
  }
  filter += L'\0';
  std::vector<wchar_t> buffer(32768, L'\0');
  request.default_name.copy(buffer.data(), std::min(request.default_name.size(), buffer.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = types.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_HIDEREADONLY;
  if (request.ask_before_replacing) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) return false;
  path = buffer.data();
  type_index = ofn.nFilterIndex;
  return !path.empty();
}

modern_result modern_folder(const folder_request& request, std::wstring& path) {
  com_ptr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                              dialog.out_void())))
    return modern_result::unavailable;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  if (FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR)))
    return modern_result::unavailable;
  if (!request.title.empty()) dialog->SetTitle(request.title.c_str());
  const HRESULT shown = dialog->Show(request.owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return modern_result::cancelled;
  if (FAILED(shown)) return modern_result::unavailable;
  com_ptr<IShellItem> item;
  if (FAILED(dialog->GetResult(item.out())) || !item_path(item.get(), path)) return modern_result::cancelled;
  return modern_result::chosen;
}

bool classic_folder(const folder_request& request, std::wstring& path) {
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = request.owner;
  info.pszDisplayName = display;
  info.lpszTitle = request.title.empty() ? nullptr : request.title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return false;
  std::vector<wchar_t> buffer(32768, L'\0');
  const bool ok = SHGetPathFromIDListEx(chosen, buffer.data(), DWORD(buffer.size()), GPFIDL_DEFAULT) ||
                  SHGetPathFromIDListW(chosen, buffer.data());
  CoTaskMemFree(chosen);
  if (!ok) return false;
  path = buffer.data();
  return !path.empty();
}

class win32_dialogs final : public file_dialogs {
 public:
  bool save_file(const save_file_request& request, std::wstring& path) override {
    const com_scope com;
    const auto types = parse_file_filter(request.filter);
    save_file_request next = request;
    for (;;) {
      std::wstring chosen;
      UINT type_index = 1;
      if (!show_save(next, types, chosen, type_index)) return false;
      const std::wstring complete = type_index >= 1 && type_index <= types.size()
                                        ? with_pattern_extension(chosen, types[type_index - 1].second)
                                        : chosen;
      // The dialog asked about the name it returned; a name completed here is asked about here.
      if (complete == chosen || !request.ask_before_replacing ||
          GetFileAttributesW(complete.c_str()) == INVALID_FILE_ATTRIBUTES || confirm_replace(request, complete)) {
        path = complete;
        return true;
      }
      next.default_name = complete.substr(complete.find_last_of(L"\\/") + 1);
    }
  }

  bool show_save(const save_file_request& request, const std::vector<std::pair<std::wstring, std::wstring>>& types,
                 std::wstring& path, UINT& type_index) {
    const modern_result modern =
        modern_save_failed_ ? modern_result::unavailable : modern_save(request, types, path, type_index);
    if (modern != modern_result::unavailable) return modern == modern_result::chosen;
    modern_save_failed_ = true;
    return classic_save(request, types, path, type_index);
  }

  static bool confirm_replace(const save_file_request& request, const std::wstring& path) {
    message_box_request box;
    box.owner = request.owner;
    box.caption = request.title;
    box.text = path.substr(path.find_last_of(L"\\/") + 1) + L" already exists.\nDo you want to replace it?";
    box.flags = mb_yes_no | mb_icon_warning | mb_default_second;
    return run_message_box(box) == mb_answer_yes;
  }

  bool pick_folder(const folder_request& request, std::wstring& path) override {
    const com_scope com;
    modern_result modern = modern_folder_failed_ ? modern_result::unavailable : modern_folder(request, path);
    if (modern != modern_result::unavailable) return modern == modern_result::chosen;
    modern_folder_failed_ = true;
    return classic_folder(request, path);
  }

 private:
  // A modern dialog that failed once is not tried again in this run.
  bool modern_save_failed_ = false;
  bool modern_folder_failed_ = false;
};

}  // namespace

file_dialogs& win32_file_dialogs() {
  static win32_dialogs instance;
  return instance;
}
