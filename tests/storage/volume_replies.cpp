#include "volume_replies.h"

#include <cwchar>

#include "storage/volume_ioctls.h"

namespace {
fake_reply answer(std::vector<uint8_t> bytes, DWORD error) {
  fake_reply r;
  if (error) r.error = error;
  else r.bytes = std::move(bytes);
  return r;
}
}  // namespace

std::vector<uint8_t> volume_setup::gpt_unique_id() {
  reply_writer w;
  w.text("DMIO:ID:", false);
  for (uint8_t b = 0; b < 16; ++b) w.u8(uint8_t(0x30 + b));
  return w.done();
}

volume_setup numbered_volume(unsigned n, wchar_t letter, const std::vector<extent_setup>& extents) {
  volume_setup s;
  wchar_t guid[40];
  swprintf(guid, 40, L"{a1b2c3d4-0000-4000-8000-%012x}", n);
  s.guid = guid;
  s.device_name = L"\\Device\\HarddiskVolume" + std::to_wstring(n);
  s.mount_points.clear();
  if (letter) s.mount_points.push_back(std::wstring(1, letter) + L":\\");
  s.suggested_link = letter ? L"\\DosDevices\\" + std::wstring(1, letter) + L":" : L"";
  if (!letter) s.suggested_link_error = ERROR_NOT_FOUND;
  s.extents = extents;
  s.length = 0;
  for (const extent_setup& e : extents) s.length += e.length;
  return s;
}

std::wstring volume_name_of(const volume_setup& setup) { return L"\\\\?\\Volume" + setup.guid + L"\\"; }

std::wstring interface_path_of(const volume_setup& setup) {
  if (!setup.has_interface) return L"";
  if (!setup.interface_path.empty()) return setup.interface_path;
  return L"\\\\?\\STORAGE#Volume#" + setup.guid + L"#0000000000100000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
}

std::wstring device_path_of(const volume_setup& setup) {
  std::wstring name = volume_name_of(setup);
  name.pop_back();
  return name;
}

fake_device& add_volume(fake_machine& machine, const volume_setup& setup) {
  const std::wstring path = device_path_of(setup);
  if (setup.has_interface) {
    fake_interface i;
    i.path = interface_path_of(setup);
    i.passes = setup.passes;
    machine.volume_interfaces.push_back(i);
    machine.dos_devices[i.path.substr(4)] = {setup.device_name};
  }
  machine.dos_devices[path.substr(4)] = {setup.device_name};

  fake_volume v;
  v.name = volume_name_of(setup);
  v.info_errors = setup.info_errors;
  v.info = setup.info;
  v.free_error = setup.free_error;
  v.free = setup.free;
  v.mount_points = setup.mount_points;
  v.passes = setup.passes;
  machine.volumes.push_back(v);

  fake_device& d = machine.devices[path];
  d.accepted_access = setup.accepted_access;
  d.open_error = setup.open_error;
  d.replies[IOCTL_DISK_GET_LENGTH_INFO] = answer(reply_writer().u64(setup.length).done(), setup.length_error);
  d.replies[IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS] = answer(disk_extents_reply(setup.extents), setup.extents_error);
  if (setup.ntfs)
    d.replies[FSCTL_GET_NTFS_VOLUME_DATA] =
        answer(ntfs_data_reply(setup.ntfs_data, setup.ntfs_major, setup.ntfs_minor), 0);
  const std::wstring& mountdev = setup.mountdev_name.empty() ? setup.device_name : setup.mountdev_name;
  d.replies[IOCTL_MOUNTDEV_QUERY_DEVICE_NAME] = answer(mountdev_name_reply(mountdev), setup.mountdev_name_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_UNIQUE_ID] = answer(unique_id_reply(setup.unique_id), setup.unique_id_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_STABLE_GUID] =
      answer(reply_writer().guid(setup.stable_guid).done(), setup.stable_guid_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME] =
      answer(suggested_link_reply(setup.suggested_link, setup.link_only_if_no_other), setup.suggested_link_error);
  return d;
}

std::vector<uint8_t> disk_extents_reply(const std::vector<extent_setup>& extents) {
  reply_writer w;
  w.u32(uint32_t(extents.size())).u32(0);
  for (const extent_setup& e : extents) w.u32(e.disk).u32(0).u64(e.offset).u64(e.length);
  return w.done();
}

std::vector<uint8_t> ntfs_data_reply(const ntfs_volume_data& n, uint16_t major, uint16_t minor) {
  reply_writer w;
  w.u64(uint64_t(n.serial_number)).u64(uint64_t(n.number_sectors)).u64(uint64_t(n.total_clusters));
  w.u64(uint64_t(n.free_clusters)).u64(uint64_t(n.total_reserved));
  w.u32(n.bytes_per_sector).u32(n.bytes_per_cluster);
  w.u32(n.bytes_per_file_record_segment).u32(n.clusters_per_file_record_segment);
  w.u64(uint64_t(n.mft_valid_data_length)).u64(uint64_t(n.mft_start_lcn)).u64(uint64_t(n.mft2_start_lcn));
  w.u64(uint64_t(n.mft_zone_start)).u64(uint64_t(n.mft_zone_end));
  if (major) w.u32(32).u16(major).u16(minor).u32(512).u32(4096).zeros(16);  // NTFS_EXTENDED_VOLUME_DATA
  return w.done();
}

std::vector<uint8_t> mountdev_name_reply(const std::wstring& name) {
  return reply_writer().u16(uint16_t(2 * name.size())).wtext(name).done();
}

std::vector<uint8_t> unique_id_reply(const std::vector<uint8_t>& id) {
  return reply_writer().u16(uint16_t(id.size())).bytes(id.data(), id.size()).done();
}

std::vector<uint8_t> suggested_link_reply(const std::wstring& name, bool only_if_no_other) {
  return reply_writer().u8(only_if_no_other ? 1 : 0).u8(0).u16(uint16_t(2 * name.size())).wtext(name).done();
}
