// Our declarations of the USB hub requests against the system headers' own, in both builds. The
// Windows 8 requests are declared there only for that target.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#undef NTDDI_VERSION
#define NTDDI_VERSION 0x06020000
#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>

#include <cstddef>

#include "storage/usb_requests.h"

static_assert(sizeof(usb_hub_descriptor) == sizeof(USB_HUB_DESCRIPTOR), "USB_HUB_DESCRIPTOR");
static_assert(sizeof(usb_node_information) == sizeof(USB_NODE_INFORMATION), "USB_NODE_INFORMATION");
static_assert(sizeof(usb_hub_information_ex) == sizeof(USB_HUB_INFORMATION_EX), "USB_HUB_INFORMATION_EX");
static_assert(sizeof(usb_hub_capabilities_ex) == sizeof(USB_HUB_CAPABILITIES_EX), "USB_HUB_CAPABILITIES_EX");
static_assert(sizeof(usb_device_descriptor) == sizeof(USB_DEVICE_DESCRIPTOR), "USB_DEVICE_DESCRIPTOR");
static_assert(sizeof(usb_pipe_info) == sizeof(USB_PIPE_INFO), "USB_PIPE_INFO");
static_assert(offsetof(usb_node_connection_information_ex, pipes) ==
                  offsetof(USB_NODE_CONNECTION_INFORMATION_EX, PipeList),
              "USB_NODE_CONNECTION_INFORMATION_EX.PipeList");
static_assert(offsetof(usb_node_connection_information_ex, speed) ==
                  offsetof(USB_NODE_CONNECTION_INFORMATION_EX, Speed),
              "USB_NODE_CONNECTION_INFORMATION_EX.Speed");
static_assert(sizeof(usb_node_connection_information_ex_v2) == sizeof(USB_NODE_CONNECTION_INFORMATION_EX_V2),
              "USB_NODE_CONNECTION_INFORMATION_EX_V2");
static_assert(ioctl_usb_get_node_information == IOCTL_USB_GET_NODE_INFORMATION, "IOCTL_USB_GET_NODE_INFORMATION");
static_assert(ioctl_usb_get_node_connection_information_ex == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX,
              "IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX");
static_assert(ioctl_usb_get_hub_capabilities_ex == IOCTL_USB_GET_HUB_CAPABILITIES_EX,
              "IOCTL_USB_GET_HUB_CAPABILITIES_EX");
static_assert(ioctl_usb_get_hub_information_ex == IOCTL_USB_GET_HUB_INFORMATION_EX, "IOCTL_USB_GET_HUB_INFORMATION_EX");
static_assert(ioctl_usb_get_node_connection_information_ex_v2 == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2,
              "IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2");
