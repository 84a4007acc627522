// Synthetic machines with drives that answer the health requests: the whole stack dump, byte for
// byte, with the SMART table or NVMe health list of each drive.
#include <gtest/gtest.h>

#include <string>

#include "machine_scan.h"
#include "synthetic_drives.h"

namespace {

// Every kind of drive the health steps meet, in device-number order.
void add_every_kind(fake_machine& m) {
  add_synthetic(m, seagate_hdd(0));
  add_synthetic(m, wd_hdd(1));
  add_synthetic(m, samsung_mz_ssd(2));
  add_synthetic(m, crucial_ssd(3));
  add_synthetic(m, nvme_ssd(4));
  add_synthetic(m, usb_bridge_hdd(5));
  add_synthetic(m, bad_checksum_hdd(6));
  add_synthetic(m, threshold_mismatch_hdd(7));
  add_synthetic(m, silent_drive(8));
}

const char every_kind_dump[] = R"(2 Storage stack:
2  1. Drive
2       Description                [ST2000DM008-2FR102]
2       Vendor                     [Seagate], org []
2       Model                      [ST2000DM008-2FR102], org [ST2000DM008-2FR102]
2       Serial                     [ZFL3K2AB]
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1   77    6  00000370b658  000f  |  Common           |  Raw read error rate
2        2.    3   97    0  000000000000  0003  |  Common (HDD)     |  Spin-up time
2        3.    4  100   20  000000000138  0032  |  Common           |  Start/stop count
2        4.    5  100   10  000000000000  0033  |  Common           |  Reallocated sector count
2        5.    7   84   45  00000152a3f1  000f  |  Seagate HDD      |  Seek error rate
2        6.    9   88    0  000000002aca  0032  |  Common           |  Power-on hours
2        7.   10  100   97  000000000000  0013  |  Common           |  Spin retry count
2        8.   12  100   20  00000000013b  0032  |  Common           |  Power cycle count
2        9.  183  100    0  000000000000  0032  |  Common           |  SATA downshift count
2       10.  184  100   99  000000000000  0032  |  Common           |  End-to-end error count
2       11.  187  100    0  000000000000  0032  |  Common           |  Uncorrectable error count
2       12.  188  100    0  000000000000  0032  |  Common           |  Command timeouts
2       13.  189  100    0  000000000000  003a  |  Common (HDD)     |  High-fly write count
2       14.  190   64   40  0000241a0024  0022  |  Common           |  Temperature
2       15.  191  100    0  000000000000  0032  |  Common (HDD)     |  Errors due to shock/vibration
2       16.  192  100    0  0000000000af  0032  |  Common           |  Unexpected power-off count
2       17.  193   96    0  0000000022d0  0032  |  Common (HDD)     |  Head load/unload count
2       18.  194   36    0  001200000024  0022  |  Common           |  Temperature
2       19.  195   77    0  000003736c58  001a  |  Common           |  ECC error recovery rate
2       20.  197  100    0  000000000000  0012  |  Common           |  Unstable sector count
2       21.  198  100    0  000000000000  0010  |  Common           |  Uncorrectable sector count
2       22.  199  200    0  000000000000  003e  |  Common           |  CRC error count
2       23.  240  100    0  9c5f00002a55  0000  |  Seagate HDD      |  Head flying hours
2       24.  241  100    0  0002dfdc1c35  0000  |  Common (HDD)     |  Lifetime writes
2       25.  242  100    0  000576223214  0000  |  Common (HDD)     |  Lifetime reads
2  2. Drive
2       Description                [WDC WD10EZEX-08WN4A0]
2       Vendor                     [Western Digital], org []
2       Model                      [WD10EZEX-08WN4A0], org [WDC WD10EZEX-08WN4A0]
2       Serial                     [WD-WCC6Y3KV1234]
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1  200   51  000000000000  002f  |  Common           |  Raw read error rate
2        2.    3  175   21  0000000008b9  0027  |  Common (HDD)     |  Spin-up time
2        3.    4  100    0  0000000005fc  0032  |  Common           |  Start/stop count
2        4.    5  200  140  000000000000  0033  |  Common           |  Reallocated sector count
2        5.    7  200    0  000000000000  002e  |  Common           |  Seek error rate
2        6.    9   62    0  000000006dcd  0032  |  Common           |  Power-on hours
2        7.   10  100    0  000000000000  0032  |  Common           |  Spin retry count
2        8.   11  100    0  000000000000  0032  |  Common (HDD)     |  Recalibration count
2        9.   12  100    0  0000000005f9  0032  |  Common           |  Power cycle count
2       10.  192  200    0  000000000056  0032  |  Common           |  Unexpected power-off count
2       11.  193  200    0  0000000005a5  0032  |  Common (HDD)     |  Head load/unload count
2       12.  194  110    0  000000000021  0022  |  Common           |  Temperature
2       13.  196  200    0  000000000000  0032  |  Common           |  Reallocation event count
2       14.  197  200    0  000000000000  0032  |  Common           |  Unstable sector count
2       15.  198  100    0  000000000000  0030  |  Common           |  Uncorrectable sector count
2       16.  199  200    0  000000000000  0032  |  Common           |  CRC error count
2       17.  200  100    0  000000000000  0008  |  Common           |  Write error rate
2  3. Drive
2       Description                [SAMSUNG MZ7LN256HMJP-000L7]
2       Vendor                     [Samsung], org []
2       Model                      [MZ7LN256HMJP-000L7], org [SAMSUNG MZ7LN256HMJP-000L7]
2       Serial                     [S2X9NX0J301234]
2       Capacity                   1000204886016
2       SSD                        1
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    5  100   10  000000000000  0033  |  Common           |  Reallocated sector count
2        2.    9   97    0  000000002f0c  0032  |  Common           |  Power-on hours
2        3.   12   99    0  00000000072a  0032  |  Common           |  Power cycle count
2        4.  177   96    5  00000000003d  0013  |  Common (SSD)     |  Flash wear leveling count
2        5.  179  100   10  000000000000  0013  |  Common (SSD)     |  Used reserved block count (total)
2        6.  181  100   10  000000000000  0032  |  Common (SSD)     |  Flash programming failures (total)
2        7.  182  100   10  000000000000  0032  |  Common (SSD)     |  Flash erasing failures (total)
2        8.  183  100   10  000000000000  0013  |  Samsung SSD      |  Flash operation failures
2        9.  187  100    0  000000000000  0032  |  Common           |  Uncorrectable error count
2       10.  190   68    0  000000000020  0032  |  Common           |  Temperature
2       11.  195  200    0  000000000000  001a  |  Common           |  ECC error recovery rate
2       12.  199  100    0  000000000000  003e  |  Common           |  CRC error count
2       13.  235   99    0  00000000005f  0012  |  Samsung SSD      |  Power recovery count
2       14.  241   99    0  00095ac6019a  0032  |  Samsung MZ       |  Lifetime data written
2  4. Drive
2       Description                [CT500MX500SSD1]
2       Vendor                     [Crucial], org []
2       Model                      [CT500MX500SSD1], org [CT500MX500SSD1]
2       Serial                     [1904E1E5ABCD]
2       Capacity                   1000204886016
2       SSD                        1
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1  100    0  000000000000  002f  |  Common           |  Raw read error rate
2        2.    5  100   10  000000000000  0032  |  Common           |  Reallocated sector count
2        3.    9  100    0  000000001cac  0032  |  Common           |  Power-on hours
2        4.   12  100    0  0000000003d6  0032  |  Common           |  Power cycle count
2        5.  171  100    0  000000000000  0032  |  Common (SSD)     |  Flash programming failures
2        6.  172  100    0  000000000000  0032  |  Common (SSD)     |  Flash erasing failures
2        7.  173   98    0  00000000001f  0032  |  Common (SSD)     |  Average program/erase cycles
2        8.  174  100    0  00000000004d  0032  |  Common           |  Unexpected power loss count
2        9.  180    0    0  000000000025  0033  |  Common (SSD)     |  Unused reserved block count
2       10.  183  100    0  000000000000  0032  |  Common           |  SATA downshift count
2       11.  184  100    0  000000000000  0032  |  Common           |  End-to-end error count
2       12.  187  100    0  000000000000  0032  |  Common           |  Uncorrectable error count
2       13.  194   64    0  002f00000024  0022  |  Common           |  Temperature
2       14.  196  100    0  000000000000  0032  |  Common           |  Reallocation event count
2       15.  197  100    0  000000000000  0032  |  Common           |  Unstable sector count
2       16.  198  100    0  000000000000  0030  |  Common           |  Uncorrectable sector count
2       17.  199  100    0  000000000000  0032  |  Common           |  CRC error count
2       18.  202   98    1  000000000002  0030  |  Crucial SSD      |  Lifetime remaining
2       19.  206  100    0  000000000000  000e  |  Crucial SSD      |  NAND program fail count
2       20.  210  100    0  000000000000  0032  |  Crucial SSD      |  Successful RAIN recovery count
2       21.  246  100    0  000517d350d2  0032  |  Crucial SSD      |  Total host sector writes
2       22.  247  100    0  000028f4ac00  0032  |  Crucial SSD      |  Host program page count
2       23.  248  100    0  00004b6cf686  0032  |  Crucial SSD      |  FTL program page count
2  5. Drive
2       Description                [Samsung SSD 970 EVO Plus 1TB]
2       Vendor                     [Samsung], org [NVMe]
2       Model                      [SSD 970 EVO Plus 1TB], org [Samsung SSD 970 EVO Plus 1TB]
2       Serial                     [S4EWNX0R123456A]
2       Capacity                   1000204886016
2       SSD                        1
2       Bus types                  17 17
2       Info sources               -
2       SMART table (NVMe):
2        * Critical_warning        0x00
2        * Temperature             311 K
2        * Spare_available         100 %
2        * Spare_threshold         10 %
2        * Lifetime_used           2
2        * Lifetime_data_read      28934512 x 512 bytes
2        * Lifetime_data_written   40127755 x 512 bytes
2        * Total_read_commmands    512344321
2        * Total_write_commands    934223110
2        * Controller_busy_time    1290 (min)
2        * Power_cycle_count       1024
2        * Power_on_hours          6810
2        * Unsafe_shutdowns        61
2        * Media_errors            0
2        * Total_error_log_count   2233
2        * Warn_temperature_time   0 (min)
2        * Crit_temperature_time   0 (min)
2  6. Drive
2       Description                [ASMT 2115 USB Device]
2       Vendor                     [ASMT / Toshiba], org [ASMT]
2       Model                      [MQ01ABD100], org [TOSHIBA MQ01ABD100]
2       Serial                     [Y5G8T1ABCD]
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  7 7
2       Info sources               SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1  100   50  000000000000  000b  |  Common           |  Raw read error rate
2        2.    2  100   50  000000000000  0005  |  Common           |  Throughput drive performance
2        3.    3  100    1  000000000599  0027  |  Common (HDD)     |  Spin-up time
2        4.    4  100    0  000000001591  0032  |  Common           |  Start/stop count
2        5.    5  100   50  000000000000  0033  |  Common           |  Reallocated sector count
2        6.    7  100   50  000000000000  000b  |  Common           |  Seek error rate
2        7.    9   84    0  000000001934  0032  |  Common           |  Power-on hours
2        8.   10  204   30  000000000000  0033  |  Common           |  Spin retry count
2        9.   12  100    0  000000000bc4  0032  |  Common           |  Power cycle count
2       10.  191  100    0  00000000003a  0032  |  Common (HDD)     |  Errors due to shock/vibration
2       11.  192  100    0  0000000000c9  0032  |  Common           |  Unexpected power-off count
2       12.  193   92    0  000000013d4f  0032  |  Common (HDD)     |  Head load/unload count
2       13.  194  100    0  002d00100027  0022  |  Common           |  Temperature
2       14.  196  100    0  000000000000  0032  |  Common           |  Reallocation event count
2       15.  197  100    0  000000000000  0032  |  Common           |  Unstable sector count
2       16.  198  100    0  000000000000  0030  |  Common           |  Uncorrectable sector count
2       17.  199  200    0  000000000000  0032  |  Common           |  CRC error count
2       18.  220  100    0  000000000000  0002  |  Common (HDD)     |  Disk shift relative to spindle
2       19.  222   86    0  000000001666  0032  |  Common (HDD)     |  Hours in the data zone
2       20.  223  100    0  000000000000  0032  |  Common (HDD)     |  Head load/unload failures
2       21.  224  100    0  000000000000  0022  |  Common (HDD)     |  Head load friction
2       22.  226  100    0  0000000000f8  0026  |  Common (HDD)     |  Hours not in the parking zone
2       23.  240  100    0  000000000000  0001  |  Toshiba HDD      |  - undocumented -
2  7. Drive
2       Description                [Hitachi HDS721010CLA332]
2       Vendor                     [Hitachi], org []
2       Model                      [HDS721010CLA332], org [Hitachi HDS721010CLA332]
2       Serial                     [JP2940HD0ABCDC]
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1  100   16  000000000000  000b  |  Common           |  Raw read error rate
2        2.    2  134   54  000000000067  0005  |  Common           |  Throughput drive performance
2        3.    3  121   24  00000000016e  0007  |  Common (HDD)     |  Spin-up time
2        4.    4  100    0  000000000b60  0012  |  Common           |  Start/stop count
2        5.    5  100    5  000000000000  0033  |  Common           |  Reallocated sector count
2        6.    7  100   67  000000000000  000b  |  Common           |  Seek error rate
2        7.    8  112   20  000000000027  0005  |  Common           |  Seek time performance
2        8.    9   95    0  000000009741  0012  |  Common           |  Power-on hours
2        9.   10  100   60  000000000000  0013  |  Common           |  Spin retry count
2       10.   12  100    0  000000000b4a  0032  |  Common           |  Power cycle count
2       11.  192   98    0  000000000bcd  0032  |  Hitachi HDD      |  - undocumented -
2       12.  193   98    0  000000000bcd  0012  |  Common (HDD)     |  Head load/unload count
2       13.  194  171    0  003700130023  0002  |  Common           |  Temperature
2       14.  196  100    0  000000000000  0032  |  Common           |  Reallocation event count
2       15.  197  100    0  000000000000  0022  |  Common           |  Unstable sector count
2       16.  198  100    0  000000000000  0008  |  Common           |  Uncorrectable sector count
2       17.  199  200    0  000000000000  000a  |  Common           |  CRC error count
2  8. Drive
2       Description                [ST1000DM010-2EP102]
2       Vendor                     [Seagate], org []
2       Model                      [ST1000DM010-2EP102], org [ST1000DM010-2EP102]
2       Serial                     [Z9AB1CDE]
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  11 11
2       Info sources               ATA ATA/PT SCSI/PT SCSI/PT-DT
2       SMART table
2        1.    1   77    6  00000370b658  000f  |  Common           |  Raw read error rate
2        2.    3   97    0  000000000000  0003  |  Common (HDD)     |  Spin-up time
2        3.    4  100   20  000000000138  0032  |  Common           |  Start/stop count
2        4.    5  100   10  000000000000  0033  |  Common           |  Reallocated sector count
2        5.    7   84   45  00000152a3f1  000f  |  Seagate HDD      |  Seek error rate
2        6.    9   88    0  000000002aca  0032  |  Common           |  Power-on hours
2        7.   10  100   97  000000000000  0013  |  Common           |  Spin retry count
2        8.   12  100   20  00000000013b  0032  |  Common           |  Power cycle count
2        9.  183  100    0  000000000000  0032  |  Common           |  SATA downshift count
2       10.  184  100   99  000000000000  0032  |  Common           |  End-to-end error count
2       11.  187  100    0  000000000000  0032  |  Common           |  Uncorrectable error count
2       12.  188  100    0  000000000000  0032  |  Common           |  Command timeouts
2       13.  189  100    0  000000000000  003a  |  Common (HDD)     |  High-fly write count
2       14.  190   64   40  0000241a0024  0022  |  Common           |  Temperature
2       15.  191  100    0  000000000000  0032  |  Common (HDD)     |  Errors due to shock/vibration
2       16.  192  100    0  0000000000af  0032  |  Common           |  Unexpected power-off count
2       17.  193   96    0  0000000022d0  0032  |  Common (HDD)     |  Head load/unload count
2       18.  194   36    0  001200000024  0022  |  Common           |  Temperature
2       19.  195   77    0  000003736c58  001a  |  Common           |  ECC error recovery rate
2       20.  197  100    0  000000000000  0012  |  Common           |  Unstable sector count
2       21.  198  100    0  000000000000  0010  |  Common           |  Uncorrectable sector count
2       22.  199  200    0  000000000000  003e  |  Common           |  CRC error count
2       23.  240  100    0  9c5f00002a55  0000  |  Seagate HDD      |  Head flying hours
2       24.  241  100    0  0002dfdc1c35  0000  |  Common (HDD)     |  Lifetime writes
2       25.  242  100    0  000576223214  0000  |  Common (HDD)     |  Lifetime reads
2  9. Drive
2       Description                [Microsoft Virtual Disk]
2       Vendor                     [Microsoft], org [Msft]
2       Model                      [Virtual Disk], org [Virtual Disk]
2       Serial                     []
2       Capacity                   1000204886016
2       SSD                        0
2       Bus types                  10 10
2       Info sources               -
)";

}  // namespace

TEST(MachineHealth, EveryKindOfDriveInTheStackDump) {
  fake_machine m;
  add_every_kind(m);
  const scanned s = scan_machine(m);
  EXPECT_EQ(stack_dump(s), every_kind_dump);
  ASSERT_EQ(s.model->drives.size(), 9u);
  const uint32_t identify[] = {0x0F, 0x0F, 0x0F, 0x0F, 0, 0x0C, 0x0F, 0x0F, 0};
  const uint32_t smart[] = {0x0F, 0x0F, 0x0F, 0x0F, 0, 0x0C, 0x0F, 0x0F, 0};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(s.model->drives[i].identify_source, identify[i]) << i;
    EXPECT_EQ(s.model->drives[i].smart_source, smart[i]) << i;
  }
  EXPECT_EQ(s.model->drives[4].has_nvme_log, true);
  EXPECT_EQ(m.open_handles(), 0);
}

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
