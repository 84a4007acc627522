// The drive enumeration and query where a case needs what the whole scan does not show; the
// recorded machines' logs hold the rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "recorded_machine.h"

#include <winioctl.h>
#include "storage/device_query.h"
#include "storage/drives.h"
#include "storage/scan_replay.h"

namespace {
// The drives of a recorded machine, enumerated and, when `query`, queried; every handle closed.
std::vector<drive_info> drives_of(scan_recording r, captured_log& log, bool query) {
  scan_replay m(std::move(r));
  std::vector<drive_info> found;
  enumerate_drives(m, found, log.log);
  if (query)
    for (drive_info& d : found) query_drive(m, d, scan_options{}, log.log);
  EXPECT_EQ(m.open_handles(), 0u);
  return found;
}
}  // namespace

TEST(drives, no_trim_or_seek_penalty_query_before_windows_7) {
  ONLY_WITH_32_BIT_RECORDINGS();
  for (int index : {4, 5, 6}) {
    scan_recording r = recorded_machine("sata_disk_gpt");
    set_os_index(r, index);
    captured_log c;
    const std::vector<drive_info> list = drives_of(r, c, true);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].trim_enabled, index < 6 ? unknown_u32 : 0u) << index;
    EXPECT_EQ(list[0].incurs_seek_penalty, index < 6 ? unknown_u32 : 1u) << index;
    EXPECT_EQ(c.text().find("StorageDeviceTrim") == std::string::npos, index < 6) << index;
    EXPECT_EQ(c.text().find("StorageDeviceSeekPenalty") == std::string::npos, index < 6) << index;
  }
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

TEST(drives, open_without_reporting_is_silent) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_replay m(recorded_machine("disk_opened_for_attributes"));
  captured_log out;
  drive_info drive;
  drive.device_path = L"\\\\.\\PhysicalDrive0";
  device_query query(m, out.log);
  {
    scoped_api_handle h(m, open_drive(query, drive, false));
    EXPECT_TRUE(h);
  }
  EXPECT_EQ(out.text(), "2 Opening device...\n3   OK, with [RA] access\n");
  EXPECT_EQ(m.open_handles(), 0u);
}

TEST(drives, parent_ids_need_the_exact_pattern) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const struct { uint16_t vendor, product; } cases[] = {{0x8086, 0xA102}, {0x0781, 0x5581}, {0, 0}, {0, 0}, {0, 0}};
  captured_log c;
  const std::vector<drive_info> found = drives_of(recorded_machine("parent_id_patterns"), c, false);
  ASSERT_EQ(found.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(found[i].parent_vendor_id, cases[i].vendor) << i;
    EXPECT_EQ(found[i].parent_product_id, cases[i].product) << i;
  }
}
