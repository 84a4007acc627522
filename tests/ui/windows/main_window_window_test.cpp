// The main window in-process, over the preview's made-up machine and a runner that hands a Quick
// run's records over from the run's own thread: runs leave no handles or GUI objects behind, and
// a screenshot share hands over three BMPs whose graph pixels are the graphs' own.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "gui_counts.h"
#include "preview_data.h"
#include "queued_file_dialogs.h"
#include "toolkit/xfc_message_box.h"
#include "ui/graph_style.h"
#include "ui/main_window.h"
#include "ui/main_window_texts.h"
#include "ui/run_thread.h"
#include "ui_drive.h"
#include "window_driver.h"

namespace {

// The system around the window: the scan ends at once, a run hands over a Quick run's records
// on its own thread (stopping when the window says so), a screenshot share is kept.
struct made_up_env final : main_window_env {
  preview_run quick = finished_quick_run();
  run_thread thread;
  std::unique_ptr<report_files_api> files = make_win32_report_files(nullptr);
  std::atomic<int> shares{0};
  screenshot_set images;

  bool start_scan(const std::string&) override { return true; }
  bool scan_ended() override { return true; }
  scan_outcome take_scan() override { return {preview_scan(), "scan log\n"}; }
  bool start_run(const test_def&, test_runner_cb& runner) override {
    return thread.start([this, &runner] { return hand_over(runner); }, nullptr);
  }
  bool run_ended() override { return thread.ended(); }
  bool join_run() override { return thread.join(); }
  SYSTEMTIME local_time() override { return {2024, 1, 3, 31, 9, 5, 7, 0}; }
  report_host host_facts() override { return {}; }
  void open_url(const std::wstring&) override {}
  report_files_api& report_files() override { return *files; }
  bool share_prompt_allowed() override { return false; }
  void offer_share(const std::string&, const std::string&) override {}
  void share_screenshot(const screenshot_set& shot, const std::string&, const std::string&) override {
    images = shot;
    ++shares;
  }

  bool hand_over(test_runner_cb& runner) {
    for (uint64_t done : {0, 50, 100})
      if (!runner.on_init_progress(done, 100)) return false;
    for (bool read : {true, false}) {
      if (!runner.on_phase(read)) continue;
      for (const test_run& r : read ? quick.reads : quick.writes)
        if (!runner.on_test_done(r)) break;
    }
    return true;
  }
};

struct window_rig {
  std::unique_ptr<storage_stack> stack = preview_scan();
  preview_locations locations{*stack};
  queued_file_dialogs dialogs;
  made_up_env env;
  main_window window{env, locations, dialogs, file_version{1, 2, 3, 4}, web_server{L"folvi.example", true, 0}};
};

void sync(HWND window) { SendMessageW(window, WM_NULL, 0, 0); }

bool status_is(HWND window, const wchar_t* status) {
  return wait_until([&] { return control_text(window, id_status) == status; });
}

// Start, the run to its end, and OK back to the ready state, at rest.
bool one_run(HWND window, const main_window& w) {
  post_click(GetDlgItem(window, id_start));
  if (!status_is(window, status_completed)) return false;
  post_click(GetDlgItem(window, id_start));
  return status_is(window, status_ready) && wait_until([&] {
           sync(window);
           return !w.view_moving();
         });
}

// Painting holds objects for a moment, and timers paint on the window's thread while this one
// counts: what the window keeps is the least of a few counts.
gui_counts settled_gui_counts() {
  gui_counts least = count_gui_objects();
  for (int i = 0; i < 20; ++i) {
    Sleep(10);
    const gui_counts now = count_gui_objects();
    least.gdi = std::min(least.gdi, now.gdi);
    least.windows = std::min(least.windows, now.windows);
    least.menus = std::min(least.menus, now.menus);
  }
  return least;
}

unsigned long handle_count() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return n;
}

BOOL CALLBACK find_question_box(HWND w, LPARAM out) {
  if (!IsWindowVisible(w) || !GetDlgItem(w, mb_id_text)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

// The toolkit's message box over the window (it shares the window's title).
HWND question_box(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HWND found = nullptr;
  wait_until([&] {
    EnumThreadWindows(thread, find_question_box, reinterpret_cast<LPARAM>(&found));
    return found != nullptr;
  });
  return found;
}

struct bmp_view {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  const std::string* bytes = nullptr;
  explicit bmp_view(const std::string& b) : bytes(&b) {
    if (b.size() >= sizeof file + sizeof info) {
      std::memcpy(&file, b.data(), sizeof file);
      std::memcpy(&info, b.data() + sizeof file, sizeof info);
    }
  }
  // 0xRRGGBB of the pixel at (x, y) from the top; the rows are stored bottom-up.
  uint32_t pixel(int x, int y) const {
    const size_t row = size_t(info.biHeight - 1 - y);
    uint32_t p = 0;
    std::memcpy(&p, bytes->data() + file.bfOffBits + (row * size_t(info.biWidth) + size_t(x)) * 4, 4);
    return p & 0xFFFFFF;
  }
  int count(uint32_t rgb, const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += pixel(x, y) == rgb;
    return n;
  }
};

void expect_bmp_layout(const std::string& bytes, int width, int height, const char* what) {
  const bmp_view bmp(bytes);
  EXPECT_EQ(bmp.file.bfType, 0x4D42) << what;  // "BM"
  EXPECT_EQ(bmp.file.bfSize, bytes.size()) << what;
  EXPECT_EQ(bmp.file.bfOffBits, 54u) << what;
  EXPECT_EQ(bmp.info.biSize, 40u) << what;
  EXPECT_EQ(bmp.info.biWidth, width) << what;
  EXPECT_EQ(bmp.info.biHeight, height) << what;  // positive: bottom-up
  EXPECT_EQ(bmp.info.biPlanes, 1) << what;
  EXPECT_EQ(bmp.info.biBitCount, 32) << what;
  EXPECT_EQ(bmp.info.biCompression, DWORD(BI_RGB)) << what;
  EXPECT_EQ(bytes.size(), 54u + size_t(width) * size_t(height) * 4) << what;
}

TEST(main_window_window, runs_leave_nothing_behind_and_a_screenshot_shows_the_graphs) {
  window_rig rig;
  bool settled = false;
  gui_counts gui_before, gui_after;
  unsigned long handles_before = 0, handles_after = 0;
  RECT read_graph{}, write_graph{}, frame{};
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(status_is(d, status_ready));
    pick_from_list(GetDlgItem(d, id_presets), 0);
    ASSERT_TRUE(wait_until([&] { return control_text(d, id_configuration) == L"Quick"; }));
    // The first run fills the caches of the system and of the drawing; the next three add nothing.
    ASSERT_TRUE(one_run(d, rig.window));
    gui_before = settled_gui_counts();
    handles_before = handle_count();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(one_run(d, rig.window));
    gui_after = settled_gui_counts();
    handles_after = handle_count();
    if (!(gui_after == gui_before) || handles_after != handles_before) {
      // Wine's own caches (DCs, fonts) may still grow under another timing; they fill up, a leak
      // grows again: three more runs must add nothing.
      gui_before = gui_after;
      handles_before = handles_after;
      for (int i = 0; i < 3; ++i) ASSERT_TRUE(one_run(d, rig.window));
      gui_after = settled_gui_counts();
      handles_after = handle_count();
    }

    // A finished run in its graphs, at rest, then shared as a screenshot.
    post_click(GetDlgItem(d, id_start));
    ASSERT_TRUE(status_is(d, status_completed));
    // A graph learns that it animates when it paints: each is painted before it is asked, and
    // it must stay at rest over a few looks.
    int at_rest = 0;
    settled = wait_until([&] {
      bool still = IsWindowVisible(GetDlgItem(d, id_read_graph)) != 0;
      for (bool read : {true, false}) {
        UpdateWindow(GetDlgItem(d, read ? id_read_graph : id_write_graph));
        still = still && !rig.window.model().graph(read).animating();
      }
      at_rest = still ? at_rest + 1 : 0;
      return at_rest >= 5;
    });
    GetWindowRect(d, &frame);
    GetWindowRect(GetDlgItem(d, id_read_graph), &read_graph);
    GetWindowRect(GetDlgItem(d, id_write_graph), &write_graph);
    PostMessageW(d, WM_COMMAND, cmd_share_screenshot, 0);
    const HWND box = question_box(d);
    ASSERT_TRUE(box);
    click(GetDlgItem(box, mb_answer_ok));
    ASSERT_TRUE(wait_until([&] { return rig.env.shares.load() == 1; }));
    // The title and the button are back once the capture is done.
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(GetDlgItem(d, id_screengrab)) != 0; }));
    EXPECT_EQ(window_text(d), main_window_title);
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());
  EXPECT_TRUE(settled);

  EXPECT_EQ(handles_after, handles_before);
  EXPECT_GT(gui_before.gdi, 0);
  EXPECT_EQ(gui_after.gdi, gui_before.gdi);
  EXPECT_EQ(gui_after.windows, gui_before.windows);
  EXPECT_EQ(gui_after.menus, gui_before.menus);

  const screenshot_set& shot = rig.env.images;
  const int graph_w = read_graph.right - read_graph.left, graph_h = read_graph.bottom - read_graph.top;
  expect_bmp_layout(shot.window, frame.right - frame.left, frame.bottom - frame.top, "window");
  expect_bmp_layout(shot.read_graph, graph_w, graph_h, "read graph");
  expect_bmp_layout(shot.write_graph, write_graph.right - write_graph.left, write_graph.bottom - write_graph.top,
                    "write graph");

  // Each graph's image: its header band, its background and its best bar.
  const uint32_t header = graph_colours.header & 0xFFFFFF, background = graph_colours.background & 0xFFFFFF,
                 best = graph_colours.best_done & 0xFFFFFF, bar = graph_colours.bar_done & 0xFFFFFF;
  for (const std::string* image : {&shot.read_graph, &shot.write_graph}) {
    const bmp_view g(*image);
    EXPECT_EQ(g.pixel(graph_w / 2, 1), header);
    EXPECT_EQ(g.pixel(1, graph_h / 2), background);
    const RECT floor{0, graph_h - 10, graph_w, graph_h - 7};
    EXPECT_GT(g.count(best, floor), 0);
    EXPECT_GT(g.count(bar, floor), graph_w);
  }
  // The window's image shows the same graph where the read graph stands in it.
  const bmp_view window(shot.window), graph(shot.read_graph);
  const int dx = read_graph.left - frame.left, dy = read_graph.top - frame.top;
  int differing = 0;
  for (int y = 0; y < graph_h; y += 3)
    for (int x = 0; x < graph_w; x += 3) differing += window.pixel(dx + x, dy + y) != graph.pixel(x, y);
  EXPECT_EQ(differing, 0);
}

}  // namespace
