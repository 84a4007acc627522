// The drive enumeration and query where the answers vary per case; the recorded machines hold
// the rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "drive_replies.h"

#include <winioctl.h>
#include "storage/drives.h"

namespace {

class drives : public ::testing::Test {
 protected:
  fake_machine machine;
  captured_log out;
  std::vector<drive_info> found;

  void TearDown() override { EXPECT_EQ(machine.open_handles(), 0); }

  void enumerate() { enumerate_drives(machine, found, out.log); }
  // Enumerates and queries the only disk.
  drive_info& scan_one() {
    enumerate();
    EXPECT_EQ(found.size(), 1u);
    if (found.empty()) found.emplace_back();
    query_drive(machine, found[0], scan_options{}, out.log);
    return found[0];
  }
};

}  // namespace

TEST_F(drives, no_trim_or_seek_penalty_query_before_windows_7) {
  for (int index : {4, 5}) {
    fake_machine m;
    m.os_index = index;
    add_disk(m, fake_disk());
    captured_log c;
    std::vector<drive_info> list;
    enumerate_drives(m, list, c.log);
    ASSERT_EQ(list.size(), 1u);
    query_drive(m, list[0], scan_options{}, c.log);
    EXPECT_EQ(list[0].trim_enabled, unknown_u32) << index;
    EXPECT_EQ(list[0].incurs_seek_penalty, unknown_u32) << index;
    EXPECT_EQ(c.text().find("StorageDeviceTrim"), std::string::npos) << index;
    EXPECT_EQ(c.text().find("StorageDeviceSeekPenalty"), std::string::npos) << index;
    EXPECT_EQ(m.open_handles(), 0);
  }
  machine.os_index = 6;
  add_disk(machine, fake_disk());
  drive_info& drive = scan_one();
  EXPECT_EQ(drive.trim_enabled, 0u);
  EXPECT_EQ(drive.incurs_seek_penalty, 1u);
}

TEST(descriptor_string, extraction_rules) {
  const std::string reply("\0ABC  \0  pad  \0tab\there\0hi\xA0\0\x7F\0   \0tail", 38);
  const auto* bytes = reinterpret_cast<const uint8_t*>(reply.data());
  const struct {
    size_t offset;
    bool trim;
    const char* expected;
  } cases[] = {
      {0, true, ""},          // offset 0 means absent
      {1, false, "ABC  "},    // up to the NUL
      {1, true, "ABC"},       //
      {7, true, "pad"},       // both ends trimmed
      {7, false, "  pad  "},  //
      {15, true, ""},         // a control character
      {24, true, ""},         // a byte of 0x80 and above
      {28, true, ""},         // DEL
      {30, true, ""},         // blanks only
      {34, true, "tail"},     // ends with the reply, no NUL
      {38, true, ""},         // at the end
      {1000, true, ""},       // past the end
  };
  for (const auto& c : cases)
    EXPECT_EQ(descriptor_string(bytes, reply.size(), c.offset, c.trim), c.expected) << c.offset << " " << c.trim;
}

TEST_F(drives, open_without_reporting_is_silent) {
  fake_disk d;
  d.accepted_access = {FILE_READ_ATTRIBUTES};
  add_disk(machine, d);
  drive_info drive;
  drive.device_path = L"\\\\.\\PhysicalDrive0";
  device_query query(machine, out.log);
  scoped_api_handle h(machine, open_drive(query, drive, false));
  EXPECT_TRUE(h);
  EXPECT_EQ(out.text(), "2 Opening device...\n3   OK, with [RA] access\n");
}

TEST_F(drives, parent_ids_need_the_exact_pattern) {
  const struct {
    const wchar_t* parent;
    uint16_t vendor, product;
  } cases[] = {
      {L"PCI\\VEN_8086&DEV_A102&SUBSYS_86941043", 0x8086, 0xA102},
      {L"USB\\VID_0781&PID_5581\\4C53", 0x0781, 0x5581},
      {L"PCI\\VEN_86&DEV_A102", 0, 0},  // short numbers do not count
      {L"PCI\\VEN_8086", 0, 0},
      {L"SCSI\\VEN_8086&DEV_A102", 0, 0},
  };
  for (size_t i = 0; i < 5; ++i) {
    fake_disk d;
    d.number = uint32_t(i);
    d.parent_id = cases[i].parent;
    add_disk(machine, d);
  }
  enumerate();
  ASSERT_EQ(found.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(found[i].parent_vendor_id, cases[i].vendor) << i;
    EXPECT_EQ(found[i].parent_product_id, cases[i].product) << i;
  }
}
