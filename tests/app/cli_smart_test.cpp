// folvi-cli --smart: blocks saved from a drive print as the storage dump shows that drive.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli_smart.h"
#include "golden.h"
#include "machine_scan.h"
#include "health_blocks.h"
#include "recorded_machine.h"
#include "scratch_dir.h"
#include "support/text.h"

namespace {

// Blocks in files of the test's own folder; an argument KIND:FILE each.
struct block_files : scratch_dir {
  block_files() : scratch_dir(L"cli_smart") {}
  template <typename block_t>
  std::wstring arg(const std::string& kind, const block_t& block) {
    const std::wstring path = file(from_utf8(kind + "-" + std::to_string(++count) + ".bin").c_str());
    FILE* f = _wfopen(path.c_str(), L"wb");
    std::fwrite(block.data(), 1, block.size(), f);
    std::fclose(f);
    return from_utf8(kind) + L":" + path;
  }
  int count = 0;
};

// The only drive of a recorded machine: its blocks as the scan stored them, and the lines of the
// dump from its health table on, without level and indentation.
struct recorded_drive {
  drive_info drive;
  std::string table;
};
recorded_drive only_drive(const std::string& machine) {
  const scanned s = scan_recorded(machine);
  EXPECT_EQ(s.model->drives.size(), 1u) << machine;
  recorded_drive d{s.model->drives.empty() ? drive_info() : s.model->drives[0], {}};
  const std::string dump = stack_dump(s);
  size_t at = dump.find("2       SMART table");
  while (at != std::string::npos && at < dump.size()) {
    const size_t end = dump.find('\n', at);
    d.table += dump.substr(at + 8, end - at - 7);
    at = end + 1;
  }
  return d;
}

std::string run(const std::vector<std::wstring>& args, std::string* error = nullptr,
                std::vector<std::string>* notes = nullptr) {
  std::string text, why;
  std::vector<std::string> said;
  const bool ok = smart_command_text(args, text, said, why);
  if (error) *error = why;
  if (notes) *notes = said;
  EXPECT_EQ(ok, why.empty());
  return text;
}

}  // namespace

// The blocks of a recorded drive print the table of its dump. The scan stores SMART data whose
// checksum is right whatever the plausibility rules say, and data whose checksum is wrong when it
// passes them; so does --smart, with a note (each rule's verdict is smart_plausible's test).
// smart_unusual_attributes has attributes 1, 5, 9, 12, 171-174, 187, 194, 241, 242 and 255.
TEST(cli_smart, blocks_print_the_table_of_the_dump_as_the_scan_stores_them) {
  ONLY_WITH_32_BIT_RECORDINGS();
  std::string said;
  for (const char* machine :
       {"seagate_hdd", "samsung_sata_ssd", "sat_bridge", "smart_unusual_attributes", "bad_smart_checksum"}) {
    const recorded_drive d = only_drive(machine);
    block_files files;
    std::vector<std::string> notes;
    std::string error;
    const std::string text =
        run({L"--smart", files.arg("identify", d.drive.identify), files.arg("smart", d.drive.smart.attributes),
             files.arg("thresholds", d.drive.smart.thresholds)},
            &error, &notes);
    EXPECT_EQ(error, "");
    ASSERT_GT(d.table.size(), 100u) << machine;
    ASSERT_GT(text.size(), d.table.size()) << machine;
    EXPECT_EQ(text.substr(text.size() - d.table.size()), d.table) << machine;
    said += std::string(machine) + ":";
    for (std::string note : notes)
      said += " " + note.replace(note.find(to_utf8(files.path())), files.path().size(), "S");
    said += "\n";
  }
  expect_golden(said, "app/cli_smart_notes.txt");
}

// The identity lines and the NVMe health list; bad files and arguments refused, saying why (the
// test's folder written S).
TEST(cli_smart, identity_lines_the_nvme_health_list_and_refusals) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const recorded_drive ssd = only_drive("samsung_sata_ssd"), nvme = only_drive("nvme_ssd");
  const auto blocks = only_drive("seagate_hdd").drive.smart;
  block_files files;
  std::vector<uint8_t> short_block(blocks.attributes.begin(), blocks.attributes.begin() + 500);
  // A wrong checksum is forgiven only to what looks like an attribute set.
  ata_block bad_sum = attributes_block({{5, 0x33, 100, 100, 0}, {9, 0x32, 99, 99, 10}, {12, 0x32, 99, 99, 7}});
  bad_sum[100] ^= 0x10;
  const std::vector<std::wstring> cases[] = {
      {L"--smart", files.arg("identify", ssd.drive.identify)},
      {L"--smart", files.arg("nvme-identify", nvme.drive.nvme_identify), files.arg("nvme-health", nvme.drive.nvme_log)},
      {L"--smart", files.arg("smart", short_block)},
      {L"--smart", files.arg("smart", bad_sum)},
      {L"--smart", files.arg("smart", ata_block{})},
      {L"--smart", L"smart:C:\\no\\such\\folder\\smart.bin"},
      {L"--smart", files.arg("nvme-health", std::array<uint8_t, 512>{})},
      {L"--smart", files.arg("smart", blocks.attributes), files.arg("smart", blocks.attributes)},
      {L"--smart"},
      {L"--smart", L"raw:x.bin"},
      {L"--smart", files.arg("thresholds", blocks.thresholds)},
  };
  std::string text;
  for (const auto& args : cases) {
    std::string error;
    text += run(args, &error);
    text += (error.empty() ? "" : "refused: " + error + "\n") + "--\n";
  }
  for (size_t at; (at = text.find(to_utf8(files.path()))) != std::string::npos;)
    text.replace(at, files.path().size(), "S");
  ASSERT_NE(text.find(nvme.table), std::string::npos);  // the list as the dump shows it
  expect_golden(text, "app/cli_smart_lines.txt");
}
