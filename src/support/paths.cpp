#include "support/paths.h"

#include <cwchar>

#include "support/optional_functions.h"

namespace {
const wchar_t long_prefix[] = L"\\\\?\\";
const wchar_t long_unc_prefix[] = L"\\\\?\\UNC\\";

bool starts_with(const std::wstring& s, const wchar_t* prefix) { return s.compare(0, wcslen(prefix), prefix) == 0; }

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::vector<std::wstring> split(const std::wstring& s, size_t from) {
  std::vector<std::wstring> parts;
  std::wstring part;
  for (size_t i = from; i <= s.size(); ++i) {
    if (i == s.size() || is_separator(s[i])) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += s[i];
    }
  }
  return parts;
}

bool is_drive_letter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool is_directory(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

parsed_path parse_path(const std::wstring& path) {
  parsed_path p;
  std::wstring rest = path;
  if (starts_with(rest, long_unc_prefix)) {
    p.long_prefix = true;
    rest = L"\\\\" + rest.substr(wcslen(long_unc_prefix));
  } else if (starts_with(rest, long_prefix)) {
    p.long_prefix = true;
    rest = rest.substr(wcslen(long_prefix));
  }
  if (rest.size() >= 3 && is_drive_letter(rest[0]) && rest[1] == L':' && is_separator(rest[2])) {
    p.kind = path_kind_drive;
    p.root = rest.substr(0, 2) + L"\\";
    p.components = split(rest, 3);
  } else if (rest.size() >= 2 && is_separator(rest[0]) && is_separator(rest[1])) {
    std::vector<std::wstring> parts = split(rest, 2);
    p.kind = path_kind_unc;
    if (parts.size() >= 2) {
      p.root = L"\\\\" + parts[0] + L"\\" + parts[1] + L"\\";
      p.components.assign(parts.begin() + 2, parts.end());
    } else {
      p.root = rest;
    }
  } else if (!rest.empty() && is_separator(rest[0])) {
    p.kind = path_kind_rooted;
  } else if (!rest.empty()) {
    p.kind = path_kind_relative;
  }
  return p;
}

bool ensure_directory(const std::wstring& path, api_error_cb* errors) {
  if (is_directory(path)) return true;
  parsed_path p = parse_path(path);
  if (p.kind != path_kind_drive && p.kind != path_kind_unc) {
    if (errors) errors->report_api_error("GetPathType", uint32_t(p.kind), path.c_str());
    return false;
  }
  if (p.kind == path_kind_unc) {
    std::vector<std::wstring> parts = split(p.root, 2);
    if (parts.size() < 2 || parts[0].size() < 2 || parts[1].size() < 2) {
      if (errors) errors->report_api_error("GetUncShare", no_error_code, path.c_str());
      return false;
    }
  }
  std::wstring prefix = p.root;
  for (const std::wstring& component : p.components) {
    prefix += component;
    if (!is_directory(prefix)) {
      // Beyond MAX_PATH only the long form reaches the file system.
      std::wstring target = prefix;
      if (p.long_prefix || prefix.size() >= MAX_PATH - 12)
        target = p.kind == path_kind_unc ? long_unc_prefix + prefix.substr(2) : long_prefix + prefix;
      if (!CreateDirectoryW(target.c_str(), nullptr)) {
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
          if (errors) errors->report_api_error("CreateDirectory", uint32_t(error), target.c_str());
          return false;
        }
      }
    }
    prefix += L"\\";
  }
  return true;
}

bool temp_folder(std::wstring& folder, api_error_cb* errors) {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  if (n > MAX_PATH) {
    if (errors) errors->report_api_error("GetTempPath", uint32_t(ERROR_INSUFFICIENT_BUFFER));
    return false;
  }
  if (n == 0) {
    DWORD error = GetLastError();
    if (error) {
      if (errors) errors->report_api_error("GetTempPath", uint32_t(error));
    } else if (errors) {
      errors->report_api_error("CheckTempPath", no_error_code);
    }
    return false;
  }
  folder.assign(buf, n);
  if (folder.back() != L'\\') folder += L'\\';
  return ensure_directory(folder, errors);
}

bool path_attributes(const std::wstring& path, DWORD& attributes, api_error_cb* errors) {
  parsed_path p = parse_path(path);
  const bool is_root = (p.kind == path_kind_drive || p.kind == path_kind_unc) && p.components.empty();
  std::wstring query = path;
  if (is_root) {
    UINT type = GetDriveTypeW(p.root.c_str());
    if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) {
      DWORD error = p.kind == path_kind_drive ? ERROR_NOT_READY : ERROR_DEV_NOT_EXIST;
      if (errors) errors->report_api_error("GetDriveType", uint32_t(error), path.c_str());
      return false;
    }
    if (type != DRIVE_REMOTE) {
      attributes = FILE_ATTRIBUTE_DIRECTORY;
      return true;
    }
    query = p.root + L".";
  }
  DWORD a = GetFileAttributesW(query.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    if (errors) errors->report_api_error("GetFileAttributes", uint32_t(GetLastError()), query.c_str());
    return false;
  }
  attributes = a;
  return true;
}

bool is_file_name_char(wchar_t c) { return c != 0 && !wcschr(L"<>:\"/\\|?*", c); }

bool query_volume_device_info(HANDLE h, volume_device_info& info) {
  const optional_functions& f = load_optional_functions();
  if (!f.NtQueryVolumeInformationFile) return false;
  struct {
    ULONG_PTR status;
    ULONG_PTR information;
  } io{};  // IO_STATUS_BLOCK
  constexpr ULONG file_fs_device_information = 4;
  return f.NtQueryVolumeInformationFile(h, &io, &info, sizeof info, file_fs_device_information) >= 0;
}

bool query_remote_protocol_info(HANDLE h, remote_protocol_info& info) {
  const optional_functions& f = load_optional_functions();
  constexpr int file_remote_protocol_info = 13;
  return f.GetFileInformationByHandleEx &&
         f.GetFileInformationByHandleEx(h, file_remote_protocol_info, &info, sizeof info);
}
