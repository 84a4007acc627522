#include "storage/location_summary.h"

#include "storage/drive_identify.h"
#include "storage/drive_kinds.h"
#include "storage/raid_levels.h"
#include "storage/volumes.h"
#include "support/format_string.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

const wchar_t separator[] = L"  \u00B7  ";
const wchar_t dash[] = L"\u2013";
constexpr uint32_t usb_bus = 7;
constexpr uint32_t smb_protocol = 0x00020000;  // WNNC_NET_SMB

void add(report_entries& facts, const std::string& key, const std::string& value) { facts.push_back({key, value}); }
void add_blank(report_entries& facts) { facts.push_back({"", ""}); }

std::wstring serial_text(uint32_t serial) { return format_string(L"%04X-%04X", serial >> 16, serial & 0xFFFF); }

void show_file_system(const volume_info& v, location_summary& s) {
  const bool ntfs_data = v.has_info && v.file_system == L"NTFS" && v.has_ntfs_data;
  if (!v.has_info) {
    s.file_system = L"<unknown>";
    add(s.storage_facts, "Volume.file_system", "?");
    return;
  }
  s.file_system = v.file_system;
  add(s.storage_facts, "Volume.file_system", to_utf8(v.file_system));
  if (!ntfs_data) return;
  s.file_system += separator + format_string(L"%u bytes/cluster", v.ntfs.bytes_per_cluster);
  add(s.storage_facts, "Volume.file_system.version",
      format_string("%hu.%hu", v.ntfs_major_version, v.ntfs_minor_version));
  add(s.storage_facts, "Volume.file_system.cluster", format_string("%u bytes", v.ntfs.bytes_per_cluster));
}

void show_volume(const volume_info& v, location_summary& s) {
  s.volume.clear();
  if (v.vds_matched) s.volume = std::wstring(vds_volume_type_label(v.vds_volume_type)) + separator;
  s.volume += v.has_info ? serial_text(v.serial_number) : L"?";
  add(s.storage_facts, "Volume.type", v.vds_matched ? to_utf8(vds_volume_type_label(v.vds_volume_type)) : "-");
  add_blank(s.storage_facts);
}

const stack_entry* entry_of_disk(const storage_stack& model, uint32_t disk) {
  for (const stack_entry& e : model.stack)
    if (e.drive && e.drive->device_number == disk) return &e;
  return nullptr;
}

// An array names its level, its label and its drives: "RAID 1 [Volume0]  ·  A + B + C (spare)".
std::wstring array_text(const stack_entry& entry) {
  const raid_volume& v = *entry.raid;
  std::string text = raid_level_label(v.raid_level);
  if (!v.label.empty()) text += " [" + v.label + "]";
  std::string members;
  for (const phy_drive* p : entry.members) {
    if (!members.empty()) members += " + ";
    members += normalize_phy_names(*p).model;
    for (uint32_t spare : v.spares)
      if (spare == p->number) {
        members += " (spare)";
        break;
      }
  }
  if (!members.empty()) text += to_utf8(separator) + members;
  return from_utf8(text);
}

void show_drive(const stack_entry& entry, location_summary& s) {
  const drive_info& d = *entry.drive;
  const display_names names = normalize_drive_names(d);
  report_entries& f = s.storage_facts;
  add(f, "Device.type", to_utf8(device_kind_label(stack_entry_kind(entry))));
  add(f, "Device.vendor", names.vendor);
  add(f, "Device.model", names.model);
  add(f, "Device.bus", format_string("%u / %u", d.adapter_bus_type, d.bus_type));
  s.device = from_utf8(names.vendor) + separator + from_utf8(names.model);
  if (d.bus_type == usb_bus) {
    const std::wstring label = usb_speed_label(d.usb_speed);
    if (d.usb_speed != 0) s.device += separator + label;
    add(f, "Device.usb", to_utf8(label));
  }
  s.controller = d.controller_name;
  if (s.controller.empty() && entry.controller) s.controller = from_utf8(entry.controller->description);
  if (entry.raid) s.controller += (s.controller.empty() ? L"" : std::wstring(separator)) + array_text(entry);
  s.selected_drive = &d;
}

void show_device(const storage_stack& model, const volume_info& v, location_summary& s) {
  std::vector<uint32_t> disks;
  if (v.nt_device_name.compare(0, 23, L"\\Device\\TrueCryptVolume") == 0) {
    s.device = L"TrueCrypt container";
    add(s.storage_facts, "Device.type", "TrueCrypt mount");
  } else if (drive_disk_numbers(v, disks)) {
    if (const stack_entry* e = entry_of_disk(model, disks.front())) show_drive(*e, s);
  } else if (v.is_ram_disk) {
    s.device = L"RAM disk";
    add(s.storage_facts, "Device.type", to_utf8(device_kind_label(kind_ram_device)));
    add(s.storage_facts, "Device.vendor", "SoftPerfect (?)");
    add(s.storage_facts, "Device.model", "RamDisk (?)");
  }
  if (!s.controller.empty()) add(s.storage_facts, "Device.controller", to_utf8(s.controller));
}

}  // namespace

location_summary show_local_location(const storage_stack& model, size_t volume_index, const std::wstring& os_name) {
  location_summary s;
  const volume_info& v = model.volumes.at(volume_index);
  s.selected_volume = &v;
  show_file_system(v, s);
  show_volume(v, s);
  s.device = L"?";
  s.controller = dash;
  show_device(model, v, s);
  s.host_os = os_name;
  return s;
}

location_summary show_network_location(const std::wstring& file_system, uint32_t serial, const share_info& share) {
  location_summary s;
  s.file_system = file_system;
  s.volume = serial_text(serial);
  s.device = L"Remote network share";
  s.controller = dash;
  s.host_os = dash;
  report_entries& f = s.storage_facts;
  add(f, "Volume.file_system", to_utf8(file_system));
  add(f, "Volume.type", "-");
  add_blank(f);
  add(f, "Device.type", to_utf8(device_kind_label(kind_network_share)));
  std::string protocol = share.protocol == 0              ? "-"
                         : share.protocol == smb_protocol ? "SMB"
                                                          : format_string("%08X", share.protocol);
  protocol += format_string(" %u.%u.%u", share.major, share.minor, share.revision);
  add(f, "Share.protocol", protocol);
  return s;
}

location_summary fallback_summary(const std::wstring& file_system) {
  location_summary s;
  s.file_system = s.volume = s.device = s.controller = s.host_os = dash;
  add(s.storage_facts, "Volume.file_system", to_utf8(file_system));
  add(s.storage_facts, "Volume.type", "-");
  add_blank(s.storage_facts);
  add(s.storage_facts, "Device.type", "?");
  return s;
}

location_summary refresh_summary(location_api& api, const storage_stack* model, const std::wstring& location) {
  if (!model) return fallback_summary(L"");
  const parsed_path parsed = parse_path(location);
  if (parsed.kind != path_kind_drive && parsed.kind != path_kind_unc) return fallback_summary(L"");
  std::wstring root, file_system;
  uint32_t serial = 0;
  if (!api.exists(location) || !api.volume_path_name(location, root) || !api.volume_identity(root, serial, file_system))
    return fallback_summary(file_system);
  if (parsed.kind == path_kind_unc || api.is_remote_drive(root))
    return show_network_location(file_system, serial, api.remote_protocol(location));
  for (size_t i = 0; i < model->volumes.size(); ++i)
    if (model->volumes[i].serial_number == serial) return show_local_location(*model, i, api.os_name());
  return fallback_summary(file_system);
}

std::vector<std::wstring> location_roots(const storage_stack& model) {
  std::vector<std::wstring> roots;
  const uint32_t mask = volume_letters_mask(model);
  for (int n = 0; n < 26; ++n)
    if (mask & (1u << n)) roots.push_back(std::wstring(1, wchar_t(L'A' + n)) + L":\\");
  return roots;
}
