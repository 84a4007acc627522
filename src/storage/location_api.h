#pragma once

#include <cstdint>
#include <string>

// What the location summary asks the system about a test location, and nothing else.

struct share_info {
  uint32_t protocol = 0;  // WNNC_NET_*; 0 unknown
  uint16_t major = 0, minor = 0, revision = 0;
};

class location_api {
 public:
  virtual ~location_api() = default;
  // GetFileAttributesW finds it: a folder that is gone must not borrow its drive's volume.
  virtual bool exists(const std::wstring& path) = 0;
  // GetVolumePathNameW: the root of the volume that holds the path.
  virtual bool volume_path_name(const std::wstring& path, std::wstring& root) = 0;
  // GetVolumeInformationW of that root: its serial number and file-system name.
  virtual bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) = 0;
  // GetDriveTypeW says DRIVE_REMOTE.
  virtual bool is_remote_drive(const std::wstring& root) = 0;
  // The protocol a remote path is reached with; protocol 0 when it cannot be told.
  virtual share_info remote_protocol(const std::wstring& path) = 0;
  virtual std::wstring os_name() = 0;
};

location_api& win32_location_api();
