#pragma once

#include <map>
#include <string>

#include "storage/scan_recording.h"
#include "storage/location_api.h"

// The test location as the recorded machine would describe it: its volumes' mount points, serial
// numbers and file systems, and its system's name, all from the recording. A recorded machine
// has no network shares.
class replayed_location final : public location_api {
 public:
  explicit replayed_location(const scan_recording& recording);

  bool exists(const std::wstring& path) override;
  bool volume_path_name(const std::wstring& path, std::wstring& root) override;
  bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) override;
  bool is_remote_drive(const std::wstring&) override { return false; }
  share_info remote_protocol(const std::wstring&) override { return share_info{}; }
  std::wstring os_name() override { return os_name_; }

 private:
  struct identity {
    uint32_t serial = 0;
    std::wstring file_system;
  };
  std::map<std::wstring, identity> roots_;  // mount points, upper case, with their backslash
  std::wstring os_name_;
};
