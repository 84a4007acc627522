#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/api_error.h"

enum path_kind : int {
  path_kind_invalid = 0,
  path_kind_relative = 1,
  path_kind_rooted = 2,  // "\foo", no drive
  path_kind_drive = 3,   // "C:\..."
  path_kind_unc = 4,     // "\\server\share\..."
};

// A path split into its root ("C:\" or "\\server\share\") and components.
struct parsed_path {
  path_kind kind = path_kind_invalid;
  bool long_prefix = false;  // written with "\\?\" or "\\?\UNC\"
  std::wstring root;
  std::vector<std::wstring> components;
};
parsed_path parse_path(const std::wstring& path);

// The system's temporary folder with a trailing backslash, created if needed.
bool temp_folder(std::wstring& folder, api_error_cb* errors);
bool ensure_directory(const std::wstring& path, api_error_cb* errors);

// Attributes of a path; a bare drive or share root is treated as a directory when it is ready.
bool path_attributes(const std::wstring& path, DWORD& attributes, api_error_cb* errors);

// Less-than, greater-than, colon, double quote, slash, backslash, bar, question mark, star.
bool is_file_name_char(wchar_t c);

// FileFsDeviceInformation of an open handle.
struct volume_device_info {
  ULONG device_type;
  ULONG characteristics;
};
bool query_volume_device_info(HANDLE h, volume_device_info& info);

// FILE_REMOTE_PROTOCOL_INFO, 116 bytes.
struct remote_protocol_info {
  USHORT structure_version;
  USHORT structure_size;
  ULONG protocol;
  USHORT major, minor, revision, reserved;
  ULONG flags;
  ULONG generic_reserved[8];
  ULONG protocol_specific[16];
};
static_assert(sizeof(remote_protocol_info) == 116, "FILE_REMOTE_PROTOCOL_INFO layout");
bool query_remote_protocol_info(HANDLE h, remote_protocol_info& info);
