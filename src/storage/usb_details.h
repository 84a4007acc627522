#pragma once

#include <cstdint>

#include "storage/device_query.h"

// How a USB drive is connected: which protocols its device supports, the fastest speed it could
// reach and the speed it runs at now. Masks: 1 low, 2 full, 4 high, 8 SuperSpeed, 16 SuperSpeed+.
struct usb_connection {
  uint32_t supported = 0;
  uint32_t capable = 0;
  uint32_t speed = 0;
};

// Walks from the drive's USB device node to its hub and asks the hub about the device's port.
// Every failure is reported through the query; the masks keep what was learned before it.
usb_connection query_usb_details(device_query& query, DWORD usb_device_node);
