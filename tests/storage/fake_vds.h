#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/vds_api.h"

// A Virtual Disk Service described in test code: software providers, their packs, disks, volumes
// and plexes, served through the same COM interfaces the real service offers. Without a loader
// (the default) it behaves as Wine does: the class is not registered.

struct fake_vds_disk {
  GUID id{};
  std::wstring name;  // "\\?\PhysicalDrive1"
  uint64_t size = 0;
  std::wstring friendly_name;
};

struct fake_vds_extent {
  GUID disk{};
  uint64_t offset = 0;
  uint64_t size = 0;
  uint32_t member_index = 0;
};

struct fake_vds_plex {
  GUID id{};
  uint32_t type = 1;  // simple
  uint64_t size = 0;
  uint32_t stripe_size = 0;
  uint32_t members = 1;
  std::vector<fake_vds_extent> extents;
};

struct fake_vds_volume {
  GUID id{};
  std::wstring name;  // "\\?\GLOBALROOT\Device\HarddiskDmVolumes\...\Volume1"
  uint32_t type = 10;
  uint32_t status = 1, health = 1;
  uint64_t size = 0;
  uint32_t recommended_file_system = 6;  // NTFS
  std::vector<fake_vds_plex> plexes;
};

struct fake_vds_pack {
  GUID id{};
  std::wstring name;
  std::vector<fake_vds_disk> disks;
  std::vector<fake_vds_volume> volumes;
};

struct fake_vds_provider {
  GUID id{};
  std::wstring name;  // empty: the provider gives no name
  std::wstring version = L"1.0";
  bool software = true;  // answers IVdsSwProvider
  std::vector<fake_vds_pack> packs;
};

class fake_vds final : public vds_api {
 public:
  HRESULT loader_error = REGDB_E_CLASSNOTREG;  // S_OK: the service can be reached
  HRESULT load_error = S_OK, ready_error = S_OK;
  // A service that has only just been started. What it answers before it is ready is not
  // documented; here it lists no providers, the quiet way to lose every software volume.
  bool starting = false;
  std::vector<fake_vds_provider> providers;
  // Asked before each method call with its name ("IVdsPack::QueryDisks"); a failure code makes the
  // call fail with it.
  std::function<HRESULT(const char* call)> fail;

  HRESULT create_loader(vds_com::IVdsServiceLoader** loader) override;
  // COM objects handed out and not yet released; 0 once the scan has let go of all of them.
  int live_objects() const { return live_; }

  HRESULT failure(const char* call) const { return fail ? fail(call) : S_OK; }
  int live_ = 0;
};
