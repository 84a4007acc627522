#include <cstring>

#include "storage/device_query.h"
#include "storage/volume_ioctls.h"
#include "storage/volumes.h"
#include "support/hex_dump.h"
#include "support/hex_text.h"
#include "support/text.h"
#include "storage/little_endian.h"

namespace {
constexpr uint32_t ntfs_data_size = sizeof(ntfs_volume_data);
constexpr DWORD not_supported = ERROR_NOT_SUPPORTED;              // 50
constexpr DWORD bitlocker_locked = 0x80310000;                    // FVE_E_LOCKED_VOLUME
constexpr DWORD unrecognized_volume = ERROR_UNRECOGNIZED_VOLUME;  // 1005

unsigned long long ull(int64_t v) { return (unsigned long long)v; }

std::wstring utf16_bytes(const uint8_t* p, size_t bytes) {
  std::wstring s(bytes / 2, L'\0');
  for (size_t i = 0; i < s.size(); ++i) s[i] = wchar_t(le16(p + 2 * i));
  return s;
}

bool is_hex_digit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// RAM-disk drivers name their devices "\Device\" and eight hex digits.
bool is_numbered_device(const std::wstring& name) {
  static const std::wstring head = L"\\Device\\";
  if (name.size() != head.size() + 8 || name.compare(0, head.size(), head) != 0) return false;
  for (size_t i = head.size(); i < name.size(); ++i)
    if (!is_hex_digit(name[i])) return false;
  return true;
}

// The interface path names the volume across renames of its GUID path.
bool volume_is_present(device_query& q, volume_info& volume) {
  indenting_logger* log = q.log();
  log->log_indented(3, 2, "Checking if the volume is still present...\n");
  const std::wstring filter = volume.interface_path;
  std::vector<volume_info> fresh;
  indenting_logger* quiet = new indenting_logger(&a_null_logger::instance);
  const bool found = enumerate_volumes(q.api(), fresh, quiet, &filter) && !fresh.empty();
  quiet->release();
  if (!found) {
    log->log_indented(3, 4, "No. Volume ignored.\n");
    return false;
  }
  volume = fresh.front();
  log->log_indented(3, 4, "Yes. Volume retained.\n");
  return true;
}

// False: the volume is gone.
bool read_volume_information(device_query& q, volume_info& volume) {
  volume_information_reply reply;
  DWORD error = 0;
  if (q.api().volume_information(volume.volume_name, reply, error)) {
    volume.has_info = true;
    volume.info_error = 0;
    volume.label = reply.label;
    volume.serial_number = reply.serial;
    volume.fs_flags = reply.flags;
    volume.file_system = reply.file_system;
    indenting_logger* log = q.log();
    log->log(2, "Name                         [%s]\n", to_utf8(volume.label).c_str());
    log->log(2, "Serial                       %04X-%04X\n", unsigned(reply.serial >> 16),
             unsigned(reply.serial & 0xFFFF));
    log->log(2, "Flags                        0x%08x\n", unsigned(reply.flags));
    log->log(2, "FileSystem                   [%s]\n", to_utf8(volume.file_system).c_str());
    return true;
  }
  volume.has_info = false;
  volume.info_error = error;
  volume.label.clear();
  volume.file_system.clear();
  q.errors()->report_api_error("GetVolumeInformation", error);
  if (error == bitlocker_locked) {
    volume.is_locked = true;
    return true;
  }
  if (error == unrecognized_volume) return true;
  return volume_is_present(q, volume);
}

void read_free_space(device_query& q, volume_info& volume) {
  free_space_reply reply;
  DWORD error = 0;
  if (!q.api().disk_free_space(volume.volume_name, reply, error)) {
    q.errors()->report_api_error("GetDiskFreeSpaceEx", error);
    volume.free_bytes = unknown_u64;
    volume.free_bytes_for_user = unknown_u64;
    return;
  }
  volume.free_bytes = reply.total_free;
  volume.free_bytes_for_user = reply.free_for_caller;
  volume.total_bytes_for_user = reply.total_for_caller;
  q.log()->log(2, "FreeDiskSpace                %I64u\n", (unsigned long long)volume.free_bytes);
  q.log()->log(2, "FreeDiskSpaceForUser         %I64u\n", (unsigned long long)volume.free_bytes_for_user);
  q.log()->log(2, "TotalDiskSpaceForUser        %I64u\n", (unsigned long long)volume.total_bytes_for_user);
}

void read_mount_points(device_query& q, volume_info& volume) {
  indenting_logger* log = q.log();
  log->log(2, "MountPoints:\n");
  volume.mount_points.clear();
  std::vector<std::wstring> paths;
  DWORD error = 0;
  if (!q.api().volume_path_names(volume.volume_name, paths, error)) {
    q.errors()->report_api_error("GetVolumePathNamesForVolumeName", error);
    return;
  }
  log->indent(2);
  if (paths.empty()) log->log(2, "<none>\n");
  for (const std::wstring& p : paths) {
    volume.mount_points.push_back(p);
    log->log(2, "%2zu. %s\n", volume.mount_points.size(), to_utf8(p).c_str());
  }
  log->unindent(2);
}

// Reading is best; the attributes alone still answer the requests below.
bool open_volume(device_query& q, volume_info& volume, scoped_api_handle& handle) {
  static const DWORD tries[] = {GENERIC_READ, FILE_READ_ATTRIBUTES};
  q.log()->log(2, "Opening volume...\n");
  std::wstring path = volume.volume_name;
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  for (DWORD access : tries) {
    api_handle h = 0;
    DWORD error = 0;
    if (!q.api().create_file(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, h, error)) {
      q.errors()->report_api_error("CreateFile", error, "%s", access_text(access).c_str());
      continue;
    }
    handle.reset(h);
    volume.open_access = access;
    q.log()->log_indented(3, 2, "OK, with [%s] access\n", access_text(access).c_str());
    return true;
  }
  volume.open_access = unknown_u32;
  q.log()->log_indented(3, 2, "Failed\n");
  return false;
}

void read_length(device_query& q, volume_info& volume, api_handle h) {
  DWORD returned = 0;
  if (!q.ioctl(h, IOCTL_DISK_GET_LENGTH_INFO, "IOCTL_DISK_GET_LENGTH_INFO", nullptr, 0, &volume.length,
               sizeof volume.length, returned)) {
    volume.length = unknown_u64;
    return;
  }
  if (q.check_response_size(returned, 8, 8))
    q.log()->log(2, "Length (Size)              %I64u\n", (unsigned long long)volume.length);
}

// 1: the set is the dummy one some RAM disks answer with.
int read_extents(device_query& q, volume_info& volume, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, "IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS", nullptr, 0, returned) ||
      !q.check_response_spec(reply, returned, volume_extents_spec))
    return 0;
  indenting_logger* log = q.log();
  const uint32_t count = le32(reply);
  log->log(2, "Extents: %u\n", unsigned(count));
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = reply + 8 + 24 * size_t(i);
    volume_extent extent;
    extent.disk_number = le32(e);
    extent.offset = le64(e + 8);
    extent.length = le64(e + 16);
    volume.extents.push_back(extent);
    log->log(2, "%2zu. DiskNumber             %lu\n", size_t(i) + 1, (unsigned long)extent.disk_number);
    log->log_indented(2, 4, "StartingOffset         %I64u\n", (unsigned long long)extent.offset);
    log->log_indented(2, 4, "ExtentLength           %I64u\n", (unsigned long long)extent.length);
  }
  if (volume.extents.size() != 1 || volume.extents[0].disk_number != unknown_u32) return 0;
  log->log(2, "Dummy extent set, ignored (SoftPerfect RamDisk?)\n");
  volume.extents.clear();
  return 1;
}

void log_ntfs_data(indenting_logger* log, const ntfs_volume_data& n, DWORD returned, uint32_t ext_bytes,
                   const volume_info& volume) {
  log->log(2, "[%u bytes]\n", unsigned(returned));
  log->log(2, "VolumeSerialNumber         %016I64X\n", ull(n.serial_number));
  log->log(2, "NumberSectors              %I64u\n", ull(n.number_sectors));
  log->log(2, "TotalClusters              %I64u\n", ull(n.total_clusters));
  log->log(2, "FreeClusters               %I64u\n", ull(n.free_clusters));
  log->log(2, "TotalReserved              %I64u\n", ull(n.total_reserved));
  log->log(2, "BytesPerSector             %u\n", unsigned(n.bytes_per_sector));
  log->log(2, "BytesPerCluster            %u\n", unsigned(n.bytes_per_cluster));
  log->log(2, "BytesPerFileRecordSegment  %u\n", unsigned(n.bytes_per_file_record_segment));
  log->log(2, "ClustersPerFileRecordSeg.  %u\n", unsigned(n.clusters_per_file_record_segment));
  log->log(2, "MftValidDataLength         %I64u\n", ull(n.mft_valid_data_length));
  log->log(2, "MftStartLcn                %I64u\n", ull(n.mft_start_lcn));
  log->log(2, "Mft2StartLcn               %I64u\n", ull(n.mft2_start_lcn));
  log->log(2, "MftZoneStart               %I64u\n", ull(n.mft_zone_start));
  log->log(2, "MftZoneEnd                 %I64u\n", ull(n.mft_zone_end));
  log->log(2, "Ext.ByteCount              %u\n", unsigned(ext_bytes));
  log->log(2, "Ext.MajorVersion           %hu\n", (unsigned short)volume.ntfs_major_version);
  log->log(2, "Ext.MinorVersion           %hu\n", (unsigned short)volume.ntfs_minor_version);
}

void read_ntfs_data(device_query& q, volume_info& volume, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, FSCTL_GET_NTFS_VOLUME_DATA, "FSCTL_GET_NTFS_VOLUME_DATA", nullptr, 0, returned) ||
      !q.check_response_size(returned, ntfs_data_size, query_buffer_size))
    return;
  volume.has_ntfs_data = true;
  std::memcpy(&volume.ntfs, reply, ntfs_data_size);
  // NTFS_EXTENDED_VOLUME_DATA follows: byte count, major and minor version.
  const uint32_t ext_bytes = returned >= ntfs_data_size + 4 ? le32(reply + ntfs_data_size) : 0;
  if (ext_bytes >= 8 && returned >= ntfs_data_size + 8) {
    volume.ntfs_major_version = le16(reply + ntfs_data_size + 4);
    volume.ntfs_minor_version = le16(reply + ntfs_data_size + 6);
  }
  log_ntfs_data(q.log(), volume.ntfs, returned, ext_bytes, volume);
}

// 1: the name looks like a RAM disk's.
int read_device_name(device_query& q, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, IOCTL_MOUNTDEV_QUERY_DEVICE_NAME, "IOCTL_MOUNTDEV_QUERY_DEVICE_NAME", nullptr, 0, returned) ||
      !q.check_response_spec(reply, returned, mountdev_name_spec))
    return 0;
  const std::wstring name = utf16_bytes(reply + 2, le16(reply));
  q.log()->log(2, "Name                       [%s]\n", to_utf8(name).c_str());
  return is_numbered_device(name) ? 1 : 0;
}

// 1: a 64-byte ID, as RAM disks make them.
int read_unique_id(device_query& q, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, IOCTL_MOUNTDEV_QUERY_UNIQUE_ID, "IOCTL_MOUNTDEV_QUERY_UNIQUE_ID", nullptr, 0, returned) ||
      !q.check_response_spec(reply, returned, mountdev_unique_id_spec))
    return 0;
  const uint16_t length = le16(reply);
  q.log()->log(2, "UniqueIdLength             %hu\n", (unsigned short)length);
  q.log()->log(2, "UniqueID:\n");
  hex_dump(q.log(), reply + 2, length);
  return length == 64 ? 1 : 0;
}

// 1: the device does not know the request, as RAM disks do not.
int read_stable_guid(device_query& q, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, IOCTL_MOUNTDEV_QUERY_STABLE_GUID, "IOCTL_MOUNTDEV_QUERY_STABLE_GUID", nullptr, 0, returned))
    return q.last_error() == not_supported ? 1 : 0;
  if (q.check_response_size(returned, sizeof(GUID), query_buffer_size))
    q.log()->log(2, "StableGuid                 %s\n", guid_to_text(reply, true).c_str());
  return 0;
}

void read_suggested_link(device_query& q, api_handle h) {
  DWORD returned = 0;
  const uint8_t* reply = q.buffer();
  if (!q.ioctl(h, IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME, "IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME", nullptr, 0,
               returned) ||
      !q.check_response_spec(reply, returned, suggested_link_spec))
    return;
  const uint16_t length = le16(reply + 2);
  q.log()->log(2, "UseOnlyIfThereAreNo...     %u\n", unsigned(reply[0]));
  q.log()->log(2, "NameLength                 %hu bytes\n", (unsigned short)length);
  q.log()->log(2, "Name                       [%s]\n", to_utf8(utf16_bytes(reply + 4, length)).c_str());
}

// The requests of an open volume; the count of RAM-disk signs they showed.
int query_open_volume(device_query& q, volume_info& volume, api_handle h) {
  q.log()->indent(2);
  read_length(q, volume, h);
  int signs = read_extents(q, volume, h);
  read_ntfs_data(q, volume, h);
  signs += read_device_name(q, h);
  signs += read_unique_id(q, h);
  signs += read_stable_guid(q, h);
  read_suggested_link(q, h);
  q.log()->unindent(2);
  return signs;
}

// Without a length the extents tell the size, else the free-space figures of an unquota'd volume.
void estimate_length(device_query& q, volume_info& volume) {
  if (volume.length != unknown_u64) return;
  uint64_t estimate = 0;
  for (const volume_extent& e : volume.extents) estimate += e.length;
  if (estimate == 0 && volume.free_bytes == volume.free_bytes_for_user) estimate = volume.total_bytes_for_user;
  if (estimate == 0 || estimate == unknown_u64) return;
  volume.length = estimate;
  q.log()->log(2, "EstimatedSize                %I64u\n", (unsigned long long)estimate);
}
}  // namespace

bool query_volume(device_api& api, volume_info& volume, indenting_logger* log) {
  device_query q(api, log);
  log->log(2, "VolumePath                   [%s]\n", to_utf8(volume.volume_name).c_str());
  if (!read_volume_information(q, volume)) return false;
  read_free_space(q, volume);
  read_mount_points(q, volume);
  int ram_signs = 0;
  {
    scoped_api_handle handle(api);
    // An unopenable volume keeps its length unset: free space alone says nothing of its size.
    if (open_volume(q, volume, handle)) {
      ram_signs = query_open_volume(q, volume, handle.get());
      estimate_length(q, volume);
    }
  }
  q.log_timings();
  volume.is_ram_disk = ram_signs == 4 || volume.nt_device_name.find(L"Secdisc") != std::wstring::npos;
  return true;
}
