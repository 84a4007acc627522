// A drive that answers the health requests only through failure prediction. (The recorded
// machines' logs hold every other kind of drive's dump.)
#include <gtest/gtest.h>

#include <string>

#include "machine_scan.h"
#include "synthetic_drives.h"

TEST(MachineHealth, HealthRawStandsInForSmartTheDriveWillNotGive) {
  fake_machine m;
  synthetic_drive d = seagate_hdd(0);
  d.health.paths = {{false, false, false, false}};
  add_synthetic(m, d);
  const scanned s = scan_machine(m);
  EXPECT_NE(s.log.find("2       Looks like a valid attribute set\n"), std::string::npos);
  EXPECT_NE(s.log.find("2     Cloned SMART attributes from HealthRaw data\n"), std::string::npos);
  ASSERT_EQ(s.model->drives.size(), 1u);
  EXPECT_EQ(s.model->drives[0].smart_source, 0x40u);
  const std::string dump = stack_dump(s);
  EXPECT_NE(dump.find("2       Info sources               -\n2       SMART table\n"
                      "2        1.    1   77  ---  00000370b658  000f  |  Common           |  Raw read error rate\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("2       25.  242  100  ---  000576223214  0000  |  Common (HDD)     |  Lifetime reads\n"),
            std::string::npos);
}
