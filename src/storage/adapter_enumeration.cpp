#include <windows.h>
#include <setupapi.h>

#include "storage/controllers.h"
#include "storage/device_properties.h"
#include "support/text.h"

// 2accfe60-c130-11d2-b082-00a0c91efb8b
const GUID storage_port_interface_class = {
    0x2accfe60, 0xc130, 0x11d2, {0xb0, 0x82, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};

namespace {
void enumerate_one(device_api& api, device_query& query, api_handle set, DWORD index,
                   std::vector<controller_info>& adapters) {
  controller_info c;
  DWORD devinst = 0, error = 0;
  if (!api.interface_detail(set, index, c.interface_path, devinst, error)) {
    query.errors()->report_api_error("SetupDiGetDeviceInterfaceDetail", error, "%lu", (unsigned long)index);
    return;
  }
  indenting_logger* log = query.log();
  log->log(2, "%2zu. %s\n", size_t(index) + 1, to_utf8(c.interface_path).c_str());
  log->indent(4);
  std::wstring id;
  if (!api.device_id(devinst, id, error)) {
    query.errors()->report_api_error("CM_Get_Device_ID", error, "%lu", (unsigned long)index);
    return;
  }
  c.instance_id = lower_text(id);
  log->log(2, "Device                       %s\n", to_utf8(c.instance_id).c_str());
  std::wstring name;
  if (interface_registry_text(api, set, index, SPDRP_FRIENDLYNAME, name)) {
    log->log(2, "Friendly name                %s\n", to_utf8(name).c_str());
    c.description = to_utf8(name);
  } else if (interface_registry_text(api, set, index, SPDRP_DEVICEDESC, name)) {
    log->log(2, "Description                  %s\n", to_utf8(name).c_str());
    c.description = to_utf8(name);
  }
  adapters.push_back(std::move(c));
}
}  // namespace

bool enumerate_adapters(device_api& api, std::vector<controller_info>& adapters, indenting_logger* log) {
  log->log(2, "Enumerating SCSI adapters...\n");
  device_query query(api, log);
  api_handle set = 0;
  DWORD error = 0;
  if (!api.open_interface_set(storage_port_interface_class, set, error)) {
    query.errors()->report_api_error("SetupDiGetClassDevs", error);
    return false;
  }
  const LONG base = log->indentation();
  for (DWORD index = 0; api.has_interface(set, index); ++index) {
    enumerate_one(api, query, set, index, adapters);
    if (log->indentation() > base) log->unindent(int(log->indentation() - base));
  }
  api.close_interface_set(set);
  return true;
}
