// The walk from a USB disk to its hub port where the recorded machines do not go: the requests an
// older system lacks, and which failures end the walk and which only go to the log.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "captured_log.h"
#include "storage/storage_scan.h"
#include "recorded_machine.h"
#include "storage/scan_replay.h"

namespace {
struct usb_scan {
  std::vector<drive_info> drives;
  std::string log;
};

// A USB 3.0 disk on a USB 3.0 port of Windows 10, recorded; `edit` changes what it answers.
usb_scan scan_usb_disk(const std::function<void(scan_recording&)>& edit = nullptr,
                       const char* machine = "usb3_windows10") {
  scan_recording r = recorded_machine(machine);
  if (edit) edit(r);
  scan_replay replay(r);
  usb_scan result;
  captured_log out;
  scan_drives(replay, result.drives, scan_options(), out.log, nullptr);
  result.log = out.text();
  EXPECT_EQ(replay.open_handles(), 0u);
  return result;
}

std::function<void(scan_recording&)> on_system(int os_index) {
  return [os_index](scan_recording& r) { set_os_index(r, os_index); };
}

std::function<void(scan_recording&)> failing(DWORD code, DWORD error, int os_index = 12) {
  return [=](scan_recording& r) {
    set_os_index(r, os_index);
    fail_ioctl(r, code, error);
  };
}

std::string usb_section(const std::string& log) {
  const size_t from = log.find("--- USB connection details ---");
  const size_t to = log.find("SMART_RCV_DRIVE_DATA / ATA_IDENTIFY", from);
  if (from == std::string::npos || to == std::string::npos) return log;
  return log.substr(log.rfind('\n', from) + 1, log.rfind('\n', to) - log.rfind('\n', from));
}

}  // namespace

// Windows Server 2008 R2 (one index below Windows 7, whose machine is recorded) lacks the hub's
// capabilities as well.
TEST(usb_details, requests_each_system_has) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const usb_scan s = scan_usb_disk(on_system(6));
  EXPECT_NE(s.log.find("2     IOCTL_USB_GET_HUB_CAPABILITIES_EX\n2       Not supported\n"
                       "2     IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX\n"),
            std::string::npos)
      << usb_section(s.log);
}

// A hub that refuses to describe itself is not asked about the port: the drive's speeds stay
// unknown, and the hub's handle is closed (scan_usb_disk checks).
TEST(usb_details, a_hub_request_failing_ends_the_walk) {
  ONLY_WITH_32_BIT_RECORDINGS();
  usb_scan s = scan_usb_disk(failing(0x220454, ERROR_INVALID_FUNCTION));
  EXPECT_NE(s.log.find("2     IOCTL_USB_GET_HUB_INFORMATION_EX\n0       DeviceIoControl() failed with 1, 2229332\n"
                       "2     SMART_RCV_DRIVE_DATA / ATA_IDENTIFY\n"),
            std::string::npos)
      << usb_section(s.log);
  EXPECT_EQ(s.drives.at(0).usb_speed, 0u);
  EXPECT_EQ(s.drives.at(0).usb_capable, 0u);
  EXPECT_EQ(s.drives.at(0).usb_supported, 0u);

  for (int os_index : {7, 12}) {
    s = scan_usb_disk(failing(0x220450, ERROR_NOT_SUPPORTED, os_index));
    EXPECT_NE(s.log.find("2     IOCTL_USB_GET_HUB_CAPABILITIES_EX\n0       DeviceIoControl() failed with 50, 2229328\n"
                         "2     SMART_RCV_DRIVE_DATA / ATA_IDENTIFY\n"),
              std::string::npos)
        << usb_section(s.log);
    EXPECT_EQ(s.drives.at(0).usb_speed, 0u);
    EXPECT_EQ(s.drives.at(0).usb_capable, 0u);
  }
}

// The port query failing loses the current speed; the V2 query still tells what it can do.
TEST(usb_details, the_port_query_failing_leaves_the_v2_query) {
  ONLY_WITH_32_BIT_RECORDINGS();
  // A disk that can run at SuperSpeed but does not.
  const usb_scan s = scan_usb_disk(failing(0x220448, ERROR_GEN_FAILURE), "usb_no_vendor");
  EXPECT_NE(s.log.find("0       DeviceIoControl() failed with 31, 2229320 3\n"
                       "2     IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX_V2\n"),
            std::string::npos);
  EXPECT_EQ(s.drives.at(0).usb_speed, 0u);
  EXPECT_EQ(s.drives.at(0).usb_capable, 8u);
}

TEST(usb_details, failures_that_end_the_walk) {
  ONLY_WITH_32_BIT_RECORDINGS();
  usb_scan s = scan_usb_disk(failing(0x220408, ERROR_INVALID_FUNCTION));
  EXPECT_NE(s.log.find("2     IOCTL_USB_GET_NODE_INFORMATION\n0       DeviceIoControl() failed with 1, 2229256\n"
                       "2     SMART_RCV_DRIVE_DATA / ATA_IDENTIFY\n"),
            std::string::npos)
      << usb_section(s.log);
  EXPECT_EQ(s.drives.at(0).usb_speed, 0u);

  // A device node without an address: no hub is looked for, and the indentation is restored.
  s = scan_usb_disk([](scan_recording& r) { fail_call(r, "node_address", 37); });
  EXPECT_EQ(s.log.find("Port on the hub"), std::string::npos);
  EXPECT_NE(s.log.find("2     --- USB connection details ---\n0         CM_Get_Address() failed with 37\n"
                       "2     SMART_RCV_DRIVE_DATA / ATA_IDENTIFY\n"),
            std::string::npos)
      << usb_section(s.log);
}
