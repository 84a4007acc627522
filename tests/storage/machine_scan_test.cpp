// Whole machines scanned on the scan's own thread: the model each recorded machine builds, and
// RAM disks that miss one of their signs.
#include <gtest/gtest.h>

#include <string>

#include "fake_machine.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "support/text.h"
#include "volume_replies.h"

namespace {

volume_setup ram_disk_volume() {
  volume_setup v;
  v.guid = L"{0e9b4f2a-6d1c-4a8e-9f3b-2c5d7e1a0b44}";
  v.device_name = L"\\Device\\0A1B2C3D";
  v.has_interface = false;
  v.mount_points = {L"R:\\"};
  v.length_error = ERROR_INVALID_FUNCTION;
  v.extents = {{0xFFFFFFFF, 0, 0}};
  v.unique_id.assign(64, 0x5A);
  v.stable_guid_error = ERROR_NOT_SUPPORTED;
  v.suggested_link_error = ERROR_NOT_SUPPORTED;
  return v;
}
}  // namespace

// Every recorded machine's model beside its log, as "NAME.facts.txt".
TEST(MachineFacts, EachRecordingBuildsItsModel) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "the machines are recordings of the 32-bit program";
  for (const std::wstring& name : machine_names()) {
    SCOPED_TRACE(to_utf8(name));
    expect_golden(model_facts(scan_recorded(to_utf8(name))), machines_dir() + name + L".facts.txt");
  }
}

TEST(MachineScan, ThreeRamDiskSignsAreNotEnough) {
  for (int missing = 0; missing < 4; ++missing) {
    volume_setup spec = ram_disk_volume();
    if (missing == 0) spec.extents = {};
    if (missing == 1) spec.mountdev_name = L"\\Device\\RamDiskVolume";
    if (missing == 2) spec.unique_id.resize(40);
    if (missing == 3) spec.stable_guid_error = 0;
    fake_machine m;
    add_volume(m, spec);
    const scanned s = scan_machine(m);
    ASSERT_EQ(s.model->volumes.size(), 1u);
    EXPECT_FALSE(s.model->volumes[0].is_ram_disk) << missing;
    EXPECT_EQ(facts_of(s, 0).find("Device.type"), std::string::npos) << missing;
  }
}
