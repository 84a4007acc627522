#include "usb_replies.h"

#include <cstring>
#include <memory>

namespace {
constexpr DWORD node_information = 0x220408, connection_information = 0x220448, hub_capabilities = 0x220450,
                hub_information = 0x220454, connection_information_v2 = 0x22045C;

void hub_descriptor(reply_writer& w, uint8_t ports) {
  w.u8(ports > 4 ? 12 : 9).u8(0x2A).u8(ports).u16(0x0009).u8(50).u8(0).zeros(64);
}

fake_reply answer(const fake_usb_port& p, DWORD code, const uint8_t* in, DWORD size) {
  uint32_t asked_port = 0;
  if (size >= 4) std::memcpy(&asked_port, in, 4);
  reply_writer w;
  switch (code) {
    case node_information:
      if (p.node_error) return {{}, p.node_error};
      w.u32(0);
      hub_descriptor(w, 4);
      return {w.u8(0).done(), 0};
    case hub_information:
      if (p.hub_info_error) return {{}, p.hub_info_error};
      w.u32(p.hub_type).u16(4);
      hub_descriptor(w, 4);
      return {w.done(), 0};
    case hub_capabilities:
      if (p.hub_capabilities_error) return {{}, p.hub_capabilities_error};
      return {w.u32(p.hub_type >= 2 ? 3 : 0).done(), 0};
    case connection_information:
      if (p.connection_error) return {{}, p.connection_error};
      if (asked_port != p.port) return {{}, ERROR_INVALID_PARAMETER};
      w.u32(p.port).u8(18).u8(1).u16(p.bcd_usb).u8(0).u8(0).u8(0).u8(9).u16(p.vendor).u16(p.product).u16(0x0100);
      w.u8(2).u8(3).u8(1).u8(1).u8(1).u8(p.speed).u8(0).u16(5).u32(2).u32(1);
      for (uint8_t endpoint : {0x81, 0x02}) w.u8(7).u8(5).u8(endpoint).u8(2).u16(1024).u8(0).u32(0);
      return {w.done(), 0};
    case connection_information_v2:
      if (p.v2_error) return {{}, p.v2_error};
      if (asked_port != p.port) return {{}, ERROR_INVALID_PARAMETER};
      return {w.u32(p.port).u32(16).u32(p.supported_protocols).u32(p.flags).done(), 0};
  }
  return {{}, ERROR_INVALID_FUNCTION};
}
}  // namespace

std::wstring hub_interface_path(const std::wstring& hub_instance_id) {
  std::wstring mangled = hub_instance_id;
  for (wchar_t& c : mangled)
    if (c == L'\\') c = L'#';
  return L"\\\\?\\" + mangled + L"#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
}

void add_usb_port(fake_machine& machine, const fake_disk& disk, const fake_usb_port& port) {
  fake_node& device = machine.nodes.at(parent_devinst(disk));
  device.has_address = true;
  device.address = port.port;
  fake_device& hub = machine.devices[hub_interface_path(disk.above_parent.at(0).id)];
  hub.accepted_access = {GENERIC_WRITE};
  auto p = std::make_shared<const fake_usb_port>(port);
  hub.handler = [p](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    reply = answer(*p, code, in, size);
    return true;
  };
}
