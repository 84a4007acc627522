#include "volume_replies.h"

#include "storage/volume_ioctls.h"

namespace {
fake_reply answer(std::vector<uint8_t> bytes, DWORD error) {
  fake_reply r;
  if (error) r.error = error;
  else r.bytes = std::move(bytes);
  return r;
}
}  // namespace

std::vector<uint8_t> volume_spec::gpt_unique_id() {
  reply_writer w;
  w.text("DMIO:ID:", false);
  for (uint8_t b = 0; b < 16; ++b) w.u8(uint8_t(0x30 + b));
  return w.done();
}

std::wstring volume_name_of(const volume_spec& spec) { return L"\\\\?\\Volume" + spec.guid + L"\\"; }

std::wstring interface_path_of(const volume_spec& spec) {
  if (!spec.has_interface) return L"";
  if (!spec.interface_path.empty()) return spec.interface_path;
  return L"\\\\?\\STORAGE#Volume#" + spec.guid + L"#0000000000100000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
}

std::wstring device_path_of(const volume_spec& spec) {
  std::wstring name = volume_name_of(spec);
  name.pop_back();
  return name;
}

fake_device& add_volume(fake_machine& machine, const volume_spec& spec) {
  const std::wstring path = device_path_of(spec);
  if (spec.has_interface) {
    fake_interface i;
    i.path = interface_path_of(spec);
    i.passes = spec.passes;
    machine.volume_interfaces.push_back(i);
    machine.dos_devices[i.path.substr(4)] = {spec.device_name};
  }
  machine.dos_devices[path.substr(4)] = {spec.device_name};

  fake_volume v;
  v.name = volume_name_of(spec);
  v.info_errors = spec.info_errors;
  v.info = spec.info;
  v.free_error = spec.free_error;
  v.free = spec.free;
  v.mount_points = spec.mount_points;
  v.passes = spec.passes;
  machine.volumes.push_back(v);

  fake_device& d = machine.devices[path];
  d.accepted_access = spec.accepted_access;
  d.open_error = spec.open_error;
  d.replies[IOCTL_DISK_GET_LENGTH_INFO] = answer(reply_writer().u64(spec.length).done(), spec.length_error);
  d.replies[IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS] = answer(disk_extents_reply(spec.extents), spec.extents_error);
  if (spec.ntfs)
    d.replies[FSCTL_GET_NTFS_VOLUME_DATA] =
        answer(ntfs_data_reply(spec.ntfs_data, spec.ntfs_major, spec.ntfs_minor), 0);
  const std::wstring& mountdev = spec.mountdev_name.empty() ? spec.device_name : spec.mountdev_name;
  d.replies[IOCTL_MOUNTDEV_QUERY_DEVICE_NAME] = answer(mountdev_name_reply(mountdev), spec.mountdev_name_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_UNIQUE_ID] = answer(unique_id_reply(spec.unique_id), spec.unique_id_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_STABLE_GUID] =
      answer(reply_writer().guid(spec.stable_guid).done(), spec.stable_guid_error);
  d.replies[IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME] =
      answer(suggested_link_reply(spec.suggested_link, spec.link_only_if_no_other), spec.suggested_link_error);
  return d;
}

std::vector<uint8_t> disk_extents_reply(const std::vector<extent_spec>& extents) {
  reply_writer w;
  w.u32(uint32_t(extents.size())).u32(0);
  for (const extent_spec& e : extents) w.u32(e.disk).u32(0).u64(e.offset).u64(e.length);
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
