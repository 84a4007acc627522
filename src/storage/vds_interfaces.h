#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cstdint>

// The Virtual Disk Service's COM interfaces as the scan calls them, declared in the documented
// method order, with the property records they fill (VDS_*_PROP, VDS_DISK_EXTENT). Methods the
// scan never calls keep their slot with a body that answers E_NOTIMPL: a test's object need not
// spell them out, and on the real service the real methods stand in those slots. Strings and
// arrays in the records belong to the caller, who frees them with CoTaskMemFree.

namespace vds_com {

using VDS_OBJECT_ID = GUID;
constexpr DWORD VDS_QUERY_SOFTWARE_PROVIDERS = 1;
constexpr bool wide_pointers = sizeof(void*) == 8;

struct VDS_PROVIDER_PROP {
  VDS_OBJECT_ID id;
  LPWSTR pwszName;
  GUID guidVersionId;
  LPWSTR pwszVersion;
  uint32_t type;
  ULONG ulFlags;
  ULONG ulStripeSizeFlags;
  SHORT sRebuildPriority;
};
static_assert(sizeof(VDS_PROVIDER_PROP) == (wide_pointers ? 64 : 56), "VDS_PROVIDER_PROP");

struct VDS_PACK_PROP {
  VDS_OBJECT_ID id;
  LPWSTR pwszName;
  uint32_t status;
  ULONG ulFlags;
};
static_assert(sizeof(VDS_PACK_PROP) == (wide_pointers ? 32 : 28), "VDS_PACK_PROP");

struct VDS_DISK_PROP {
  VDS_OBJECT_ID id;
  uint32_t status;
  uint32_t ReserveMode;
  uint32_t health;
  DWORD dwDeviceType;
  DWORD dwMediaType;
  ULONGLONG ullSize;
  ULONG ulBytesPerSector;
  ULONG ulSectorsPerTrack;
  ULONG ulTracksPerCylinder;
  ULONG ulFlags;
  uint32_t BusType;
  uint32_t PartitionStyle;
  union {
    DWORD dwSignature;
    GUID DiskGuid;
  };
  LPWSTR pwszDiskAddress;
  LPWSTR pwszName;
  LPWSTR pwszFriendlyName;
  LPWSTR pwszAdaptorName;
  LPWSTR pwszDevicePath;
};
static_assert(offsetof(VDS_DISK_PROP, ullSize) == 40, "VDS_DISK_PROP.ullSize");
static_assert(offsetof(VDS_DISK_PROP, pwszDiskAddress) == 88, "VDS_DISK_PROP.pwszDiskAddress");
static_assert(sizeof(VDS_DISK_PROP) == (wide_pointers ? 128 : 112), "VDS_DISK_PROP");

struct VDS_VOLUME_PROP {
  VDS_OBJECT_ID id;
  uint32_t type;  // 10 simple, 11 spanned, 12 striped, 13 mirrored, 14 parity
  uint32_t status;
  uint32_t health;
  uint32_t TransitionState;
  ULONGLONG ullSize;
  ULONG ulFlags;
  uint32_t RecommendedFileSystemType;
  LPWSTR pwszName;
};
static_assert(offsetof(VDS_VOLUME_PROP, pwszName) == 48, "VDS_VOLUME_PROP.pwszName");
static_assert(sizeof(VDS_VOLUME_PROP) == 56, "VDS_VOLUME_PROP");

struct VDS_VOLUME_PLEX_PROP {
  VDS_OBJECT_ID id;
  uint32_t type;
  uint32_t status;
  uint32_t health;
  uint32_t TransitionState;
  ULONGLONG ullSize;
  ULONG ulStripeSize;
  ULONG ulNumberOfMembers;
};
static_assert(sizeof(VDS_VOLUME_PLEX_PROP) == 48, "VDS_VOLUME_PLEX_PROP");

struct VDS_DISK_EXTENT {
  VDS_OBJECT_ID diskId;
  uint32_t type;
  ULONGLONG ullOffset;
  ULONGLONG ullSize;
  VDS_OBJECT_ID volumeId;
  VDS_OBJECT_ID plexId;
  ULONG memberIdx;
};
static_assert(offsetof(VDS_DISK_EXTENT, ullOffset) == 24, "VDS_DISK_EXTENT.ullOffset");
static_assert(offsetof(VDS_DISK_EXTENT, memberIdx) == 72, "VDS_DISK_EXTENT.memberIdx");
static_assert(sizeof(VDS_DISK_EXTENT) == 80, "VDS_DISK_EXTENT");

extern const CLSID clsid_vds_loader;
extern const IID iid_vds_service_loader;
extern const IID iid_vds_service;
extern const IID iid_vds_provider;
extern const IID iid_vds_sw_provider;
extern const IID iid_vds_pack;
extern const IID iid_vds_disk;
extern const IID iid_vds_volume;
extern const IID iid_vds_volume_plex;
extern const IID iid_enum_vds_object;

struct IVdsService;
struct IVdsPack;
struct IVdsVolume;

struct IEnumVdsObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** objects, ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Reset() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumVdsObject**) { return E_NOTIMPL; }
};

struct IVdsServiceLoader : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE LoadService(LPWSTR machine_name, IVdsService** service) = 0;
};

struct IVdsService : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE IsServiceReady() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE WaitForServiceReady() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProperties(void*) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryProviders(DWORD masks, IEnumVdsObject** providers) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryMaskedDisks(IEnumVdsObject**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryUnallocatedDisks(IEnumVdsObject**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE GetObjectById(VDS_OBJECT_ID, int, IUnknown**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryDriveLetters(WCHAR, DWORD, void*) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryFileSystemTypes(void**, LONG*) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Reenumerate() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Refresh() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE CleanupObsoleteMountPoints() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown*, DWORD*) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Reboot() { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE SetFlags(ULONG) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE ClearFlags(ULONG) { return E_NOTIMPL; }
};

struct IVdsProvider : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(VDS_PROVIDER_PROP* properties) = 0;
};

struct IVdsSwProvider : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryPacks(IEnumVdsObject** packs) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreatePack(IVdsPack**) { return E_NOTIMPL; }
};

struct IVdsPack : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(VDS_PACK_PROP* properties) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProvider(IUnknown**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryVolumes(IEnumVdsObject** volumes) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryDisks(IEnumVdsObject** disks) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateVolume(int, void*, LONG, ULONG, IUnknown**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE AddDisk(VDS_OBJECT_ID, int, BOOL) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE MigrateDisks(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID, BOOL, BOOL, HRESULT*, BOOL*) {
    return E_NOTIMPL;
  }
  virtual HRESULT STDMETHODCALLTYPE ReplaceDisk(VDS_OBJECT_ID, VDS_OBJECT_ID, IUnknown**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE RemoveMissingDisk(VDS_OBJECT_ID) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE Recover(IUnknown**) { return E_NOTIMPL; }
};

struct IVdsDisk : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(VDS_DISK_PROP* properties) = 0;
};

struct IVdsVolume : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PROP* properties) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPack(IVdsPack**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryPlexes(IEnumVdsObject** plexes) = 0;
};

struct IVdsVolumePlex : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PLEX_PROP* properties) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVolume(IVdsVolume**) { return E_NOTIMPL; }
  virtual HRESULT STDMETHODCALLTYPE QueryExtents(VDS_DISK_EXTENT** extents, LONG* count) = 0;
};

}  // namespace vds_com
