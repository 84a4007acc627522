#include <windows.h>

#include "support/os_version.h"
#include "support/paths.h"
#include "support/scoped_win.h"
#include "support/text.h"
#include "storage/location_api.h"

namespace {

constexpr ULONG file_remote_device = 0x10;  // FILE_REMOTE_DEVICE, a DDK name

class win32_location final : public location_api {
 public:
  bool exists(const std::wstring& path) override { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

  bool volume_path_name(const std::wstring& path, std::wstring& root) override {
    wchar_t buffer[261] = {};
    if (!GetVolumePathNameW(path.c_str(), buffer, 261)) return false;
    root = buffer;
    return true;
  }

  bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) override {
    wchar_t name[256] = {};
    DWORD s = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, &s, nullptr, nullptr, name, 256)) return false;
    serial = s;
    file_system = name;
    return true;
  }

  bool is_remote_drive(const std::wstring& root) override { return GetDriveTypeW(root.c_str()) == DRIVE_REMOTE; }

  share_info remote_protocol(const std::wstring& path) override {
    share_info share;
    scoped_handle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return share;
    volume_device_info device{};
    if (!query_volume_device_info(h.get(), device) || !(device.characteristics & file_remote_device)) return share;
    // The protocol query exists from Windows 7 on.
    remote_protocol_info info{};
    if (::os_version_index() < 7 || !query_remote_protocol_info(h.get(), info)) return share;
    share.protocol = info.protocol;
    share.major = info.major;
    share.minor = info.minor;
    share.revision = info.revision;
    return share;
  }

  std::wstring os_name() override { return from_utf8(::os_name()); }
};

}  // namespace

location_api& win32_location_api() {
  static win32_location api;
  return api;
}
