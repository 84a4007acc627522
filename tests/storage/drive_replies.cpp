#include "drive_replies.h"

#include <windows.h>
#include <initguid.h>
#include <devpkey.h>
#include <setupapi.h>
#include <winioctl.h>

#include <algorithm>

#include "storage/drives.h"

#ifndef IOCTL_SCSI_GET_INQUIRY_DATA
#define IOCTL_SCSI_GET_INQUIRY_DATA CTL_CODE(FILE_DEVICE_CONTROLLER, 0x0403, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif
#ifndef IOCTL_SCSI_GET_ADDRESS
#define IOCTL_SCSI_GET_ADDRESS CTL_CODE(FILE_DEVICE_CONTROLLER, 0x0406, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif

const GUID basic_data_type = {0xebd0a0a2, 0xb9e5, 0x4433, {0x87, 0xc0, 0x68, 0xb6, 0xb7, 0x26, 0x99, 0xc7}};

GUID test_guid(uint32_t first) { return {first, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}}; }

std::wstring disk_interface_path(const fake_disk& disk) {
  if (!disk.interface_path.empty()) return disk.interface_path;
  return L"\\\\?\\scsi#disk&ven_&prod_st1000dm003-1er1#4&2a0c7e1&0&00000" + std::to_wstring(disk.number) +
         L"#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
}
DWORD disk_devinst(const fake_disk& disk) { return 1000 + disk.number * 10; }
DWORD parent_devinst(const fake_disk& disk) { return disk_devinst(disk) + 1; }

namespace {
std::wstring device_path(const fake_disk& disk) { return L"\\\\.\\PhysicalDrive" + std::to_wstring(disk.number); }

fake_reply ok(std::vector<uint8_t> bytes) { return fake_reply{std::move(bytes), 0}; }

void put_string(reply_writer& w, size_t offset_field, const std::string& text) {
  if (text.empty()) return;
  w.patch32(offset_field, uint32_t(w.size()));
  w.text(text);
}

std::vector<uint8_t> flag_reply(uint8_t flag) { return reply_writer().u32(12).u32(12).u8(flag).zeros(3).done(); }

}  // namespace

std::vector<uint8_t> inquiry_reply() {
  reply_writer w;
  w.u8(1).zeros(3);                // one bus
  w.u8(1).u8(0).zeros(2).u32(12);  // one unit, initiator 0, units from offset 12
  w.u8(0).u8(0).u8(0).u8(1).u32(8).u32(0);
  w.u8(0).u8(0).u8(5).u8(2).text("ATA ", false);
  return w.done();
}

namespace {
void add_nodes(fake_machine& machine, const fake_disk& disk) {
  const DWORD parent = parent_devinst(disk);
  machine.nodes[disk_devinst(disk)] = fake_node{disk.instance_id, parent, 0, {}};
  fake_node& p = machine.nodes[parent];
  p.id = disk.parent_id;
  p.parent = disk.above_parent.empty() ? 0 : parent + 1;
  const std::pair<const DEVPROPKEY*, const std::wstring*> props[] = {
      {&DEVPKEY_Device_Class, &disk.parent_class},     {&DEVPKEY_Device_FriendlyName, &disk.parent_friendly_name},
      {&DEVPKEY_Device_DeviceDesc, &disk.parent_desc}, {&DEVPKEY_Device_Manufacturer, &disk.parent_manufacturer},
      {&DEVPKEY_Device_Driver, &disk.parent_driver},   {&DEVPKEY_Device_LocationInfo, &disk.parent_location},
  };
  for (const auto& prop : props)
    if (!prop.second->empty()) p.properties.push_back({*prop.first, *prop.second});
  for (size_t i = 0; i < disk.above_parent.size(); ++i) {
    const fake_upper_node& n = disk.above_parent[i];
    const DWORD devinst = parent + 1 + DWORD(i);
    fake_node node{n.id, i + 1 < disk.above_parent.size() ? devinst + 1 : 0, 0, {}};
    node.properties.push_back({DEVPKEY_Device_Class, n.device_class});
    node.properties.push_back({DEVPKEY_Device_DeviceDesc, n.description});
    machine.nodes[devinst] = node;
  }
}

void add_interface(fake_machine& machine, const fake_disk& disk) {
  fake_interface i;
  i.path = disk_interface_path(disk);
  i.devinst = disk_devinst(disk);
  if (!disk.friendly_name.empty()) i.registry[SPDRP_FRIENDLYNAME] = reg_string(disk.friendly_name);
  if (!disk.device_desc.empty()) i.registry[SPDRP_DEVICEDESC] = reg_string(disk.device_desc);
  if (disk.removal_policy) i.registry[SPDRP_REMOVAL_POLICY] = reg_dword(disk.removal_policy);
  machine.disk_interfaces.push_back(i);
  fake_device& d = machine.devices[i.path];
  d.accepted_access = {FILE_READ_ATTRIBUTES};
  d.replies[IOCTL_STORAGE_GET_DEVICE_NUMBER] = ok(reply_writer().u32(FILE_DEVICE_DISK).u32(disk.number).u32(0).done());
  if (!disk.msdos_device.empty())
    machine.dos_devices[L"PhysicalDrive" + std::to_wstring(disk.number)] = {disk.msdos_device};
}

void add_device_replies(fake_device& d, const fake_disk& disk) {
  d.accepted_access = disk.accepted_access;
  if (disk.descriptor) d.property_replies[0] = ok(device_descriptor_reply(disk));
  if (disk.adapter) d.property_replies[1] = ok(adapter_reply(disk));
  if (disk.device_ids) d.property_replies[2] = ok(device_id_reply(disk));
  if (disk.trim >= 0) d.property_replies[8] = ok(flag_reply(uint8_t(disk.trim)));
  if (disk.seek_penalty >= 0) d.property_replies[7] = ok(flag_reply(uint8_t(disk.seek_penalty)));
  if (disk.geometry) d.replies[IOCTL_DISK_GET_DRIVE_GEOMETRY_EX] = ok(geometry_reply(disk));
  if (disk.smart_version)
    d.replies[SMART_GET_VERSION] =
        ok(reply_writer().u8(1).u8(1).u8(0).u8(1).u32(disk.smart_capabilities).zeros(16).done());
  if (disk.layout != no_layout) d.replies[IOCTL_DISK_GET_DRIVE_LAYOUT_EX] = ok(layout_reply(disk));
  if (disk.scsi_address)
    d.replies[IOCTL_SCSI_GET_ADDRESS] =
        ok(reply_writer().u32(8).u8(disk.port).u8(disk.path).u8(disk.target).u8(disk.lun).done());
  if (!disk.diagnostics) return;
  d.replies[IOCTL_SCSI_GET_INQUIRY_DATA] = ok(inquiry_reply());
  d.replies[IOCTL_STORAGE_GET_HOTPLUG_INFO] = ok(reply_writer().u32(8).u8(0).u8(0).u8(0).u8(0).done());
  d.property_replies[5] = ok(reply_writer().u32(16).u32(16).u32(5).u8(1).u8(1).zeros(2).done());
}
}  // namespace

std::vector<uint8_t> device_descriptor_reply(const fake_disk& disk) {
  reply_writer w;
  w.u32(1).u32(0).u8(0).u8(0).u8(disk.removable ? 1 : 0).u8(1);
  w.u32(0).u32(0).u32(0).u32(0).u32(disk.bus_type).u32(uint32_t(disk.raw_properties.size()));
  w.bytes(disk.raw_properties.data(), disk.raw_properties.size());
  put_string(w, 12, disk.vendor);
  put_string(w, 16, disk.product);
  put_string(w, 20, disk.revision);
  put_string(w, 24, disk.serial);
  w.patch32(4, uint32_t(w.size()));
  return w.done();
}

std::vector<uint8_t> device_id_reply(const fake_disk& disk) {
  reply_writer w;
  w.u32(1).u32(0).u32(uint32_t(disk.ids.size()));
  for (const fake_device_id& id : disk.ids) {
    const size_t next = (16 + id.bytes.size() + 3) & ~size_t(3);
    const size_t start = w.size();
    w.u32(id.code_set).u32(id.type).u16(uint16_t(id.bytes.size())).u16(uint16_t(next)).u32(id.association);
    w.bytes(id.bytes.data(), id.bytes.size()).at(start + next);
  }
  w.patch32(4, uint32_t(w.size()));
  return w.done();
}

std::vector<uint8_t> adapter_reply(const fake_disk& disk) {
  reply_writer w;
  w.u32(1).u32(32).u32(disk.maximum_transfer).u32(33).u32(disk.alignment_mask);
  w.u8(0).u8(0).u8(1).u8(0).u8(uint8_t(disk.adapter_bus_type)).u8(0).u16(1).u16(0).u8(0).u8(0);
  return w.done();
}

std::vector<uint8_t> geometry_reply(const fake_disk& disk) {
  const uint64_t cylinder = 255ull * 63 * 512;
  reply_writer w;
  w.u64(disk.capacity / cylinder).u32(12).u32(255).u32(63).u32(512).u64(disk.capacity);
  w.bytes(disk.geometry_data.data(), disk.geometry_data.size());
  return w.done();
}

std::vector<uint8_t> layout_reply(const fake_disk& disk) {
  const bool mbr = disk.layout == mbr_layout;
  const size_t count = mbr ? std::max(disk.mbr_slots, disk.partitions.size()) : disk.partitions.size();
  reply_writer w;
  w.u32(uint32_t(disk.layout)).u32(uint32_t(count));
  if (mbr) w.u32(disk.mbr_signature).u32(0);
  else if (disk.layout == gpt_layout) w.guid(disk.disk_id).u64(17408).u64(disk.capacity - 17408 - 16896).u32(128);
  w.at(48);
  for (size_t i = 0; i < count; ++i) {
    fake_partition p;
    if (i < disk.partitions.size()) {
      p = disk.partitions[i];
    } else {
      p.number = 0;
      p.mbr_type = 0;
    }
    const size_t start = w.size();
    w.u32(mbr ? 0 : 1).u32(0).u64(p.offset).u64(p.length).u32(p.number).u8(1).u8(0).zeros(2);
    if (mbr) {
      w.u8(p.mbr_type).u8(p.boot ? 1 : 0).u8(p.mbr_type ? 1 : 0).u8(0).u32(p.hidden_sectors);
    } else {
      w.guid(p.gpt_type).guid(p.gpt_id).u64(p.gpt_attributes).wtext(p.gpt_name.substr(0, 36));
    }
    w.at(start + 144);
  }
  return w.done();
}

void add_disk(fake_machine& machine, const fake_disk& disk) {
  add_nodes(machine, disk);
  add_interface(machine, disk);
  add_device_replies(machine.devices[device_path(disk)], disk);
}

fake_device& disk_device(fake_machine& machine, const fake_disk& disk) { return machine.devices.at(device_path(disk)); }
