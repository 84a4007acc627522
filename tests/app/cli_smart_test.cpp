// folvi-cli --smart: blocks saved from a drive print as the storage dump shows that drive.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "app/cli_smart.h"
#include "machine_scan.h"
#include "health_blocks.h"
#include "recorded_machine.h"
#include "support/text.h"

namespace {

// Files in the temporary folder, removed when the test ends.
class block_files {
 public:
  ~block_files() {
    for (const std::wstring& p : paths_) DeleteFileW(p.c_str());
  }
  std::wstring write(const std::string& name, const uint8_t* data, size_t size) {
    wchar_t dir[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"folvi-smart-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(paths_.size()) + L"-" + std::wstring(name.begin(), name.end());
    FILE* f = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(f, nullptr);
    if (!f) return path;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    paths_.push_back(path);
    return path;
  }
  template <typename block_t>
  std::wstring arg(const std::string& kind, const block_t& block) {
    return std::wstring(kind.begin(), kind.end()) + L":" + write(kind, block.data(), block.size());
  }

 private:
  std::vector<std::wstring> paths_;
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
TEST(cli_smart, blocks_print_the_table_of_the_dump_as_the_scan_stores_them) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const std::pair<const char*, std::string> cases[] = {
      {"seagate_hdd", ""},
      {"samsung_sata_ssd", ""},
      {"sat_bridge", ""},
      // The unusual set: attributes 1, 5, 9, 12, 171-174, 187, 194, 241, 242 and 255.
      {"smart_unusual_attributes",
       "not a usual attribute set (Entry 255 is present); shown all the same, as its checksum is right"},
      {"bad_smart_checksum",
       "its checksum is wrong (the bytes sum to SUM, not 0); shown all the same, as it looks "
       "like an attribute set"}};
  for (auto [machine, note] : cases) {
    const recorded_drive d = only_drive(machine);
    const auto& block = d.drive.smart.attributes;
    const size_t sum = note.find("SUM");
    if (sum != std::string::npos)
      note.replace(sum, 3, std::to_string(std::accumulate(block.begin(), block.end(), 0u) & 0xFF));
    block_files files;
    const std::wstring smart = files.arg("smart", block);
    std::vector<std::string> notes;
    std::string error;
    const std::string text = run(
        {L"--smart", files.arg("identify", d.drive.identify), smart, files.arg("thresholds", d.drive.smart.thresholds)},
        &error, &notes);
    EXPECT_EQ(error, "");
    ASSERT_GT(d.table.size(), 100u) << machine;
    ASSERT_GT(text.size(), d.table.size()) << machine;
    EXPECT_EQ(text.substr(text.size() - d.table.size()), d.table) << machine;
    EXPECT_EQ(notes,
              note.empty() ? std::vector<std::string>() : std::vector<std::string>{to_utf8(smart) + ": note: " + note});
  }
}

TEST(cli_smart, identity_lines_and_the_nvme_health_list) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const recorded_drive ssd = only_drive("samsung_sata_ssd");
  block_files files;
  const std::string text = run({L"--smart", files.arg("identify", ssd.drive.identify)});
  EXPECT_EQ(text,
            "Vendor                     [Samsung]\n"
            "Model                      [MZ7LN256HMJP-000L7], org [SAMSUNG MZ7LN256HMJP-000L7]\n"
            "Serial                     [S2X9NX0J301234]\n"
            "Firmware                   [MAT02L6Q]\n");

  const recorded_drive nvme = only_drive("nvme_ssd");
  const std::string list = run({L"--smart", files.arg("nvme-identify", nvme.drive.nvme_identify),
                                files.arg("nvme-health", nvme.drive.nvme_log)});
  const std::string head =
      "Vendor                     [Samsung]\n"
      "Model                      [SSD 970 EVO Plus 1TB], org [Samsung SSD 970 EVO Plus 1TB]\n"
      "Serial                     [S4EWNX0R123456A]\n"
      "Firmware                   [2B2QEXM7]\n";
  EXPECT_EQ(list, head + nvme.table);
}

TEST(cli_smart, bad_files_and_arguments_say_why) {
  ONLY_WITH_32_BIT_RECORDINGS();
  const auto blocks = only_drive("seagate_hdd").drive.smart;
  block_files files;
  std::vector<uint8_t> short_block(blocks.attributes.begin(), blocks.attributes.begin() + 500);
  // A wrong checksum is forgiven only to what looks like an attribute set.
  ata_block bad_sum = attributes_block({{5, 0x33, 100, 100, 0}, {9, 0x32, 99, 99, 10}, {12, 0x32, 99, 99, 7}});
  bad_sum[100] ^= 0x10;
  const ata_block zeros{};
  const std::wstring missing = L"smart:C:\\no\\such\\folder\\smart.bin";
  const struct {
    std::vector<std::wstring> args;
    std::string error;  // after the argument itself
  } cases[] = {
      {{L"--smart", files.arg("smart", short_block)}, ": 500 bytes, but a SMART READ DATA block has 512"},
      {{L"--smart", files.arg("smart", bad_sum)},
       ": not a SMART READ DATA block: its checksum is wrong (the bytes sum to 16, not 0) and it is not an attribute "
       "set: Too few attributes - 3"},
      {{L"--smart", files.arg("smart", zeros)}, ": not a SMART READ DATA block: all its bytes are zero"},
      {{L"--smart", missing}, ": cannot be read"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string error;
    EXPECT_EQ(run(cases[i].args, &error), "");
    const std::wstring& a = cases[i].args[1];
    EXPECT_EQ(error, std::string(a.begin(), a.end()) + cases[i].error);
  }
  std::string error;
  run({L"--smart", files.arg("nvme-health", std::array<uint8_t, 512>{})}, &error);
  EXPECT_NE(error.find(": not an NVMe SMART/health log page: all its bytes are zero"), std::string::npos) << error;
  run({L"--smart", files.arg("smart", blocks.attributes), files.arg("smart", blocks.attributes)}, &error);
  EXPECT_EQ(error, "--smart: smart is given twice");
  run({L"--smart"}, &error);
  EXPECT_EQ(error, "--smart: give one or more KIND:FILE");
  run({L"--smart", L"raw:x.bin"}, &error);
  EXPECT_EQ(error,
            "--smart: \"raw:x.bin\" is not KIND:FILE with KIND identify, smart, thresholds, nvme-identify or "
            "nvme-health");
  run({L"--smart", files.arg("thresholds", blocks.thresholds)}, &error);
  EXPECT_EQ(error, "--smart: thresholds: go with smart:");
  EXPECT_EQ(run_smart_command({L"--smart", missing}), 2);
}
