// The graphs, the raw-data list and the location box on screen, in the preview window.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "preview_data.h"
#include "recorded_machine.h"
#include "preview_window.h"
#include "queued_file_dialogs.h"
#include "resource_ids.h"
#include "results/raw_texts.h"
#include "ui/graph_style.h"
#include "ui_drive.h"
#include "window_driver.h"

namespace {

const wchar_t caption[] = L"FOLVI UI preview";
constexpr int settle_bound = 40;  // frames: the fades and the scale arrive within about a dozen

COLORREF rgb_of(uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// A colour drawn at alpha over an opaque one.
uint32_t over(uint32_t argb, uint32_t below) {
  const uint32_t a = argb >> 24;
  auto channel = [&](int shift) {
    return ((argb >> shift & 0xFF) * a + (below >> shift & 0xFF) * (255 - a) + 127) / 255;
  };
  return 0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
}

// Counts a graph's paints; asked with probe_timer, answers (on the window's own thread) whether
// the animation timer was still running.
constexpr UINT probe_timer = WM_APP + 9;
struct paint_counter final : sfc_msg_hook {
  std::atomic<int> paints{0};
  bool before(sfc_msg& m) override {
    if (m.message == WM_PAINT) ++paints;
    if (m.message != probe_timer) return true;
    m.result = KillTimer(m.hwnd, graph_timer_id);
    return false;
  }
  operator int() const { return paints; }
};

// The user-interface thread has handled everything sent before; its state may be read.
void sync(HWND window) { SendMessageW(window, WM_NULL, 0, 0); }

struct preview_rig {
  std::unique_ptr<storage_stack> stack = preview_scan();
  preview_locations locations{*stack};
  queued_file_dialogs dialogs;
  paint_counter read_paints, write_paints;
  std::unique_ptr<preview_window> window;

  preview_rig() {
    window.reset(new preview_window({}, *stack, locations, dialogs));
    window->graph(true).add_hook(&read_paints);
    window->graph(false).add_hook(&write_paints);
  }
  // Paints until both graphs have stopped their timers; false after settle_bound frames each.
  bool settle(HWND dialog) {
    const bool still = wait_until([&] {
                         sync(dialog);
                         if (read_paints > settle_bound || write_paints > settle_bound) return true;
                         return read_paints > 0 && write_paints > 0 && !window->graph_model(true).animating() &&
                                !window->graph_model(false).animating();
                       }) &&
                       read_paints <= settle_bound && write_paints <= settle_bound;
    // The windows agree with their models: no timer is left running.
    for (bool read : {true, false})
      if (SendMessageW(window->graph(read).hwnd(), probe_timer, 0, 0)) return false;
    return still;
  }
};

// Where the frame puts a graph's plot and its bars (the padding is the frame's).
struct graph_geometry {
  HWND hwnd;
  int width, height;
  double slot;
  graph_geometry(HWND graph, uint32_t planned) : hwnd(graph) {
    RECT r;
    GetClientRect(graph, &r);
    width = r.right;
    height = r.bottom;
    slot = (width - 2 * graph_padding) / planned;
  }
  int bar_x(size_t i) const { return int(graph_padding + (double(i) + 0.5) * slot); }
  int plot_bottom() const { return int(height - graph_padding); }
  RECT header_right() const { return {width / 2, 0, width, 30}; }
};

size_t best_of(const std::vector<test_run>& runs) {
  size_t best = 0;
  for (size_t i = 0; i < runs.size(); ++i)
    if (runs[i].ok && runs[i].rate > runs[best].rate) best = i;
  return best;
}

std::vector<COLORREF> pixel_row(HWND window, int y, int from, int to) {
  std::vector<COLORREF> row;
  const HDC dc = GetDC(window);
  for (int x = from; x < to; ++x) row.push_back(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return row;
}

TEST(results_windows, a_finished_quick_run_settles_and_shows_its_colours_in_both_units) {
  preview_rig rig;
  preview_window& w = *rig.window;
  window_driver driver(caption, [&](HWND d) {
    const closes_at_end guard(d);
    ASSERT_TRUE(rig.settle(d)) << rig.read_paints << " / " << rig.write_paints << " frames";
    const std::vector<test_run>& reads = w.results().read_results();
    const std::vector<test_run>& writes = w.results().write_results();
    ASSERT_EQ(reads.size(), 68u);
    const graph_geometry read(GetDlgItem(d, IDC_MAIN_READ_GRAPH), 68), write(GetDlgItem(d, IDC_MAIN_WRITE_GRAPH), 68);
    const size_t best = best_of(reads), plain = best == 0 ? 1 : 0;
    const graph_style& c = graph_colours;
    EXPECT_EQ(client_pixel(read.hwnd, read.width / 2, 1), rgb_of(c.header));
    EXPECT_EQ(client_pixel(read.hwnd, 1, read.height - 1), rgb_of(c.background));
    EXPECT_EQ(client_pixel(read.hwnd, read.bar_x(best), read.plot_bottom() - 2), rgb_of(c.best_done));
    EXPECT_EQ(client_pixel(read.hwnd, read.bar_x(plain), read.plot_bottom() - 2), rgb_of(c.bar_done));
    // The full bar is 85% of the plot: above the best bar is background.
    const int plot_top = read.plot_bottom() - int((read.plot_bottom() - 40) * 0.85);
    EXPECT_EQ(client_pixel(read.hwnd, read.bar_x(best), plot_top - 20), rgb_of(c.background));
    // The failed write: a thin half-transparent bar over the slot's grid line.
    ASSERT_FALSE(writes[29].ok);
    const uint32_t grid_line = over(c.grid, c.background);
    EXPECT_TRUE(near_colour(client_pixel(write.hwnd, write.bar_x(29), write.plot_bottom() - 1),
                            rgb_of(over(c.failed_done, grid_line)), 4));
    EXPECT_TRUE(near_colour(client_pixel(write.hwnd, write.bar_x(29), write.plot_bottom() - 5), rgb_of(grid_line), 2));
    // The number and its unit, in 1024 bytes per KB.
    EXPECT_GT(count_near(read.hwnd, read.header_right(), rgb_of(c.best_done), 24), 10);
    EXPECT_GT(count_near(read.hwnd, read.header_right(), rgb_of(c.caption), 24), 5);
    const std::vector<COLORREF> header_before = pixel_row(read.hwnd, 20, read.width / 2, read.width);

    // A click on the unit switches both graphs to 1000 bytes per KB, repainted.
    const int paints = rig.read_paints;
    PostMessageW(read.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(read.width - 3, 3));
    ASSERT_TRUE(wait_until([&] {
      sync(d);
      return w.graph_model(true).decimal_units() && rig.read_paints > paints;
    }));
    ASSERT_TRUE(rig.settle(d));
    EXPECT_TRUE(w.graph_model(false).decimal_units());
    EXPECT_NE(pixel_row(read.hwnd, 20, read.width / 2, read.width), header_before);
    click(GetDlgItem(d, IDCANCEL));
  });
  w.run();
  EXPECT_TRUE(driver.finish());
}

TEST(results_windows, the_list_shows_the_rows_with_their_styles) {
  preview_rig rig;
  preview_window& w = *rig.window;
  window_driver driver(caption, [&](HWND d) {
    const closes_at_end guard(d);
    const HWND list = GetDlgItem(d, IDC_MAIN_RESULTS);
    sync(d);
    const raw_rows& rows = w.results().rows();
    std::vector<std::vector<std::wstring>> texts;
    for (const raw_row& r : rows.rows()) texts.push_back({r.buffers, r.mode, r.rate});
    const auto shown = list_rows(list);
    ASSERT_EQ(shown, texts);
    // The third column ends at the client area's right edge.
    RECT client;
    GetClientRect(list, &client);
    int widths = 0;
    for (int i = 0; i < 3; ++i) widths += int(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
    EXPECT_EQ(widths, client.right);

    // The best-rate block stands at the top: rows alternate their backgrounds, a line under each.
    const int top = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(shown[size_t(top) + 1][0], raw_best_read_heading);
    const raw_list_palette& p = raw_list_colours;
    for (int row = top; row < top + 4; ++row) {
      RECT r{LVIR_BOUNDS, 0, 0, 0};
      SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r));
      EXPECT_EQ(client_pixel(list, r.right - 3, (r.top + r.bottom) / 2), COLORREF(p.row_background[row & 1])) << row;
      EXPECT_EQ(client_pixel(list, r.right - 3, r.bottom - 1), COLORREF(p.separator)) << row;
    }
    // The headings and the best row in the accent colour; the failed write row in grey.
    RECT heading{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, WPARAM(top + 1), LPARAM(&heading));
    heading.right = heading.left + 80;
    EXPECT_GT(count_near(list, heading, COLORREF(p.accent), 40), 10);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT header_rect;
    GetClientRect(header, &header_rect);
    EXPECT_EQ(client_pixel(header, header_rect.right - 10, 2), COLORREF(p.header_background));
    size_t failed = 0;
    while (failed < rows.size() && rows.rows()[failed].style != style_failed) ++failed;
    ASSERT_LT(failed, rows.size());
    SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(failed), FALSE);
    RECT grey{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, WPARAM(failed), LPARAM(&grey));
    EXPECT_GT(count_near(list, grey, COLORREF(p.grey), 40), 10);
    click(GetDlgItem(d, IDCANCEL));
  });
  w.run();
  EXPECT_TRUE(driver.finish());
}

// The location box's lists and summary follow the location list (whose choices have their own
// tests); the picker opens over the window with its title, and a picked folder shows in the box.
TEST(location_box_window, drive_roots_the_custom_item_and_a_picked_folder) {
  ONLY_WITH_32_BIT_RECORDINGS();
  preview_rig rig;
  window_driver driver(caption, [&](HWND d) {
    const closes_at_end guard(d);
    const HWND combo = GetDlgItem(d, IDC_MAIN_LOCATION);
    EXPECT_EQ(combo_items(combo), (std::vector<std::wstring>{L"C:\\", L"D:\\", L"E:\\"}));
    pick_from_list(combo, 2);
    sync(d);
    EXPECT_EQ(window_text(combo), L"E:\\");
    EXPECT_EQ(control_text(d, IDC_MAIN_VOLUME), L"7E2B-6F10");
    EXPECT_EQ(control_text(d, IDC_MAIN_CONTROLLER), L"Standard NVM Express Controller");
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_MAIN_LOCATION, CBN_DROPDOWN), LPARAM(combo));
    EXPECT_EQ(combo_items(combo).back(), L"Add custom location...");
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_MAIN_LOCATION, CBN_CLOSEUP), LPARAM(combo));
    EXPECT_EQ(combo_items(combo).size(), 3u);
    rig.dialogs.answer_folder(L"d:/bench");
    pick_from_list(combo, -1);
    ASSERT_TRUE(wait_until([&] {
      sync(d);
      return rig.dialogs.folder_requests.size() == 1;
    }));
    sync(d);
    EXPECT_EQ(rig.dialogs.folder_requests[0].title, L"Pick location for the test file");
    EXPECT_EQ(rig.dialogs.folder_requests[0].owner, d);
    EXPECT_EQ(combo_items(combo), (std::vector<std::wstring>{L"C:\\", L"D:\\", L"E:\\", L"D:\\bench\\"}));
    EXPECT_EQ(window_text(combo), L"D:\\bench\\");
    EXPECT_EQ(control_text(d, IDC_MAIN_VOLUME), L"0C41-D7A8");
    click(GetDlgItem(d, IDCANCEL));
  });
  rig.window->run();
  EXPECT_TRUE(driver.finish());
}

}  // namespace
