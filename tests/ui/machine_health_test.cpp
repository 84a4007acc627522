#include <gtest/gtest.h>

#include <cstdio>

#include "machine_scan.h"
#include "synthetic_drives.h"

TEST(MachineHealth, Scratch) {
  fake_machine m;
  add_synthetic(m, seagate_hdd(0));
  add_synthetic(m, wd_hdd(1));
  add_synthetic(m, samsung_mz_ssd(2));
  add_synthetic(m, crucial_ssd(3));
  add_synthetic(m, nvme_ssd(4));
  add_synthetic(m, usb_bridge_hdd(5));
  add_synthetic(m, bad_checksum_hdd(6));
  add_synthetic(m, threshold_mismatch_hdd(7));
  add_synthetic(m, silent_drive(8));
  const scanned s = scan_machine(m);
  FILE* f = std::fopen("scratch.log", "wb");
  std::fwrite(s.log.data(), 1, s.log.size(), f);
  std::fclose(f);
  EXPECT_EQ(m.open_handles(), 0);
}
