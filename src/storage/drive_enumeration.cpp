#include <windows.h>
#include <initguid.h>
#include <devpkey.h>
#include <setupapi.h>

#include <cstring>
#include <cwchar>
#include <cwctype>

#include "storage/device_properties.h"
#include "storage/drive_ioctls.h"
#include "storage/drive_steps.h"
#include "storage/drives.h"
#include "support/text.h"

namespace {
struct enumeration {
  device_api& api;
  device_query& query;
  indenting_logger* log;
  api_handle set;
};

std::string utf8(const std::wstring& text) { return to_utf8(text); }

bool registry_text(enumeration& e, DWORD index, DWORD property, std::wstring& text) {
  return interface_registry_text(e.api, e.set, index, property, text);
}

void read_names(enumeration& e, DWORD index, drive_info& drive) {
  std::wstring text;
  if (registry_text(e, index, SPDRP_FRIENDLYNAME, text)) {
    e.log->log(2, "Friendly name                %s\n", utf8(text).c_str());
    drive.description = text;
  }
  if (registry_text(e, index, SPDRP_DEVICEDESC, text)) {
    e.log->log(2, "Description                  %s\n", utf8(text).c_str());
    if (drive.description.empty()) drive.description = text;
  }
}

void log_removal_policy(enumeration& e, DWORD index) {
  std::vector<uint8_t> value;
  if (!e.api.registry_property(e.set, index, SPDRP_REMOVAL_POLICY, value) || value.size() < 4) return;
  uint32_t policy;
  std::memcpy(&policy, value.data(), 4);
  static const char* const names[] = {"No removal", "Orderly", "Surprise"};
  if (policy >= 1 && policy <= 3) e.log->log(2, "RemovalPolicy                %s\n", names[policy - 1]);
  else e.log->log(2, "RemovalPolicy                [%u]\n", unsigned(policy));
}

// "pci\ven_XXXX&dev_XXXX" or "usb\vid_XXXX&pid_XXXX", nothing shorter or padded.
void parse_parent_ids(drive_info& drive) {
  static const wchar_t* const patterns[] = {L"pci\\ven_%04hx&dev_%04hx%n", L"usb\\vid_%04hx&pid_%04hx%n"};
  for (const wchar_t* pattern : patterns) {
    unsigned short vendor = 0, product = 0;
    int consumed = 0;
    if (std::swscanf(drive.parent_instance_id.c_str(), pattern, &vendor, &product, &consumed) == 2 && consumed == 21) {
      drive.parent_vendor_id = vendor;
      drive.parent_product_id = product;
      return;
    }
  }
}

// A USB disk's parent is only the mass storage function; the host controller is further up.
bool usb_controller_name(device_api& api, DWORD node, std::wstring& name) {
  for (;;) {
    std::wstring value;
    if (!api.node_property(node, DEVPKEY_Device_Class, value) || value != L"USB") return false;
    if (!api.node_property(node, DEVPKEY_Device_DeviceDesc, value)) return false;
    if (value.find(L"ontroller") != std::wstring::npos) {
      name = value;
      return true;
    }
    DWORD parent = 0, error = 0;
    if (!api.parent_node(node, parent, error)) return false;
    node = parent;
  }
}

void read_parent_properties(enumeration& e, drive_info& drive) {
  static const struct {
    const DEVPROPKEY* key;
    const char* line;
  } properties[] = {
      {&DEVPKEY_Device_FriendlyName, "Friendly name              %s\n"},
      {&DEVPKEY_Device_DeviceDesc, "Description                %s\n"},
      {&DEVPKEY_Device_Manufacturer, "Manufacturer               %s\n"},
      {&DEVPKEY_Device_Driver, "Driver                     %s\n"},
      {&DEVPKEY_Device_LocationInfo, "Location info              %s\n"},
  };
  e.log->indent(2);
  for (const auto& p : properties) {
    std::wstring value;
    if (!e.api.node_property(drive.parent_devinst, *p.key, value)) continue;
    e.log->log(2, p.line, utf8(value).c_str());
    if (p.key == &DEVPKEY_Device_DeviceDesc) drive.controller_name = value;
  }
  std::wstring usb;
  if (drive.controller_name == L"USB Mass Storage Device" && usb_controller_name(e.api, drive.parent_devinst, usb)) {
    drive.controller_name = usb;
    e.log->log(2, "USB controller             %s\n", utf8(usb).c_str());
  }
  e.log->unindent(2);
}

void read_parent(enumeration& e, DWORD devinst, drive_info& drive) {
  DWORD parent = 0, error = 0;
  if (!e.api.parent_node(devinst, parent, error)) {
    e.query.errors()->report_api_error("CM_Get_Parent", error);
    return;
  }
  drive.parent_devinst = parent;
  std::wstring id;
  if (!e.api.device_id(parent, id, error)) {
    e.query.errors()->report_api_error("CM_Get_Device_ID", error);
    return;
  }
  drive.parent_instance_id = lower_text(id);
  e.log->log(2, "Parent                       %s\n", utf8(drive.parent_instance_id).c_str());
  parse_parent_ids(drive);
  if (e.api.has_node_properties()) read_parent_properties(e, drive);
}

bool read_device_number(enumeration& e, drive_info& drive) {
  api_handle opened = 0;
  DWORD error = 0;
  if (!e.api.create_file(drive.interface_path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                         0, opened, error)) {
    e.query.errors()->report_api_error("CreateFile", error, drive.interface_path.c_str());
    return false;
  }
  scoped_api_handle h(e.api, opened);
  device_number_reply reply{};
  DWORD returned = 0;
  if (!e.query.ioctl(h.get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, "IOCTL_STORAGE_GET_DEVICE_NUMBER", nullptr, 0, &reply,
                     sizeof reply, returned) ||
      !e.query.check_response_size(returned, sizeof reply, sizeof reply))
    return false;
  h.reset();
  e.log->log_indented(2, 2, "DeviceType                 %u\n", unsigned(reply.device_type));
  e.log->log_indented(2, 2, "DeviceNumber               %u\n", unsigned(reply.device_number));
  e.log->log_indented(2, 2, "PartitionNumber            %u\n", unsigned(reply.partition_number));
  drive.device_number = reply.device_number;
  wchar_t path[40];
  std::swprintf(path, 40, L"\\\\.\\PhysicalDrive%lu", (unsigned long)reply.device_number);
  drive.device_path = path;
  e.log->log(2, "DevicePath                   %s\n", utf8(drive.device_path).c_str());
  return true;
}

void read_dos_device(enumeration& e, drive_info& drive) {
  const std::wstring name = L"PhysicalDrive" + std::to_wstring(drive.device_number);
  std::vector<std::wstring> targets;
  DWORD error = 0;
  if (!e.api.query_dos_device(name, 1024, targets, error)) {
    e.query.errors()->report_api_error("QueryDosDevice", error, name.c_str());
    return;
  }
  if (!targets.empty()) drive.msdos_device = targets[0];
  e.log->log(2, "MsDosDevice                  %s\n", utf8(drive.msdos_device).c_str());
}

bool is_acronis(const drive_info& drive) {
  static const wchar_t prefix[] = L"acronisvbus\\virtualdisk";
  return lower_text(drive.instance_id.substr(0, wcslen(prefix))) == prefix;
}

void enumerate_one(enumeration& e, DWORD index, std::vector<drive_info>& drives) {
  drive_info drive;
  DWORD devinst = 0, error = 0;
  if (!e.api.interface_detail(e.set, index, drive.interface_path, devinst, error)) {
    e.query.errors()->report_api_error("SetupDiGetDeviceInterfaceDetail", error, "%lu", (unsigned long)index);
    return;
  }
  e.log->log(2, "%2zu. %s\n", size_t(index) + 1, utf8(drive.interface_path).c_str());
  e.log->indent(4);
  std::wstring id;
  if (!e.api.device_id(devinst, id, error)) {
    e.query.errors()->report_api_error("CM_Get_Device_ID", error, "%lu", (unsigned long)index);
    return;
  }
  drive.instance_id = lower_text(id);
  e.log->log(2, "Device                       %s\n", utf8(drive.instance_id).c_str());
  read_names(e, index, drive);
  log_removal_policy(e, index);
  read_parent(e, devinst, drive);
  if (!read_device_number(e, drive)) return;
  read_dos_device(e, drive);
  if (is_acronis(drive)) {
    e.log->log(2, "** Acronis virtual disk -- ignored\n");
    return;
  }
  drives.push_back(std::move(drive));
}
}  // namespace

bool enumerate_drives(device_api& api, std::vector<drive_info>& drives, indenting_logger* log) {
  device_query query(api, log);
  api_handle set = 0;
  DWORD error = 0;
  if (!api.open_interface_set(disk_interface_class, set, error)) {
    query.errors()->report_api_error("SetupDiGetClassDevs", error);
    return false;
  }
  enumeration e{api, query, log, set};
  const LONG base = log->indentation();
  for (DWORD index = 0; api.has_interface(set, index); ++index) {
    enumerate_one(e, index, drives);
    if (log->indentation() > base) log->unindent(int(log->indentation() - base));
  }
  api.close_interface_set(set);
  return true;
}
