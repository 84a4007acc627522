// The drive enumeration and query where a case needs what the whole scan does not show; the
// recorded machines' logs hold the rest.
#include <gtest/gtest.h>

#include <string>

#include "captured_log.h"
#include "recorded_machine.h"

#include "storage/device_query.h"
#include "storage/drives.h"
#include "storage/scan_replay.h"

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
