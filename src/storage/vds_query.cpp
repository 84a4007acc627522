#include <cstring>
#include <functional>

#include "support/com_ptr.h"
#include "storage/vds.h"
#include "support/api_error.h"
#include "support/hex_text.h"
#include "support/text.h"

using namespace vds_com;

namespace {
// A runaway enumeration ends here.
constexpr size_t max_objects = 4096;

std::string guid_text(const GUID& g) {
  uint8_t bytes[16];
  std::memcpy(bytes, &g, sizeof bytes);
  return guid_to_text(bytes, true);
}

// Copies a string the service allocated and frees it.
std::wstring take_text(LPWSTR& text) {
  std::wstring copy = text ? std::wstring(text) : std::wstring();
  CoTaskMemFree(text);
  text = nullptr;
  return copy;
}

std::string utf8(const std::wstring& text) { return to_utf8(text); }

struct pack_disk {
  VDS_OBJECT_ID id;
  std::wstring name;
};

class vds_walk {
 public:
  vds_walk(vds_api& api, std::vector<vds_item>& items, indenting_logger* log)
      : api_(api), items_(items), log_(log), errors_(log) {}

  bool run() {
    log_->log(2, "Querying VDS...\n");
    com_ptr<IVdsServiceLoader> loader;
    HRESULT hr = api_.create_loader(loader.out());
    if (FAILED(hr) || !loader) return failed("CoCreateInstance", hr);
    com_ptr<IVdsService> service;
    hr = loader->LoadService(nullptr, service.out());
    if (FAILED(hr) || !service) return failed("IVdsServiceLoader::LoadService", hr);
    hr = service->WaitForServiceReady();
    if (FAILED(hr)) return failed("IVdsService::WaitForServiceReady", hr);
    com_ptr<IEnumVdsObject> providers;
    hr = service->QueryProviders(VDS_QUERY_SOFTWARE_PROVIDERS, providers.out());
    if (FAILED(hr) || !providers) {
      errors_.report_api_error("IVdsService::QueryProviders", uint32_t(hr));
      return true;
    }
    size_t number = 0;
    each(providers.get(), [&](IUnknown* u) { provider(++number, u); });
    return true;
  }

 private:
  bool failed(const char* call, HRESULT hr) {
    errors_.report_api_error(call, uint32_t(hr));
    return false;
  }

  // Every object of an enumeration, each released after `visit`.
  void each(IEnumVdsObject* e, const std::function<void(IUnknown*)>& visit) {
    for (size_t n = 0; n < max_objects; ++n) {
      IUnknown* next = nullptr;
      ULONG fetched = 0;
      const HRESULT hr = e->Next(1, &next, &fetched);
      com_ptr<IUnknown> object(next);
      if (FAILED(hr)) errors_.report_api_error("IEnumVdsObject::Next", uint32_t(hr));
      if (hr != S_OK || fetched != 1 || !object) return;
      visit(object.get());
    }
  }

  template <typename T>
  bool as(IUnknown* u, const IID& iid, const char* name, com_ptr<T>& out) {
    const HRESULT hr = u->QueryInterface(iid, reinterpret_cast<void**>(out.out()));
    if (SUCCEEDED(hr) && out) return true;
    errors_.report_api_error("IUnknown::QueryInterface", uint32_t(hr), "%s", name);
    return false;
  }

  template <typename T>
  bool listed(HRESULT hr, const char* call, const com_ptr<T>& list) {
    if (SUCCEEDED(hr) && list) return true;
    errors_.report_api_error(call, uint32_t(hr));
    return false;
  }

  void provider(size_t number, IUnknown* u) {
    com_ptr<IVdsProvider> provider;
    if (!as(u, iid_vds_provider, "IVdsProvider", provider)) return;
    VDS_PROVIDER_PROP p{};
    const HRESULT hr = provider->GetProperties(&p);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsProvider::GetProperties", uint32_t(hr));
      return;
    }
    const bool named = p.pwszName != nullptr;
    const std::wstring name = take_text(p.pwszName), version = take_text(p.pwszVersion);
    log_->log(2, "%2zu. [%s]\n", number, named ? utf8(name).c_str() : "<null>");
    log_->indent(4);
    log_->log(2, "ID                           %s\n", guid_text(p.id).c_str());
    log_->log(2, "GuidVersionId                %s\n", guid_text(p.guidVersionId).c_str());
    log_->log(2, "Version                      [%s]\n", utf8(version).c_str());
    log_->log(2, "Type                         %u\n", unsigned(p.type));
    log_->log(2, "Flags                        %08x\n", unsigned(p.ulFlags));
    log_->log(2, "StripeSizeFlags              %08x\n", unsigned(p.ulStripeSizeFlags));
    log_->log(2, "RebuildPriority              %hu\n", (unsigned short)p.sRebuildPriority);
    com_ptr<IVdsSwProvider> software;
    com_ptr<IEnumVdsObject> packs;
    if (as(u, iid_vds_sw_provider, "IVdsSwProvider", software) &&
        listed(software->QueryPacks(packs.out()), "IVdsSwProvider::QueryPacks", packs)) {
      log_->log(2, "Packs:\n");
      log_->indent(4);
      each(packs.get(), [&](IUnknown* pack_object) { pack(pack_object); });
      log_->unindent(4);
    }
    log_->unindent(4);
  }

  void pack(IUnknown* u) {
    com_ptr<IVdsPack> pack;
    if (!as(u, iid_vds_pack, "IVdsPack", pack)) return;
    VDS_PACK_PROP p{};
    const HRESULT hr = pack->GetProperties(&p);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsPack::GetProperties", uint32_t(hr));
    } else {
      take_text(p.pwszName);
      log_->log(2, "ID                       %s\n", guid_text(p.id).c_str());
      log_->log(2, "PackStatus               %u\n", unsigned(p.status));
      log_->log(2, "PackFlags                %08x\n", unsigned(p.ulFlags));
    }
    std::vector<pack_disk> disks;
    com_ptr<IEnumVdsObject> list;
    if (listed(pack->QueryDisks(list.out()), "IVdsPack::QueryDisks", list)) {
      log_->log(2, "Disks:\n");
      size_t number = 0;
      each(list.get(), [&](IUnknown* d) { disk(++number, d, disks); });
    }
    if (listed(pack->QueryVolumes(list.out()), "IVdsPack::QueryVolumes", list)) {
      log_->log(2, "Volumes:\n");
      log_->indent(4);
      each(list.get(), [&](IUnknown* v) { volume(v, disks); });
      log_->unindent(4);
    }
  }

  void disk(size_t number, IUnknown* u, std::vector<pack_disk>& disks) {
    com_ptr<IVdsDisk> disk;
    if (!as(u, iid_vds_disk, "IVdsDisk", disk)) return;
    VDS_DISK_PROP p{};
    const HRESULT hr = disk->GetProperties(&p);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsDisk::GetProperties", uint32_t(hr));
      return;
    }
    const std::wstring address = take_text(p.pwszDiskAddress), name = take_text(p.pwszName),
                       friendly = take_text(p.pwszFriendlyName), adaptor = take_text(p.pwszAdaptorName),
                       path = take_text(p.pwszDevicePath);
    disks.push_back({p.id, name});
    log_->log(2, "%2zu. ID                   %s\n", number, guid_text(p.id).c_str());
    log_->indent(4);
    log_->log(2, "Status               %u\n", unsigned(p.status));
    log_->log(2, "ReserveMode          %u\n", unsigned(p.ReserveMode));
    log_->log(2, "Health               %u\n", unsigned(p.health));
    log_->log(2, "DeviceType           %u\n", unsigned(p.dwDeviceType));
    log_->log(2, "MediaType            %u\n", unsigned(p.dwMediaType));
    log_->log(2, "Size                 %I64u\n", (unsigned long long)p.ullSize);
    log_->log(2, "BPS / SPT / TPC      %u / %u / %u\n", unsigned(p.ulBytesPerSector), unsigned(p.ulSectorsPerTrack),
              unsigned(p.ulTracksPerCylinder));
    log_->log(2, "Flags                %08x\n", unsigned(p.ulFlags));
    log_->log(2, "BusType              %u\n", unsigned(p.BusType));
    log_->log(2, "PartitionStyle       %u\n", unsigned(p.PartitionStyle));
    log_->log(2, "DiskAddress          [%s]\n", utf8(address).c_str());
    log_->log(2, "Name                 [%s]\n", utf8(name).c_str());
    log_->log(2, "FriendlyName         [%s]\n", utf8(friendly).c_str());
    log_->log(2, "AdaptorName          [%s]\n", utf8(adaptor).c_str());
    log_->log(2, "DevicePath           [%s]\n", utf8(path).c_str());
    log_->unindent(4);
  }

  void volume(IUnknown* u, const std::vector<pack_disk>& disks) {
    com_ptr<IVdsVolume> volume;
    if (!as(u, iid_vds_volume, "IVdsVolume", volume)) return;
    VDS_VOLUME_PROP p{};
    const HRESULT hr = volume->GetProperties(&p);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsVolume::GetProperties", uint32_t(hr));
      return;
    }
    vds_item item;
    item.volume_name = take_text(p.pwszName);
    item.id = p.id;
    item.type = p.type;
    item.status = p.status;
    item.health = p.health;
    item.transition_state = p.TransitionState;
    item.size = p.ullSize;
    item.flags = p.ulFlags;
    item.recommended_file_system = p.RecommendedFileSystemType;
    log_->log(2, "ID                   %s\n", guid_text(p.id).c_str());
    log_->log(2, "VolType              %u\n", unsigned(p.type));
    log_->log(2, "VolStatus            %u\n", unsigned(p.status));
    log_->log(2, "VolHealth            %u\n", unsigned(p.health));
    log_->log(2, "TransitionState      %u\n", unsigned(p.TransitionState));
    log_->log(2, "RecommFileSysType    %u\n", unsigned(p.RecommendedFileSystemType));
    log_->log(2, "Plexes & extents:\n");
    com_ptr<IEnumVdsObject> plexes;
    if (listed(volume->QueryPlexes(plexes.out()), "IVdsVolume::QueryPlexes", plexes)) {
      size_t number = 0;
      each(plexes.get(), [&](IUnknown* x) { plex(++number, x, disks, item); });
    }
    items_.push_back(std::move(item));
  }

  void plex(size_t number, IUnknown* u, const std::vector<pack_disk>& disks, vds_item& item) {
    com_ptr<IVdsVolumePlex> plex;
    if (!as(u, iid_vds_volume_plex, "IVdsVolumePlex", plex)) return;
    VDS_VOLUME_PLEX_PROP p{};
    HRESULT hr = plex->GetProperties(&p);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsVolumePlex::GetProperties", uint32_t(hr));
      return;
    }
    log_->log(2, "%2zu. ID               %s\n", number, guid_text(p.id).c_str());
    log_->indent(4);
    log_->log(2, "PlexType         %u\n", unsigned(p.type));
    log_->log(2, "PlexStatus       %u\n", unsigned(p.status));
    log_->log(2, "PlexHealth       %u\n", unsigned(p.health));
    log_->log(2, "PlexTState       %u\n", unsigned(p.TransitionState));
    log_->log(2, "PlexSize         %I64u\n", (unsigned long long)p.ullSize);
    log_->log(2, "PlexStripeSize   %u\n", unsigned(p.ulStripeSize));
    log_->log(2, "NumberOfMembers  %u\n", unsigned(p.ulNumberOfMembers));
    VDS_DISK_EXTENT* extents = nullptr;
    LONG count = 0;
    hr = plex->QueryExtents(&extents, &count);
    co_task_memory owned(extents);
    if (FAILED(hr)) {
      errors_.report_api_error("IVdsVolumePlex::QueryExtents", uint32_t(hr));
    } else {
      const size_t n = extents && count > 0 ? size_t(count) : 0;
      log_->log(2, "Extents          %u\n", unsigned(n));
      for (size_t i = 0; i < n; ++i) extent(i, extents[i], disks, item);
    }
    log_->unindent(4);
  }

  void extent(size_t i, const VDS_DISK_EXTENT& e, const std::vector<pack_disk>& disks, vds_item& item) {
    log_->log(2, "%2u. Disk         %s\n", unsigned(i + 1), guid_text(e.diskId).c_str());
    log_->indent(4);
    log_->log(2, "Type         %u\n", unsigned(e.type));
    log_->log(2, "Offset       %I64u\n", (unsigned long long)e.ullOffset);
    log_->log(2, "Size         %I64u\n", (unsigned long long)e.ullSize);
    log_->log(2, "Volume ID  ! %s\n", guid_text(e.volumeId).c_str());
    log_->log(2, "Plex ID    ! %s\n", guid_text(e.plexId).c_str());
    log_->log(2, "MemberIndex  %u\n", unsigned(e.memberIdx));
    log_->unindent(4);
    vds_extent x;
    for (const pack_disk& d : disks)
      if (IsEqualGUID(d.id, e.diskId)) x.disk_name = d.name;
    x.size = e.ullSize;
    x.offset = e.ullOffset;
    x.member_index = e.memberIdx;
    item.extents.push_back(std::move(x));
  }

  vds_api& api_;
  std::vector<vds_item>& items_;
  indenting_logger* log_;
  diskvol_logger errors_;
};
}  // namespace

bool query_vds(vds_api& api, std::vector<vds_item>& items, indenting_logger* log) {
  return vds_walk(api, items, log).run();
}
