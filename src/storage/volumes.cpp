#include "storage/volumes.h"

#include <algorithm>
#include <cwctype>
#include <map>

#include "support/api_error.h"
#include "support/text.h"

namespace {
constexpr DWORD interface_dos_chars = 1024;
constexpr DWORD volume_dos_chars = 65536;

bool same_text_ignoring_case(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

// "\\?\" comes off before a name goes to QueryDosDevice.
std::wstring without_prefix(const std::wstring& path) { return path.size() > 4 ? path.substr(4) : std::wstring(); }

// Kernel device name -> interface path, ordered by device name.
using interface_map = std::map<std::wstring, std::wstring>;

struct interface_walk {
  device_api& api;
  indenting_logger* log;
  api_error_cb& errors;
  const std::wstring* filter;
  interface_map map;
  bool filter_seen = false;
};

void map_one_interface(interface_walk& walk, api_handle set, DWORD index) {
  std::wstring path;
  DWORD devinst = 0, error = 0;
  if (!walk.api.interface_detail(set, index, path, devinst, error)) {
    walk.errors.report_api_error("SetupDiGetDeviceInterfaceDetail", error, "%lu", (unsigned long)index);
    return;
  }
  const size_t number = size_t(index) + 1;
  std::vector<std::wstring> targets;
  if (!walk.api.query_dos_device(without_prefix(path), interface_dos_chars, targets, error)) {
    walk.log->log(2, "%2zu. %s\n", number, to_utf8(path).c_str());
    walk.errors.report_api_error("QueryDosDevice", error);
    return;
  }
  const std::wstring device = targets.empty() ? std::wstring() : targets[0];
  walk.log->log(2, "%2zu. %s -> %s\n", number, to_utf8(path).c_str(), to_utf8(device).c_str());
  if (!walk.map.emplace(device, path).second) walk.log->log_indented(2, 4, "*** Duplicate! ***\n");
  if (walk.filter && same_text_ignoring_case(path, *walk.filter)) walk.filter_seen = true;
}

// False only when a filter was given and no interface carries it.
bool map_volume_interfaces(interface_walk& walk) {
  walk.log->log(2, "Enumerating volume paths...\n");
  api_handle set = 0;
  DWORD error = 0;
  if (!walk.api.open_interface_set(volume_interface_class, set, error)) {
    walk.errors.report_api_error("SetupDiGetClassDevs", error);
    return true;
  }
  for (DWORD index = 0; walk.api.has_interface(set, index); ++index) map_one_interface(walk, set, index);
  walk.api.close_interface_set(set);
  if (walk.filter && !walk.filter_seen) {
    walk.log->log(2, "Not found: %s\n", to_utf8(*walk.filter).c_str());
    return false;
  }
  return true;
}

void resolve_device_name(interface_walk& walk, volume_info& volume) {
  std::wstring name = volume.volume_name;
  if (!name.empty() && name.back() == L'\\') name.pop_back();
  const std::wstring dos_name = without_prefix(name);
  std::vector<std::wstring> targets;
  DWORD error = 0;
  if (!walk.api.query_dos_device(dos_name, volume_dos_chars, targets, error)) {
    walk.errors.report_api_error("QueryDosDevice", error, dos_name.c_str());
  } else {
    volume.nt_device_name = targets.empty() ? std::wstring() : targets[0];
    walk.log->log(2, "DosDeviceName                %s\n", to_utf8(volume.nt_device_name).c_str());
  }
  if (walk.map.empty()) return;
  auto it = walk.map.find(volume.nt_device_name);
  if (it == walk.map.end()) {
    walk.log->log(2, "VolumeSymlink                ?\n");
    return;
  }
  volume.interface_path = it->second;
  walk.log->log(2, "VolumeSymlink                %s\n", to_utf8(volume.interface_path).c_str());
}

// False: the volume went away between listing and asking.
bool volume_still_there(interface_walk& walk, const volume_info& volume) {
  volume_information_reply reply;
  DWORD error = 0;
  if (walk.api.volume_information(volume.volume_name, reply, error)) return true;
  walk.log->log(2, "GetVolumeInformation() failed with %lu\n", (unsigned long)error);
  if (error != ERROR_PATH_NOT_FOUND) return true;
  walk.log->log(2, "** Path not found -- ignored\n");
  return false;
}

void list_one_volume(interface_walk& walk, const std::wstring& name, size_t number, std::vector<volume_info>& volumes) {
  walk.log->log(2, "%2zu. %s\n", number, to_utf8(name).c_str());
  walk.log->indent(4);
  volume_info volume;
  volume.volume_name = name;
  resolve_device_name(walk, volume);
  if (volume_still_there(walk, volume) &&
      (!walk.filter || same_text_ignoring_case(volume.interface_path, *walk.filter)))
    volumes.push_back(std::move(volume));
  walk.log->unindent(4);
}
}  // namespace

bool enumerate_volumes(device_api& api, std::vector<volume_info>& volumes, indenting_logger* log,
                       const std::wstring* filter) {
  diskvol_logger errors(log);
  interface_walk walk{api, log, errors, filter, {}};
  if (!map_volume_interfaces(walk)) return false;
  log->log(2, "---\n");
  log->log(2, "Enumerating disk volumes...\n");
  std::wstring name;
  api_handle find = 0;
  DWORD error = 0;
  if (!api.find_first_volume(name, find, error)) {
    errors.report_api_error("FindFirstVolume", error);
    return false;
  }
  size_t number = 0;
  do {
    list_one_volume(walk, name, ++number, volumes);
  } while (api.find_next_volume(find, name));
  api.find_volume_close(find);
  return true;
}

bool drive_disk_numbers(const volume_info& volume, std::vector<uint32_t>& numbers) {
  numbers.clear();
  for (const volume_extent& e : volume.extents)
    if (e.disk_number != unknown_u32) numbers.push_back(e.disk_number);
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return !numbers.empty();
}

uint32_t volume_letters_mask(const storage_stack& model) {
  uint32_t mask = 0;
  for (const volume_info& v : model.volumes) {
    for (const std::wstring& p : v.mount_points) {
      if (p.size() < 3 || p[1] != L':' || p[2] != L'\\') continue;
      const wchar_t letter = wchar_t(std::towupper(p[0]));
      if (letter >= L'A' && letter <= L'Z') mask |= 1u << (letter - L'A');
    }
  }
  return mask;
}
