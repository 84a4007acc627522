// The drive enumeration and query where a case needs what the whole scan does not show; the
// recorded machines' logs hold the rest.
#include <gtest/gtest.h>

#include <string>

#include "captured_log.h"
#include "golden.h"
#include "recorded_machine.h"

#include "storage/device_query.h"
#include "storage/drives.h"
#include "storage/scan_replay.h"

// Each "OFFSET trim|keep" row of tests/data/storage/descriptor_strings.txt: the text at that
// offset of one reply.
TEST(descriptor_string, extraction_rules) {
  const std::string reply("\0ABC  \0  pad  \0tab\there\0hi\xA0\0\x7F\0   \0tail", 38);
  expect_table("storage/descriptor_strings.txt", [&](const std::string& q) {
    return "[" +
           descriptor_string(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), std::stoul(q),
                             q.find("trim") != std::string::npos) +
           "]";
  });
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
