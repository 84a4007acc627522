#include "storage/location_list.h"

#include "fake_location.h"
#include "golden.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The location box as plain values.
struct fake_box final : location_list_cb {
  std::vector<std::wstring> items;
  int selected = -1;
  bool enabled = true;
  int pick_requests = 0;
  int summaries = 0;
  location_summary last;
  void set_items(const std::vector<std::wstring>& list) override { items = list; }
  void append_item(const std::wstring& text) override { items.push_back(text); }
  void remove_last_item() override {
    items.pop_back();
    if (selected >= int(items.size())) selected = -1;  // the box loses a deleted selection
  }
  void select_item(int index) override { selected = index; }
  void enable_list(bool on) override { enabled = on; }
  void post_pick_request() override { ++pick_requests; }
  void show_summary(const location_summary& s) override {
    last = s;
    ++summaries;
  }
};

volume_info volume(std::vector<std::wstring> mounts, uint32_t serial, const wchar_t* file_system) {
  volume_info v;
  v.has_info = true;
  v.serial_number = serial;
  v.file_system = file_system;
  v.mount_points = std::move(mounts);
  return v;
}

// The scanned volumes (mounted at letters, folders and names that are no drive roots; two share
// a serial number), and the system's answers about the locations the sessions pick.
struct session {
  storage_stack stack;
  fake_location api;
  fake_box box;
  location_list list{api};
  session() {
    stack.volumes = {volume({L"D:\\mnt\\data\\", L"Q:", L"\\\\?\\Volume{0b1f}\\"}, 0x11112222, L"NTFS"),
                     volume({L"c:\\", L"C:\\", L"E:/", L"1:\\", L"z"}, 0x33334444, L"NTFS"),
                     volume({L"z:\\"}, 0x33334444, L"FAT32")};
    for (const wchar_t* root : {L"C:\\", L"D:\\mnt\\data\\", L"N:\\", L"\\\\srv\\share\\", L"F:\\"})
      api.roots[root] = root;
    api.roots[L"E:\\x\\"] = L"E:\\";
    api.identities = {{L"C:\\", {0x33334444, L"NTFS"}},
                      {L"D:\\mnt\\data\\", {0x33334444, L"NTFS"}},
                      {L"E:\\", {0x99, L"FAT"}},
                      {L"N:\\", {0x11112222, L"NTFS"}},
                      {L"\\\\srv\\share\\", {0x55, L"NTFS"}}};
    api.remote_root = L"N:\\";
  }

  // One step of the session, then the box, the list and the summary shown last.
  std::string step(const std::string& spec) {
    std::istringstream in(spec);
    std::string verb, arg;
    in >> verb;
    std::getline(in >> std::ws, arg);
    const std::wstring wide = from_utf8(arg);
    if (verb == "start_scan") list.start_scan(box);
    else if (verb == "scan_done") list.scan_done(box, &stack);
    else if (verb == "dropped_down") list.dropped_down(box);
    else if (verb == "closed_up") list.closed_up(box);
    else if (verb == "confirmed") list.confirmed(box, std::stoi(arg));
    else if (verb == "picked") list.picked(box, wide);  // nothing: the picker was cancelled
    else if (verb == "box_selects") box.selected = std::stoi(arg);
    else if (verb == "gone") api.gone = wide;
    else if (verb == "share")
      std::istringstream(arg) >> std::hex >> api.share.protocol >> std::dec >> api.share.major >> api.share.minor >>
          api.share.revision;
    else ADD_FAILURE() << "no such step: " << verb;
    std::string t = "  box:";
    for (const std::wstring& item : box.items) t += " [" + to_utf8(item) + "]";
    t += ", selected " + std::to_string(box.selected) + (box.enabled ? ", enabled, " : ", disabled, ") +
         std::to_string(box.pick_requests) + " picks\n  list: selected " + std::to_string(list.selected()) + " [" +
         to_utf8(list.location()) + "], " + std::to_string(box.summaries) + " summaries\n";
    const location_summary& s = box.last;
    t += "  summary: " +
         to_utf8(s.file_system + L" | " + s.volume + L" | " + s.device + L" | " + s.controller + L" | " + s.host_os) +
         (s.selected_volume ? " | volume " + std::to_string(s.selected_volume - stack.volumes.data()) : "") +
         "\n  facts:";
    for (const report_entry& e : s.storage_facts) t += " " + e.key + "=" + e.value + ";";
    return t + "\n";
  }
};

TEST(location_list, normalising_a_picked_folder) {
  std::istringstream rows(test_data_text("storage/normalized_locations.txt"));
  std::string row, text;
  while (std::getline(rows, row)) {
    const size_t arrow = row.find("] -> [");
    if (row[0] == '[' && arrow != std::string::npos)
      row = row.substr(0, arrow) + "] -> [" + to_utf8(normalize_location(from_utf8(row.substr(1, arrow - 1)))) + "]";
    text += row + "\n";
  }
  expect_golden(text, "storage/normalized_locations.txt");
  EXPECT_TRUE(same_location(L"c:\\Bench", L"C:\\BENCH\\"));
  EXPECT_TRUE(same_location(L"\\\\?\\D:\\x", L"D:/X/"));
  EXPECT_FALSE(same_location(L"C:\\a", L"C:\\ab"));
}

// A session of steps, each followed by what the box, the list and the summary show, in
// tests/data/storage/location_sessions.txt.
TEST(location_list, a_session_of_scans_choices_and_picked_folders) {
  session s;
  expect_cases("storage/location_sessions.txt", [&](const std::string& spec) { return s.step(spec); });
}

}  // namespace
