#include "storage/usb_details.h"

#include <cstring>
#include <string>

#include "storage/usb_requests.h"
#include "support/text.h"

namespace {
// Version indexes from which the hub requests exist: the capabilities from Windows 7, the hub
// information and the V2 port query from Windows 8 (workstation indexes; below them the walk
// leaves the request out).
constexpr int windows_7_index = 7, windows_8_index = 9;

// The speed mask of a connection's USB_CONNECTION_SPEED.
const uint32_t speed_masks[] = {1, 2, 4, 8};

class hub_walk {
 public:
  explicit hub_walk(device_query& q) : q_(q), log_(q.log()) {}

  usb_connection run(DWORD device_node) {
    log_->log(2, "--- USB connection details ---\n");
    log_->indent(2);
    DWORD port = 0;
    std::wstring hub_path;
    if (!find_hub(device_node, port, hub_path)) return result_;
    api_handle opened = 0;
    DWORD error = 0;
    if (!q_.api().create_file(hub_path, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING, 0, opened, error)) {
      q_.errors()->report_api_error("CreateFile", error, hub_path.c_str());
      return result_;
    }
    scoped_api_handle hub(q_.api(), opened);
    log_->unindent(2);
    // A hub that does not answer for itself is not asked about the port.
    if (!node_information(hub.get()) || !hub_information(hub.get()) || !hub_capabilities(hub.get())) return result_;
    connection_information(hub.get(), port);
    connection_information_v2(hub.get(), port);
    if (result_.capable == 0) result_.capable = fastest_supported(result_.supported);
    return result_;
  }

 private:
  // The port is the device's address on its parent, the hub; the hub's interface path is made
  // from its device instance ID.
  bool find_hub(DWORD device_node, DWORD& port, std::wstring& hub_path) {
    DWORD error = 0;
    if (!q_.api().node_address(device_node, port, error)) {
      q_.errors()->report_api_error("CM_Get_Address", error);
      return false;
    }
    log_->log(2, "Port on the hub            %u\n", unsigned(port));
    DWORD hub_node = 0;
    if (!q_.api().parent_node(device_node, hub_node, error)) {
      q_.errors()->report_api_error("CM_Get_Parent", error);
      return false;
    }
    std::wstring hub_id;
    if (!q_.api().device_id(hub_node, hub_id, error)) {
      q_.errors()->report_api_error("CM_Get_Device_ID", error);
      return false;
    }
    std::wstring mangled = hub_id;
    for (wchar_t& c : mangled)
      if (c == L'\\') c = L'#';
    hub_path = L"\\\\?\\" + mangled + usb_hub_interface_suffix;
    log_->log(2, "Hub device ID              %s\n", to_utf8(hub_id).c_str());
    return true;
  }

  // One hub request: named, timed, failures reported with the control code (and the port).
  template <typename T>
  bool request(api_handle hub, uint32_t code, const char* name, T& io, size_t minimum, long port = -1,
               bool log_name = true) {
    if (log_name) log_->log(2, "%s\n", name);
    DWORD returned = 0, error = 0;
    if (!q_.timed_ioctl(hub, code, name, &io, sizeof io, &io, sizeof io, returned, error)) {
      if (port < 0) q_.errors()->report_api_error("DeviceIoControl", error, "%lu", (unsigned long)code);
      else q_.errors()->report_api_error("DeviceIoControl", error, "%lu %lu", (unsigned long)code, (unsigned long)port);
      return false;
    }
    return q_.check_response_size(returned, uint32_t(minimum), uint32_t(sizeof io));
  }

  void log_hub_descriptor(const usb_hub_descriptor& d) {
    log_->log(2, "Desc.bLength               %u\n", unsigned(d.length));
    log_->log(2, "Desc.bType                 %u\n", unsigned(d.descriptor_type));
    log_->log(2, "Desc.bNumberOfPorts        %u\n", unsigned(d.number_of_ports));
    log_->log(2, "Desc.wHubCharacteristics   %04X\n", unsigned(d.hub_characteristics));
    log_->log(2, "Desc.bPowerOnToPowerGood   %u\n", unsigned(d.power_on_to_power_good));
    log_->log(2, "Desc.bHubControlCurrent    %u\n", unsigned(d.hub_control_current));
  }

  bool node_information(api_handle hub) {
    usb_node_information info{};
    if (!request(hub, ioctl_usb_get_node_information, "IOCTL_USB_GET_NODE_INFORMATION", info, sizeof info))
      return false;
    log_->indent(2);
    log_->log(2, "NodeType                   %u\n", unsigned(info.node_type));
    if (info.node_type == 0) {
      log_hub_descriptor(info.hub_descriptor);
      log_->log(2, "HubIsBusPowered            %u\n", unsigned(info.hub_is_bus_powered));
    }
    log_->unindent(2);
    return true;
  }

  // False when the request failed; a system without it answers true.
  bool hub_information(api_handle hub) {
    const char* name = "IOCTL_USB_GET_HUB_INFORMATION_EX";
    if (!supported(name, windows_8_index)) return true;
    usb_hub_information_ex info{};
    if (!request(hub, ioctl_usb_get_hub_information_ex, name, info, sizeof info, -1, false)) return false;
    log_->indent(2);
    log_->log(2, "HubType                    %u\n", unsigned(info.hub_type));
    log_->log(2, "HighestPortNumber          %u\n", unsigned(info.highest_port_number));
    if (info.hub_type > 1) log_hub_descriptor(info.hub_descriptor);
    log_->unindent(2);
    return true;
  }

  bool hub_capabilities(api_handle hub) {
    const char* name = "IOCTL_USB_GET_HUB_CAPABILITIES_EX";
    if (!supported(name, windows_7_index)) return true;
    usb_hub_capabilities_ex caps{};
    if (!request(hub, ioctl_usb_get_hub_capabilities_ex, name, caps, sizeof caps, -1, false)) return false;
    log_->indent(2);
    log_->log(2, "HubIsHighSpeedCapable      %u\n", unsigned(caps.flags & 1));
    log_->log(2, "HubIsHighSpeed             %u\n", unsigned(caps.flags >> 1 & 1));
    log_->log(2, "RawFlags                   %08X\n", unsigned(caps.flags));
    log_->unindent(2);
    return true;
  }

  void connection_information(api_handle hub, DWORD port) {
    usb_node_connection_information_ex info{};
    info.connection_index = port;
    if (!request(hub, ioctl_usb_get_node_connection_information_ex, "IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX",
                 info, offsetof(usb_node_connection_information_ex, pipes), long(port)))
      return;
    const usb_device_descriptor& d = info.device_descriptor;
    // A device that did not give its descriptor (vendor or product 0) says nothing about its speed.
    if (d.vendor_id != 0 && d.product_id != 0 && info.speed < sizeof speed_masks / sizeof speed_masks[0])
      result_.speed = speed_masks[info.speed];
    log_->indent(2);
    log_->log(2, "ConnectionIndex            %u\n", unsigned(info.connection_index));
    log_->log(2, "Desc.bLength               %u\n", unsigned(d.length));
    log_->log(2, "Desc.bDescriptorType       %u\n", unsigned(d.descriptor_type));
    log_->log(2, "Desc.bcdUSB                %u\n", unsigned(d.bcd_usb));
    log_->log(2, "Desc.bDeviceClass          %u\n", unsigned(d.device_class));
    log_->log(2, "Desc.bDeviceSubClass       %u\n", unsigned(d.device_subclass));
    log_->log(2, "Desc.bDeviceProtocol       %u\n", unsigned(d.device_protocol));
    log_->log(2, "Desc.bMaxPacketSize0       %u\n", unsigned(d.max_packet_size0));
    log_->log(2, "Desc.idVendor              %04x\n", unsigned(d.vendor_id));
    log_->log(2, "Desc.idProduct             %04x\n", unsigned(d.product_id));
    log_->log(2, "Desc.bcdDevice             %04x\n", unsigned(d.bcd_device));
    log_->log(2, "Desc.iManufacturer         %u\n", unsigned(d.manufacturer_index));
    log_->log(2, "Desc.iProduct              %u\n", unsigned(d.product_index));
    log_->log(2, "Desc.iSerialNumber         %u\n", unsigned(d.serial_number_index));
    log_->log(2, "Desc.bNumConfigurations    %u\n", unsigned(d.number_of_configurations));
    log_->log(2, "CurrentConfigurationValue  %u\n", unsigned(info.current_configuration_value));
    log_->log(2, "Speed                      %u\n", unsigned(info.speed));
    log_->log(2, "DeviceIsHub                %u\n", unsigned(info.device_is_hub));
    log_->log(2, "DeviceAddress              %04X\n", unsigned(info.device_address));
    log_->log(2, "NumberOfOpenPipes          %u\n", unsigned(info.number_of_open_pipes));
    log_->log(2, "ConnectionStatus           %u\n", unsigned(info.connection_status));
    log_->unindent(2);
  }

  void connection_information_v2(api_handle hub, DWORD port) {
    const char* name = "IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2";
    if (!supported(name, windows_8_index)) return;
    usb_node_connection_information_ex_v2 info{};
    info.connection_index = port;
    info.length = sizeof info;
    info.supported_usb_protocols = usb_protocol_300;
    if (!request(hub, ioctl_usb_get_node_connection_information_ex_v2, name, info, sizeof info, long(port), false))
      return;
    if (info.flags & usb_at_super_speed_plus) result_.speed = 16;
    else if (info.flags & usb_at_super_speed) result_.speed = 8;
    if (info.flags & usb_super_speed_plus_capable) result_.capable = 16;
    else if (info.flags & usb_super_speed_capable) result_.capable = 8;
    if (info.supported_usb_protocols & usb_protocol_110) result_.supported |= 2;
    if (info.supported_usb_protocols & usb_protocol_200) result_.supported |= 4;
    if (info.supported_usb_protocols & usb_protocol_300) result_.supported |= 8;
    log_->indent(2);
    log_->log(2, "ConnectionIndex            %u\n", unsigned(info.connection_index));
    log_->log(2, "SupportedUsbProtocols      %08X\n", unsigned(info.supported_usb_protocols));
    log_->log(2, "IsSuperSpeedCapable        %u\n", unsigned(info.flags >> 1 & 1));
    log_->log(2, "IsSuperSpeed               %u\n", unsigned(info.flags & 1));
    log_->log(2, "RawFlags                   %08X\n", unsigned(info.flags));
    log_->unindent(2);
  }

  // Names the request; below the version index it first exists at, says it is not there and
  // answers false.
  bool supported(const char* name, int from_index) {
    log_->log(2, "%s\n", name);
    if (q_.api().os_version_index() >= from_index) return true;
    log_->log_indented(2, 2, "Not supported\n");
    return false;
  }

  static uint32_t fastest_supported(uint32_t supported) {
    if (supported & 8) return 8;
    if (supported & 4) return 4;
    return supported & 2 ? 2 : 0;
  }

  device_query& q_;
  indenting_logger* log_;
  usb_connection result_;
};
}  // namespace

usb_connection query_usb_details(device_query& query, DWORD usb_device_node) {
  return hub_walk(query).run(usb_device_node);
}
