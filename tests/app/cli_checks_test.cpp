#include "app/cli_checks.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "app/cli_compare.h"
#include "app/cli_guard.h"
#include "golden.h"
#include "bench/io_file.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "run_records.h"
#include "scratch_dir.h"
#include "support/text.h"

namespace {
std::string outcome(bool ok, const std::string& what, const std::string& error) {
  return (ok ? "ok " + what : "refused: " + error) + "\n";
}
}  // namespace

// Locations, output files and reports as the checks find them (the scratch folder written S; where
// the system's own code differs from Windows', only the start of the message).
TEST(cli_checks, locations_outputs_reports_and_raw_sizes) {
  scratch_dir s(L"checks");
  std::string text, error;
  for (std::wstring location :
       {s.path(), std::wstring(L"checks"), s.path() + L"\\missing", s.file(L"file.txt", "x"), std::wstring(L"Q:\\")}) {
    const bool ok = resolve_location(location, error);
    text += "location " + to_utf8(location) + ": " + outcome(ok, "", error);
  }
  cli_options o;
  o.report_path = s.file(L"r.txt", "keep me");
  o.csv_path = s.file(L"new.csv");
  for (const std::wstring& json :
       {std::wstring(), s.path() + L"\\no-such-folder\\r.json", s.path() + L"\\R.TXT", s.path()}) {
    o.json_path = json;
    const bool ok = check_output_files(o, error);
    text += "outputs " + outcome(ok, "", json == s.path() ? error.substr(0, 8) : error);
  }
  text += "the new file tried is gone: " + std::to_string(!file_exists(o.csv_path)) + "\n";
  const std::wstring big = s.file(L"big.txt", "");
  {  // far larger than any report: refused before it is read
    HANDLE h = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = (64ll << 20) + 1;
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
  }
  for (const std::wstring& report :
       {o.report_path, s.file(L"file.txt", ""), s.path() + L"\\missing.txt", big, s.path()}) {
    std::string read;
    const bool ok = read_report_file(report, read, error);
    text += "report " + outcome(ok, "[" + read + "]", report == s.path() ? error.substr(0, 28) : error);
  }
  // Raw sizes a 4096-byte sector does not divide: a preset's go on with a note, the same typed with
  // --sizes are refused; cached tests have no such rule.
  o.profile.path = s.path();
  o.profile.buffer_sizes = {2048, 65536, 1024};
  set_strict_io_rules(4096);
  for (const auto& [read_modes, given] : {std::pair{0x01, false}, {0x01, true}, {0x08, true}}) {
    o.profile.read_modes = read_modes;  // "raw", "buf"
    o.profile.write_modes = 0x08;
    o.profile.update_counts();
    o.sizes_given = given;
    std::string note;
    const bool ok = check_raw_sizes(o, error, note);
    text += "raw sizes " + outcome(ok, "[" + note + "]", error);
  }
  set_strict_io_rules(0);
  for (size_t at; (at = text.find(to_utf8(s.path()))) != std::string::npos;) text.replace(at, s.path().size(), "S");
  expect_golden(text, "app/cli_checks.txt");
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
