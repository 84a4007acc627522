#include "app/cli_checks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "app/cli_compare.h"
#include "app/cli_guard.h"
#include "bench/io_file.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "run_records.h"
#include "scratch_dir.h"
#include "support/text.h"

TEST(cli_checks, location_must_be_an_existing_folder) {
  scratch_dir s(L"checks_location");
  std::string error;
  std::wstring location = s.path();
  EXPECT_TRUE(resolve_location(location, error)) << error;
  EXPECT_EQ(location, s.path());
  // A relative location becomes a full one.
  location = L"checks_location";
  EXPECT_TRUE(resolve_location(location, error)) << error;
  EXPECT_EQ(location, s.path());

  location = s.path() + L"\\missing";
  EXPECT_FALSE(resolve_location(location, error));
  EXPECT_EQ(error, "LOCATION: \"" + to_utf8(s.path()) + "\\missing\" does not exist");
  EXPECT_EQ(location, s.path() + L"\\missing");
  location = s.file(L"file.txt", "x");
  EXPECT_FALSE(resolve_location(location, error));
  EXPECT_EQ(error, "LOCATION: \"" + to_utf8(location) + "\" is not a folder");
  location = L"Q:\\";
  EXPECT_FALSE(resolve_location(location, error));
  EXPECT_EQ(error, "LOCATION: \"Q:\\\" does not exist");
}

TEST(cli_checks, output_files_are_tried_and_left_as_they_were) {
  scratch_dir s(L"checks_outputs");
  cli_options o;
  std::string error;
  o.report_path = s.file(L"r.txt", "keep me");
  o.csv_path = s.file(L"new.csv");
  EXPECT_TRUE(check_output_files(o, error)) << error;
  EXPECT_FALSE(file_exists(o.csv_path));  // tried and removed again
  std::string text;
  ASSERT_TRUE(read_report_file(o.report_path, text, error)) << error;
  EXPECT_EQ(text, "keep me");

  o.json_path = s.path() + L"\\no-such-folder\\r.json";
  EXPECT_FALSE(check_output_files(o, error));
  EXPECT_EQ(error, "--json: \"" + to_utf8(o.json_path) + "\" cannot be written: CreateFile() failed with 3");
  o.json_path = s.path();  // a folder
  EXPECT_FALSE(check_output_files(o, error));
  EXPECT_EQ(error.compare(0, 8, "--json: "), 0) << error;
  o.json_path = s.path() + L"\\R.TXT";
  EXPECT_FALSE(check_output_files(o, error));
  EXPECT_EQ(error, "--json: \"" + to_utf8(o.json_path) + "\" is the file of --report");
}

TEST(cli_compare, report_files_that_cannot_be_read) {
  scratch_dir s(L"checks_compare");
  std::string text, error;
  EXPECT_FALSE(read_report_file(s.path() + L"\\missing.txt", text, error));
  EXPECT_EQ(error, "cannot be read: CreateFile() failed with 2");
  EXPECT_FALSE(read_report_file(s.path(), text, error));
  EXPECT_EQ(error.compare(0, 28, "cannot be read: CreateFile()"), 0) << error;
  // Far larger than any report: refused before it is read.
  const std::wstring big = s.file(L"big.txt", "");
  {
    HANDLE h = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = (64ll << 20) + 1;
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
  }
  EXPECT_FALSE(read_report_file(big, text, error));
  EXPECT_EQ(error, "is too large to be a report");
  EXPECT_TRUE(read_report_file(s.file(L"file.txt", ""), text, error));
  EXPECT_EQ(text, "");
}

TEST(cli_guard, a_usb_2_disk_flags_a_200_mbps_read) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scanned machine = scan_recorded("usb2_port");
  const auto guard = [&] {
    return build_cache_guard(unbuffered_state::enforced, show_local_location(*machine.model, 0, L"Windows 10"));
  };
  test_run read = completed(true, 1, 65536, flag_sequential_scan, 200e6);
  const cache_guard usb = guard();
  EXPECT_EQ(usb.link_name, "USB 2.0");
  EXPECT_TRUE(usb.suspect(read));
  EXPECT_EQ(unbuffered_warning(usb), "");
  read.rate = 40e6;
  EXPECT_FALSE(usb.suspect(read));
  // Unknown speed: no link, nothing flagged.
  machine.model->drives[0].usb_speed = 0;
  read.rate = 200e6;
  EXPECT_FALSE(guard().suspect(read));
}

TEST(cli_checks, raw_sizes_the_sector_does_not_divide) {
  scratch_dir dir(L"cli_sectors");
  cli_options options;
  options.profile.path = dir.path();
  options.profile.buffer_sizes = {2048, 65536, 1024};
  options.profile.read_modes = 0x01;   // "raw"
  options.profile.write_modes = 0x08;  // "buf"
  options.profile.update_counts();
  set_strict_io_rules(4096);
  std::string error, note;
  // A preset's sizes: the run goes on with a note naming them.
  EXPECT_TRUE(check_raw_sizes(options, error, note));
  EXPECT_EQ(
      note,
      "Raw (unbuffered) tests of 2K 1K fail without running: the location's 4096-byte sector does not divide them");
  // The same sizes typed with --sizes are the user's mistake: refused before anything runs.
  options.sizes_given = true;
  EXPECT_FALSE(check_raw_sizes(options, error, note));
  EXPECT_EQ(error,
            "--sizes: 2K 1K are not multiples of the location's 4096-byte sector, which raw (unbuffered) tests need");
  // Cached tests have no such rule.
  options.profile.read_modes = 0x08;
  EXPECT_TRUE(check_raw_sizes(options, error, note));
  EXPECT_EQ(note, "");
  set_strict_io_rules(0);
}
