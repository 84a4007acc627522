#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "storage/scan_recording.h"
#include "storage/scan_replay.h"
#include "golden.h"
#include "machine_scan.h"
#include "recorded_machine.h"

namespace {
const char header[] = "FOLVI Vezad scan recording\nformat 1\nprogram 1.2.3.4\npointers ";
std::string header_text() { return header + std::to_string(sizeof(void*) * 8) + "\n"; }
}  // namespace

// Without the recording's answers the scan sees a machine with nothing in it, and names each
// question it could not answer once: the disks of a machine that kept their enumeration but lost
// every request made of the opened disks and the clock, then an empty recording.
TEST(ScanReplay, MissingRequestsAreAnsweredAsMissingDevicesAndNamedOnce) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_recording r = recorded_machine("ata_hdds");
  std::vector<recorded_entry> kept;
  for (const recorded_entry& e : r.entries)
    if (e.call != "ioctl" && e.call != "performance_counter") kept.push_back(e);
  r.entries = kept;
  std::string text;
  for (const scan_recording& machine : {r, scan_recording{}}) {
    scan_replay replay(machine);
    const std::string log = scan_log(replay, replay, &replay);
    text += log.substr(log.find("2 Enumerating storage devices...\n")) + "--\n";
    EXPECT_EQ(replay.open_handles(), 0u);
  }
  expect_golden(text, "storage/missing_answers.txt");
}

// Texts keep blanks at their ends, percent signs and control characters through the file.
TEST(ScanReplay, TextsSurviveTheFile) {
  scan_recording r;
  r.program_version = "1";
  recorded_entry e;
  e.call = "device_id";
  e.in_number("devinst", 7).out_number("ok", 1).out_number("error", 0).out_text("id", " 100%\tx ");
  r.entries.push_back(e);
  const std::string text = write_recording(r);
  EXPECT_NE(text.find("\n  < id %20100%25%09x%20\n"), std::string::npos) << text;
  scan_recording back;
  std::string error;
  ASSERT_TRUE(read_recording(text, back, error)) << error;
  EXPECT_EQ(back.entries.at(0).text("id"), " 100%\tx ");
}

namespace {
const char good_entry[] =
    "\nioctl\n"
    "  > path \\\\.\\PhysicalDrive0\n"
    "  > code 0x2d1400\n"
    "  > in 3\n"
    "      0000  01 02 03\n"
    "  > out_size 20\n"
    "  < ok 1\n"
    "  < error 0x0\n"
    "  < returned 18\n"
    "  < out 18\n"
    "      0000  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n"
    "      0010  10 11\n";

std::string refusal(const std::string& text) {
  scan_recording r;
  std::string error;
  EXPECT_FALSE(read_recording(text, r, error)) << text;
  EXPECT_TRUE(r.entries.empty());
  return error;
}

// The table's escapes: \n a line end, \\ a backslash.
std::string unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      ++i;
      out += text[i] == 'n' ? '\n' : text[i];
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}
}  // namespace

TEST(ScanReplay, MalformedRecordingsAreRefusedWithTheirLine) {
  const std::string good = header_text() + good_entry;
  scan_recording r;
  std::string error;
  ASSERT_TRUE(read_recording(good, r, error)) << error;
  ASSERT_EQ(r.entries.size(), 1u);
  EXPECT_EQ(r.entries[0].bytes("out").size(), 18u);

  // Each damage of the table: refused with its line and reason.
  std::istringstream table(test_data_text("storage/malformed_recordings.txt"));
  std::string row, answers;
  while (std::getline(table, row)) {
    const size_t bar = row.find(" | "), second = row.find(" | ", bar + 3);
    if (row.empty() || row[0] == '#' || second == std::string::npos) {
      answers += row + "\n";
      continue;
    }
    const std::string from = unescaped(row.substr(0, bar)), to = unescaped(row.substr(bar + 3, second - bar - 3));
    answers += row.substr(0, second) + " | " + refusal(replaced(good, from, to)) + "\n";
  }
  expect_golden(answers, "storage/malformed_recordings.txt");
  // A crc32 that matches the bytes is read.
  EXPECT_TRUE(read_recording(replaced(good, "  < out 18", "  < out 18 crc32 dcf57f85"), r, error)) << error;
}

// Any damage to a real recording is refused with a line of the file, or read; a recording that
// is read replays without harm.
TEST(ScanReplay, DamagedRecordingsNeverHarmTheReaderOrTheScan) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const std::string text = test_data_text("machines/vds_mirror.txt");  // drives and the service
  const size_t lines = size_t(std::count(text.begin(), text.end(), '\n'));
  std::mt19937 random(2311);
  const char alphabet[] = "0123456789abcdefxz <>%\n\t-";
  int refused = 0, replayed = 0;
  for (int round = 0; round < 400; ++round) {
    std::string damaged = text;
    for (int n = 1 + int(random() % 3); n > 0; --n) {
      const size_t at = random() % damaged.size();
      switch (random() % 4) {
        case 0: damaged[at] = alphabet[random() % (sizeof alphabet - 1)]; break;
        case 1: damaged.erase(at, 1 + random() % 40); break;
        case 2: damaged.insert(at, 1, alphabet[random() % (sizeof alphabet - 1)]); break;
        default: damaged.resize(at); break;
      }
    }
    scan_recording r;
    std::string error;
    if (!read_recording(damaged, r, error)) {
      unsigned line = 0;
      ASSERT_EQ(sscanf(error.c_str(), "line %u: ", &line), 1) << error;
      ASSERT_GE(line, 1u);
      ASSERT_LE(line, lines + 3) << error;
      ++refused;
      continue;
    }
    if (round % 8) continue;  // the scan is slower than the reader
    scan_replay replay(r);
    scan_log(replay, replay, &replay);
    EXPECT_EQ(replay.open_handles(), 0u);
    EXPECT_EQ(replay.vds_objects, 0);
    ++replayed;
  }
  EXPECT_GT(refused, 200);
  EXPECT_GT(replayed, 0);
}
