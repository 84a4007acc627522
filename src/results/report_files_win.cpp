#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "support/api_error.h"
#include "support/long_path.h"
#include "support/notepad_settings.h"
#include "support/paths.h"
#include "support/scoped_win.h"
#include "results/report_files_api.h"

namespace {

// One WriteFile call writes at most this much.
constexpr DWORD write_chunk = 1u << 20;

bool folder_of(UINT(WINAPI* query)(LPWSTR, UINT), const char* api, std::wstring& folder, api_error_cb* errors) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  UINT n = query(buffer.data(), UINT(buffer.size()));
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = query(buffer.data(), UINT(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) {
    if (errors) errors->report_api_error(api, n ? uint32_t(ERROR_INSUFFICIENT_BUFFER) : uint32_t(GetLastError()));
    return false;
  }
  folder.assign(buffer.data(), n);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return true;
}

class win32_report_files final : public report_files_api {
 public:
  explicit win32_report_files(api_error_cb* errors) : errors_(errors) {}

  bool temp_folder(std::wstring& folder) override { return ::temp_folder(folder, errors_); }
  bool system_folder(std::wstring& folder) override {
    return folder_of(GetSystemDirectoryW, "GetSystemDirectory", folder, errors_);
  }
  bool windows_folder(std::wstring& folder) override {
    return folder_of(GetSystemWindowsDirectoryW, "GetSystemWindowsDirectory", folder, errors_);
  }
  unsigned random_number() override { return unsigned(std::rand()) & 0x7FFF; }
  unsigned tick_count() override { return unsigned(GetTickCount()) & 0xFFFF; }

  bool exists(const std::wstring& path) override {
    return GetFileAttributesW(long_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  create_result create_new(const std::wstring& path, const std::string& bytes) override {
    const std::wstring name = long_path(path);
    scoped_handle file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return create_result::exists;
      report("CreateFile", error, path);
      return create_result::failed;
    }
    if (!write_all(file.get(), bytes, path) || !flush(file.get(), path)) {
      file.reset();
      DeleteFileW(name.c_str());
      return create_result::failed;
    }
    return create_result::created;
  }

  bool replace(const std::wstring& from, const std::wstring& to) override {
    if (MoveFileExW(long_path(from).c_str(), long_path(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    report("MoveFileEx", GetLastError(), to);
    return false;
  }

  bool remove(const std::wstring& path) override {
    if (DeleteFileW(long_path(path).c_str())) return true;
    report("DeleteFile", GetLastError(), path);
    return false;
  }

  void change_notepad_settings() override { notepad_.save(errors_); }
  void restore_notepad_settings() override { notepad_.restore(errors_); }

  bool launch_hidden(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) override {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_HIDE;
    if (ShellExecuteExW(&info)) return true;
    report("ShellExecuteEx[-]", GetLastError(), program + L" " + parameters);
    return false;
  }

  void pause(unsigned ms) override { Sleep(ms); }

 private:
  void report(const char* api, DWORD error, const std::wstring& detail) {
    if (errors_) errors_->report_api_error(api, uint32_t(error), detail.c_str());
  }

  bool write_all(HANDLE file, const std::string& bytes, const std::wstring& path) {
    for (size_t done = 0; done < bytes.size();) {
      const DWORD part = bytes.size() - done < write_chunk ? DWORD(bytes.size() - done) : write_chunk;
      DWORD written = 0;
      const BOOL ok = WriteFile(file, bytes.data() + done, part, &written, nullptr);
      if (!ok || written != part) {
        report("WriteFile", ok ? DWORD(ERROR_WRITE_FAULT) : GetLastError(), path);
        return false;
      }
      done += part;
    }
    return true;
  }

  bool flush(HANDLE file, const std::wstring& path) {
    if (FlushFileBuffers(file)) return true;
    report("FlushFileBuffers", GetLastError(), path);
    return false;
  }

  api_error_cb* errors_;
  notepad_settings notepad_;
};

}  // namespace

std::unique_ptr<report_files_api> make_win32_report_files(api_error_cb* errors) {
  return std::unique_ptr<report_files_api>(new win32_report_files(errors));
}
