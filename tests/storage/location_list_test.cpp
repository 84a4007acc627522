#include "storage/location_list.h"

#include "fake_location.h"
#include "golden.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The location box as plain values, and the system's answers about locations.
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

storage_stack two_drives() {
  storage_stack s;
  for (const wchar_t* mount : {L"D:\\", L"c:\\"}) {
    volume_info v;
    v.mount_points = {mount};
    s.volumes.push_back(v);
  }
  return s;
}

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

TEST(location_list, scan_drop_down_and_confirmed_choices) {
  fake_location api;  // no location exists
  fake_box box;
  location_list list(api);
  list.start_scan(box);
  EXPECT_EQ(box.items, (std::vector<std::wstring>{L"Scanning the storage stack, please wait..."}));
  EXPECT_FALSE(box.enabled);
  EXPECT_EQ(box.last.device, L"\u2013");
  list.dropped_down(box);  // disabled during the scan: nothing to add
  list.confirmed(box, 0);
  EXPECT_EQ(box.items.size(), 1u);
  EXPECT_EQ(box.pick_requests, 0);

  const storage_stack stack = two_drives();
  list.scan_done(box, &stack);
  EXPECT_EQ(box.items, (std::vector<std::wstring>{L"C:\\", L"D:\\"}));
  EXPECT_EQ(box.selected, 0);
  EXPECT_TRUE(box.enabled);
  EXPECT_EQ(list.location(), L"C:\\");

  // The add item lives only while the list is down, once.
  list.dropped_down(box);
  list.dropped_down(box);
  EXPECT_EQ(box.items.back(), L"Add custom location...");
  EXPECT_EQ(box.items.size(), 3u);
  list.confirmed(box, 1);
  list.closed_up(box);
  EXPECT_EQ(box.items.size(), 2u);
  EXPECT_EQ(box.selected, 1);
  EXPECT_EQ(list.location(), L"D:\\");
  const int before = box.summaries;
  list.confirmed(box, 1);  // the same item again still refreshes
  EXPECT_EQ(box.summaries, before + 1);
}

TEST(location_list, picking_a_folder_or_cancelling) {
  fake_location api;  // no location exists
  fake_box box;
  location_list list(api);
  const storage_stack stack = two_drives();
  list.scan_done(box, &stack);
  list.confirmed(box, 1);

  // Cancelled: D: stays, not the first drive.
  list.dropped_down(box);
  box.selected = 2;
  list.confirmed(box, 2);
  EXPECT_EQ(box.pick_requests, 1);
  list.closed_up(box);
  EXPECT_EQ(box.selected, 1);
  const int before = box.summaries;
  list.picked(box, L"");
  EXPECT_EQ(box.selected, 1);
  EXPECT_EQ(list.location(), L"D:\\");
  EXPECT_EQ(box.summaries, before + 1);

  // A new folder is added at the end and selected; an existing one is selected, not added.
  list.picked(box, L"\\\\?\\D:\\Bench");
  EXPECT_EQ(box.items, (std::vector<std::wstring>{L"C:\\", L"D:\\", L"D:\\Bench\\"}));
  EXPECT_EQ(box.selected, 2);
  list.picked(box, L"c:");
  EXPECT_EQ(box.items.size(), 3u);
  EXPECT_EQ(box.selected, 0);
  list.picked(box, L"d:/bench/");
  EXPECT_EQ(box.items.size(), 3u);
  EXPECT_EQ(box.selected, 2);

  // Close-up reported before the confirmation: the add item's index still opens the picker.
  list.dropped_down(box);
  list.closed_up(box);
  list.confirmed(box, 3);
  EXPECT_EQ(box.pick_requests, 2);
  EXPECT_EQ(list.selected(), 2);
  // An index the box cannot have keeps the selection.
  list.confirmed(box, 7);
  EXPECT_EQ(box.selected, 2);
}

TEST(location_list, the_summary_follows_the_selection) {
  // C: answers as the scanned volume with its serial number; anything else is gone.
  fake_location api;
  api.roots = {{L"C:\\", L"C:\\"}};
  api.identities = {{L"C:\\", {0x1234ABCD, L"NTFS"}}};
  storage_stack stack;
  volume_info v;
  v.has_info = true;
  v.serial_number = 0x1234ABCD;
  v.file_system = L"NTFS";
  v.mount_points = {L"C:\\"};
  stack.volumes = {v};
  fake_box box;
  location_list list(api);
  list.scan_done(box, &stack);
  EXPECT_EQ(box.last.file_system, L"NTFS");
  EXPECT_EQ(box.last.volume, L"1234-ABCD");
  EXPECT_EQ(box.last.host_os, L"Windows 10");
  EXPECT_EQ(list.summary().selected_volume, &stack.volumes[0]);
  list.picked(box, L"Q:\\gone");
  EXPECT_EQ(list.location(), L"Q:\\gone\\");
  EXPECT_EQ(box.last.volume, L"\u2013");
  EXPECT_EQ(box.last.host_os, L"\u2013");
  EXPECT_EQ(list.summary().selected_volume, nullptr);
}

}  // namespace
