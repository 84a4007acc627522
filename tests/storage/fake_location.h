#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "storage/location_api.h"

// The system's answers about locations, as plain tables.
struct fake_location final : location_api {
  std::map<std::wstring, std::wstring> roots;  // location -> volume root; no other path exists
  std::map<std::wstring, std::pair<uint32_t, std::wstring>> identities;
  std::wstring remote_root;
  share_info share;
  std::wstring gone;  // a folder deleted since it was picked
  bool exists(const std::wstring& path) override { return roots.count(path) && path != gone; }
  bool volume_path_name(const std::wstring& path, std::wstring& root) override {
    auto it = roots.find(path);
    if (it == roots.end()) return false;
    root = it->second;
    return true;
  }
  bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& fs) override {
    auto it = identities.find(root);
    if (it == identities.end()) return false;
    serial = it->second.first;
    fs = it->second.second;
    return true;
  }
  bool is_remote_drive(const std::wstring& root) override { return root == remote_root; }
  share_info remote_protocol(const std::wstring&) override { return share; }
  std::wstring os_name() override { return L"Windows 10"; }
};
