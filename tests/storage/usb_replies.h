#pragma once

#include <cstdint>
#include <string>

#include "drive_replies.h"
#include "fake_machine.h"

// The hub a USB disk hangs on: the disk's USB device node gets its port as address, the node
// above it is the hub, and the hub's interface answers the hub requests for that port.
struct fake_usb_port {
  DWORD port = 3;
  uint16_t vendor = 0x174C, product = 0x55AA, bcd_usb = 0x0320;
  uint8_t speed = 3;                 // USB_CONNECTION_SPEED now: SuperSpeed
  uint32_t supported_protocols = 7;  // USB 1.1, 2.0 and 3.0
  uint32_t flags = 3;                // at SuperSpeed, SuperSpeed capable
  uint32_t hub_type = 3;             // a USB 3.0 hub
  DWORD node_error = 0, hub_info_error = 0, hub_capabilities_error = 0, connection_error = 0, v2_error = 0;
};

// The disk must list its hub as the first node above its parent (fake_disk::above_parent).
void add_usb_port(fake_machine& machine, const fake_disk& disk, const fake_usb_port& port);
std::wstring hub_interface_path(const std::wstring& hub_instance_id);
