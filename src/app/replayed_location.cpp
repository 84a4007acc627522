#include "app/replayed_location.h"

#include <cwctype>

#include "support/os_version.h"
#include "support/text.h"

namespace {
std::wstring upper(std::wstring s) {
  for (wchar_t& c : s) c = wchar_t(std::towupper(c));
  return s;
}
}  // namespace

replayed_location::replayed_location(const scan_recording& recording) {
  std::map<std::string, identity> by_root;
  for (const recorded_entry& e : recording.entries) {
    if (e.call == "os_version_index" && os_name_.empty())
      os_name_ = from_utf8(os_name_of_index(int(e.number("value"))));
    if (e.call == "os_name") os_name_ = from_utf8(e.text("text"));
    if (e.call != "volume_information" || !e.number("ok")) continue;
    by_root[e.request.at(0).text] = {uint32_t(e.number("serial")), from_utf8(e.text("file_system"))};
  }
  // A volume is asked about by its name or by a mount point: either names it for all its paths.
  for (const recorded_entry& e : recording.entries) {
    if (e.call != "volume_path_names" || !e.number("ok")) continue;
    const std::vector<std::string> paths = e.texts("path");
    auto found = by_root.find(e.request.at(0).text);
    for (size_t i = 0; found == by_root.end() && i < paths.size(); ++i) found = by_root.find(paths[i]);
    if (found == by_root.end()) continue;
    for (const std::string& p : paths) roots_[upper(from_utf8(p))] = found->second;
  }
}

bool replayed_location::volume_path_name(const std::wstring& path, std::wstring& root) {
  const std::wstring wanted = upper(path);
  root.clear();
  for (const auto& r : roots_)
    if (wanted.compare(0, r.first.size(), r.first) == 0 && r.first.size() > root.size()) root = r.first;
  if (root.empty() && wanted.size() == 2 && wanted[1] == L':') return volume_path_name(path + L"\\", root);
  return !root.empty();
}

bool replayed_location::exists(const std::wstring& path) {
  std::wstring root;
  return volume_path_name(path, root);
}

bool replayed_location::volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) {
  const auto it = roots_.find(upper(root));
  if (it == roots_.end()) return false;
  serial = it->second.serial;
  file_system = it->second.file_system;
  return true;
}
