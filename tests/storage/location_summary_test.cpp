#include "storage/location_summary.h"

#include <gtest/gtest.h>

#include "fake_location.h"
#include "machine_scan.h"
#include "recorded_machine.h"

// What the recorded machines' facts and the location list's sessions do not show: a drive that
// names no controller, an array with a spare, a disk the stack has no entry for, no scan yet.

TEST(LocationSummary, ArraysWithSparesUnderTheControllersOwnName) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scanned s = scan_recorded("ciss_logical_drive");
  s.model->drives.at(0).controller_name.clear();
  raid_volume& array = s.model->controllers.at(0).raid_volumes.at(0);
  array.spares = {array.drives.at(1)};
  EXPECT_EQ(
      show_local_location(*s.model, 0, L"W").controller,
      L"Smart Array P420i Controller  \u00B7  RAID 1 [Logical Drive 1]  \u00B7  EG0300FCVBF + EG0300FCVBF (spare)");
}

TEST(LocationSummary, NoDeviceWithoutAStackEntryOrAScan) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scanned s = scan_recorded("usb_disk_with_volume");
  s.model->stack.at(0).drive = nullptr;  // a controller-side entry
  const location_summary summary = show_local_location(*s.model, 0, L"W");
  EXPECT_EQ(summary.device, L"?");
  EXPECT_EQ(summary.selected_drive, nullptr);
  for (const report_entry& e : summary.storage_facts) EXPECT_NE(e.key, "Device.type");

  fake_location api;
  api.roots = {{L"C:\\", L"C:\\"}};
  api.identities = {{L"C:\\", {1, L"NTFS"}}};
  EXPECT_EQ(refresh_summary(api, nullptr, L"C:\\").storage_facts.at(0).value, "");
}
