#pragma once

#include <cstddef>
#include <cstdint>

// The USB hub requests and their replies, declared from the documented usbioctl.h structures
// (byte-packed). None holds a pointer, so both builds share every size.

constexpr uint32_t ioctl_usb_get_node_information = 0x220408;                   // USB_GET_NODE_INFORMATION
constexpr uint32_t ioctl_usb_get_node_connection_information_ex = 0x220448;     // 274
constexpr uint32_t ioctl_usb_get_hub_capabilities_ex = 0x220450;                // 276
constexpr uint32_t ioctl_usb_get_hub_information_ex = 0x220454;                 // 277
constexpr uint32_t ioctl_usb_get_node_connection_information_ex_v2 = 0x22045C;  // 279

// GUID_DEVINTERFACE_USB_HUB, as the tail of a hub's interface path.
constexpr wchar_t usb_hub_interface_suffix[] = L"#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

#pragma pack(push, 1)
// USB_HUB_DESCRIPTOR
struct usb_hub_descriptor {
  uint8_t length;
  uint8_t descriptor_type;
  uint8_t number_of_ports;
  uint16_t hub_characteristics;
  uint8_t power_on_to_power_good;
  uint8_t hub_control_current;
  uint8_t remove_and_power_mask[64];
};

// USB_NODE_INFORMATION with the hub information of its union.
struct usb_node_information {
  uint32_t node_type;  // 0 hub, 1 composite device
  usb_hub_descriptor hub_descriptor;
  uint8_t hub_is_bus_powered;
};

// USB_HUB_INFORMATION_EX with the USB 2.0 hub descriptor of its union.
struct usb_hub_information_ex {
  uint32_t hub_type;  // 1 root hub, 2 USB 2.0 hub, 3 USB 3.0 hub
  uint16_t highest_port_number;
  usb_hub_descriptor hub_descriptor;
};

// USB_HUB_CAPABILITIES_EX
struct usb_hub_capabilities_ex {
  uint32_t flags;  // bit 0 high speed capable, bit 1 high speed
};

// USB_DEVICE_DESCRIPTOR
struct usb_device_descriptor {
  uint8_t length;
  uint8_t descriptor_type;
  uint16_t bcd_usb;
  uint8_t device_class;
  uint8_t device_subclass;
  uint8_t device_protocol;
  uint8_t max_packet_size0;
  uint16_t vendor_id;
  uint16_t product_id;
  uint16_t bcd_device;
  uint8_t manufacturer_index;
  uint8_t product_index;
  uint8_t serial_number_index;
  uint8_t number_of_configurations;
};

// USB_PIPE_INFO
struct usb_pipe_info {
  uint8_t endpoint_descriptor[7];
  uint32_t schedule_offset;
};

constexpr size_t usb_pipes_asked = 30;

// USB_NODE_CONNECTION_INFORMATION_EX with room for 30 open pipes.
struct usb_node_connection_information_ex {
  uint32_t connection_index;
  usb_device_descriptor device_descriptor;
  uint8_t current_configuration_value;
  uint8_t speed;  // 0 low, 1 full, 2 high, 3 SuperSpeed
  uint8_t device_is_hub;
  uint16_t device_address;
  uint32_t number_of_open_pipes;
  uint32_t connection_status;
  usb_pipe_info pipes[usb_pipes_asked];
};

// USB_NODE_CONNECTION_INFORMATION_EX_V2
struct usb_node_connection_information_ex_v2 {
  uint32_t connection_index;
  uint32_t length;
  uint32_t supported_usb_protocols;  // bit 0 USB 1.1, bit 1 USB 2.0, bit 2 USB 3.0
  uint32_t flags;  // bit 0 at SuperSpeed, 1 SuperSpeed capable, 2 at SuperSpeed+, 3 SuperSpeed+ capable
};
#pragma pack(pop)
static_assert(sizeof(usb_hub_descriptor) == 71, "USB_HUB_DESCRIPTOR");
static_assert(sizeof(usb_node_information) == 76, "USB_NODE_INFORMATION");
static_assert(sizeof(usb_hub_information_ex) == 77, "USB_HUB_INFORMATION_EX");
static_assert(sizeof(usb_hub_capabilities_ex) == 4, "USB_HUB_CAPABILITIES_EX");
static_assert(sizeof(usb_device_descriptor) == 18, "USB_DEVICE_DESCRIPTOR");
static_assert(sizeof(usb_pipe_info) == 11, "USB_PIPE_INFO");
static_assert(offsetof(usb_node_connection_information_ex, pipes) == 35, "USB_NODE_CONNECTION_INFORMATION_EX");
static_assert(sizeof(usb_node_connection_information_ex) == 365, "USB_NODE_CONNECTION_INFORMATION_EX");
static_assert(sizeof(usb_node_connection_information_ex_v2) == 16, "USB_NODE_CONNECTION_INFORMATION_EX_V2");

constexpr uint32_t usb_protocol_110 = 1, usb_protocol_200 = 2, usb_protocol_300 = 4;
constexpr uint32_t usb_at_super_speed = 1, usb_super_speed_capable = 2, usb_at_super_speed_plus = 4,
                   usb_super_speed_plus_capable = 8;
