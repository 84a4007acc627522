// The main window in-process, over a recorded machine and a runner that hands a Quick run's
// records over from the run's own thread: runs leave no handles or GUI objects behind; the window
// opens without a black moment, its location box, profile dialog, graphs and results list as the
// user sees them; nothing black shows while its view moves; a screenshot share hands over three
// BMPs that show what the screen shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "bench/test_combo.h"
#include "fake_location.h"
#include "gui_counts.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "queued_file_dialogs.h"
#include "toolkit/xfc_message_box.h"
#include "ui/graph_style.h"
#include "ui/main_window.h"
#include "results/raw_texts.h"
#include "ui/main_window_texts.h"
#include "ui/screenshot_image.h"
#include "ui/run_thread.h"
#include "resource_ids.h"
#include "screen_image.h"
#include "support/text.h"
#include "ui_drive.h"
#include "window_driver.h"
#include "window_find.h"

namespace {

// A desktop with a Seagate hard disk (C: and D:) and a Samsung NVMe drive (E:), scanned once:
// each scan leaves two handles behind under Wine, which the window's leak check would count.
const storage_stack& machine() {
  static const scanned desktop = scan_recorded("preview_desktop");
  return *desktop.model;
}

// The system's answers for locations on that machine: a drive root and D:\bench exist.
struct desktop_locations {
  fake_location api;
  desktop_locations() {
    for (const volume_info& v : machine().volumes)
      for (const std::wstring& root : v.mount_points) {
        api.roots[root] = root;
        api.identities[root] = {v.serial_number, v.file_system};
      }
    api.roots[L"D:\\bench\\"] = L"D:\\";
  }
};

// A Quick run's records with plausible rates of a SATA SSD, rising with the bytes in flight; the
// 30th write failed.
std::vector<test_run> quick_records(bool read) {
  test_def quick;
  quick.reset(0);
  std::vector<test_combo> combos;
  generate_combo_vec(quick, read, combos);
  std::vector<test_run> runs;
  for (size_t i = 0; i < combos.size(); ++i) {
    test_run r;
    r.read = read;
    r.buffer_size = uint32_t(combos[i].buffer_size);
    r.buffer_count = combos[i].buffer_count;
    r.open_flags = combos[i].open_flags;
    r.ok = true;
    const double in_flight = double(r.buffer_size) * r.buffer_count;
    r.rate = (read ? 545e6 : 495e6) * (1.0 - std::exp(-in_flight / 260e3)) * (1.0 + 0.015 * std::sin(i * 1.7));
    runs.push_back(r);
  }
  if (!read) {
    runs.at(29).ok = false;
    runs[29].rate = 0;
    runs[29].error = {"WriteFile", 1117, ""};
  }
  return runs;
}

// The system around the window: the scan ends at once, a run hands over a Quick run's records
// on its own thread (stopping when the window says so), a screenshot share is kept.
struct made_up_env final : main_window_env {
  const std::vector<test_run> reads = quick_records(true), writes = quick_records(false);
  run_thread thread;
  std::unique_ptr<report_files_api> files = make_win32_report_files(nullptr);
  std::atomic<int> shares{0};
  screenshot_set images;
  // When set, a run prepares its test file only once this is signalled (or after 10 s).
  HANDLE gate = nullptr;

  bool start_scan(const std::string&) override { return true; }
  bool scan_ended() override { return true; }
  scan_outcome take_scan() override { return {std::make_unique<storage_stack>(machine()), "scan log\n"}; }
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
    if (gate) WaitForSingleObject(gate, 10000);
    for (uint64_t done : {0, 50, 100})
      if (!runner.on_init_progress(done, 100)) return false;
    for (bool read : {true, false}) {
      if (!runner.on_phase(read)) continue;
      for (const test_run& r : read ? reads : writes)
        if (!runner.on_test_done(r)) break;
    }
    return true;
  }
};

struct window_rig {
  desktop_locations locations;
  queued_file_dialogs dialogs;
  made_up_env env;
  main_window window{env, locations.api, dialogs, file_version{1, 2, 3, 4}, web_server{L"folvi.example", true, 0}};
};

void sync(HWND window) { SendMessageW(window, WM_NULL, 0, 0); }

bool status_is(HWND window, const wchar_t* status) {
  return wait_until([&] { return control_text(window, IDC_MAIN_STATUS) == status; });
}

// The ready window with the Quick profile chosen.
bool ready_with_quick(HWND window) {
  if (!status_is(window, status_ready)) return false;
  pick_from_list(GetDlgItem(window, IDC_MAIN_PRESETS), 0);
  return wait_until([&] { return control_text(window, IDC_MAIN_CONFIGURATION) == L"Quick"; });
}

// Start, the run to its end, and OK back to the ready state, at rest.
bool one_run(HWND window, const main_window& w) {
  post_click(GetDlgItem(window, IDC_MAIN_START));
  if (!status_is(window, status_completed)) return false;
  post_click(GetDlgItem(window, IDC_MAIN_START));
  return status_is(window, status_ready) && wait_until([&] {
           sync(window);
           return !w.view_moving();
         });
}

// The toolkit's message box over the window (it shares the window's title).
HWND question_box() {
  window_query query;
  query.title = to_utf8(main_window_title);
  query.pid = GetCurrentProcessId();
  HWND found = nullptr;
  wait_until([&] {
    for (HWND w : find_top_level_windows(query))
      if (GetDlgItem(w, mb_id_text)) found = w;
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
};

// A finished run in its graphs, the view's move ended and both graphs painted and at rest over a
// few looks (a graph learns that it animates when it paints, so each is painted before it is asked).
bool graphs_at_rest(HWND d, window_rig& rig) {
  int at_rest = 0;
  return wait_until([&] {
    sync(d);
    bool still = !rig.window.view_moving() && IsWindowVisible(GetDlgItem(d, IDC_MAIN_READ_GRAPH)) != 0;
    for (bool read : {true, false}) {
      UpdateWindow(GetDlgItem(d, read ? IDC_MAIN_READ_GRAPH : IDC_MAIN_WRITE_GRAPH));
      still = still && !rig.window.model().graph(read).animating();
    }
    at_rest = still ? at_rest + 1 : 0;
    return at_rest >= 5;
  });
}

// Shares a screenshot, answering the question with OK; true once the window has handed it over
// and the screengrab button is back.
bool share_screenshot(HWND d, window_rig& rig) {
  const int shares = rig.env.shares.load();
  PostMessageW(d, WM_COMMAND, ID_SCREENGRAB_SHARE_SCREENSHOT, 0);
  const HWND box = question_box();
  if (!box) return false;
  click(GetDlgItem(box, mb_answer_ok));
  return wait_until([&] { return rig.env.shares.load() == shares + 1; }) &&
         wait_until([&] { return IsWindowVisible(GetDlgItem(d, IDC_MAIN_SCREENGRAB)) != 0; });
}

// "Customize..." opens the profile dialog modally: the choice is posted, not sent.
HWND open_profile_dialog(HWND d) {
  const HWND presets = GetDlgItem(d, IDC_MAIN_PRESETS);
  SendMessageW(presets, CB_SETCURSEL, WPARAM(SendMessageW(presets, CB_GETCOUNT, 0, 0) - 1), 0);
  PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PRESETS, CBN_SELENDOK), LPARAM(presets));
  return wait_for_window("Test profile");
}

bool cancel(HWND dialog) {
  click(GetDlgItem(dialog, IDCANCEL));
  return wait_until([&] { return !IsWindow(dialog); });
}

// A window's whole life: opened, its profile dialog opened with the hint's balloon and an invalid
// field's red frame shown, then cancelled; a Quick run to its end and OK; closed.
bool one_life() {
  window_rig rig;
  bool lived = false;
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    const HWND dialog = status_is(d, status_ready) ? open_profile_dialog(d) : nullptr;
    if (!dialog) return;
    click(GetDlgItem(dialog, IDC_CONFIG_RUN_TIME_HINT));
    type_text(GetDlgItem(dialog, IDC_CONFIG_MAX_RUN_TIME), L"5");
    click(GetDlgItem(dialog, IDOK));
    UpdateWindow(dialog);
    lived = cancel(dialog) && ready_with_quick(d) && one_run(d, rig.window);
    post_close(d);
  });
  return rig.window.run() == 1 && driver.finish() && lived;
}

TEST(main_window_window, a_window_s_life_leaves_nothing_behind) {
  ONLY_WITH_32_BIT_RECORDINGS();
  expect_no_leaks(count_leaks(one_life, 3));
}

// Wherever Wine's default placement has put the window, the dialog centred on it must fit the
// work area: the window is moved to the work area's centre first (the routine's clamping has tests
// of its own). The ready window is smaller than the dialog, which stands over it, centre on centre.
void expect_the_profile_dialog_centred(HWND d) {
  RECT work{}, window{}, dialog{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(d, &window);
  SetWindowPos(d, nullptr, (work.left + work.right - (window.right - window.left)) / 2,
               (work.top + work.bottom - (window.bottom - window.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(d, &window);
  const HWND profile = open_profile_dialog(d);
  ASSERT_TRUE(profile);
  GetWindowRect(profile, &dialog);
  ASSERT_TRUE(cancel(profile));
  EXPECT_GT(dialog.bottom - dialog.top, window.bottom - window.top);
  EXPECT_LE(std::abs((dialog.left + dialog.right) - (window.left + window.right)), 1);
  EXPECT_LE(std::abs((dialog.top + dialog.bottom) - (window.top + window.bottom)), 1);
}

// A window of one colour over the whole screen, below the windows that open after it: where the
// window under test has not drawn yet, the screen shows this colour and not the display's black.
class backdrop {
 public:
  static constexpr COLORREF colour = RGB(255, 0, 255);
  backdrop() {
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hbrBackground = brush_;
    c.lpszClassName = L"FolviTestBackdrop";
    RegisterClassW(&c);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, c.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                              c.hInstance, nullptr);
  }
  ~backdrop() {
    DestroyWindow(window_);
    UnregisterClassW(L"FolviTestBackdrop", GetModuleHandleW(nullptr));
    DeleteObject(brush_);
  }
  backdrop(const backdrop&) = delete;
  backdrop& operator=(const backdrop&) = delete;
  // Paints it and waits until the screen shows it.
  bool shown() const {
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW);
    const RECT middle{100, 100, 101, 101};
    captured_image look;
    std::string error;
    return wait_until([&] {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      return screen_image(middle, look, error) && (look.pixels[0] & 0xFFFFFF) == 0xFF00FF;
    });
  }

 private:
  HBRUSH brush_ = CreateSolidBrush(colour);
  HWND window_ = nullptr;
};

// A moment of the window watched on the screen: none of its looks shows black.
void expect_nothing_black(const window_looks& looks, const char* what) {
  EXPECT_GT(looks.looks, 10) << what;
  EXPECT_EQ(looks.black_looks, 0) << what << ": first at " << looks.first_black_ms << " ms, at "
                                  << looks.first_black.left << "," << looks.first_black.top << " of the window";
  if (looks.black_looks)
    ADD_FAILURE() << what << ": the first black look is "
                  << to_utf8(
                         save_image(looks.first_black_look, from_utf8(std::string("moves_black_") + what + ".bmp")));
}

// Watches the window from before a move of its view begins (what starts it is posted) until a
// moment after it has ended, when its last step has painted; `moved` tells that it began.
window_looks watch_move(HWND d, const main_window& w, bool& moved) {
  moved = false;
  DWORD ended_at = 0;
  return watch_window(
      d,
      [&] {
        sync(d);
        const bool moving = w.view_moving();
        moved = moved || moving;
        if (moved && !moving && !ended_at) ended_at = GetTickCount();
        return ended_at && GetTickCount() - ended_at > 150;
      },
      10000);
}

// The window's opening and every move of its view (start, the run's end, OK), watched on the
// screen with a thread that waits for messages every millisecond, as the program's other threads
// may: Wine then puts the windows' pictures on the screen at every moment of their painting.
TEST(main_window_window, nothing_black_shows_while_the_window_opens_and_its_view_moves) {
  ONLY_WITH_32_BIT_RECORDINGS();
  backdrop behind;
  ASSERT_TRUE(behind.shown());
  window_rig rig;
  const HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  rig.env.gate = gate;
  window_looks opening, start, finish, ready;
  bool started = false, finished = false, readied = false;
  std::atomic<bool> driven{false};
  std::thread watch([&] { opening = watch_window_opening(to_utf8(main_window_title), 500); });
  std::thread idler([&] {
    while (!driven) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  });
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    watch.join();
    ASSERT_TRUE(ready_with_quick(d));
    // Start: the ready view grows into the running graphs while the test file waits.
    post_click(GetDlgItem(d, IDC_MAIN_START));
    start = watch_move(d, rig.window, started);
    // The run ends: the screengrab button comes up into the finished graphs.
    SetEvent(gate);
    finish = watch_move(d, rig.window, finished);
    ASSERT_TRUE(status_is(d, status_completed));
    // OK: back to the ready view, which shrinks.
    post_click(GetDlgItem(d, IDC_MAIN_START));
    ready = watch_move(d, rig.window, readied);
    ASSERT_TRUE(status_is(d, status_ready));
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  driven = true;
  idler.join();
  SetEvent(gate);
  ASSERT_TRUE(driver.finish());
  if (watch.joinable()) watch.join();
  CloseHandle(gate);
  ASSERT_TRUE(opening.appeared);
  // By the end of its opening the window showed, all of it.
  const auto& last = opening.last_look.pixels;
  EXPECT_FALSE(last.empty());
  EXPECT_EQ(std::count_if(last.begin(), last.end(), [](uint32_t p) { return (p & 0xFFFFFF) == 0xFF00FF; }), 0);
  EXPECT_TRUE(started && finished && readied);
  expect_nothing_black(opening, "opening");
  expect_nothing_black(start, "start");
  expect_nothing_black(finish, "finish");
  expect_nothing_black(ready, "ready");
}

// The finished run's list shows the best-rate block at the top of the page and the page's last
// row whole at the list's bottom edge: no row shows cut off.
void expect_whole_rows(HWND list) {
  RECT client{}, first{LVIR_BOUNDS}, last{LVIR_BOUNDS};
  GetClientRect(list, &client);
  const int top = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  const int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  const auto rows = list_rows(list);
  int best_read = -1;
  for (size_t i = 0; i < rows.size() && best_read < 0; ++i)
    if (rows[i][0] == raw_best_read_heading) best_read = int(i);
  SendMessageW(list, LVM_GETITEMRECT, WPARAM(top), LPARAM(&first));
  SendMessageW(list, LVM_GETITEMRECT, WPARAM(top + page - 1), LPARAM(&last));
  ASSERT_GT(page, 2);
  EXPECT_GE(best_read, top);
  EXPECT_LT(best_read, top + page - 1);
  EXPECT_LE(size_t(top + page), rows.size());
  EXPECT_EQ(last.bottom, client.bottom);
  EXPECT_EQ(last.bottom - first.top, page * (first.bottom - first.top));
}

// A screenshot share and the screen's picture of the window as the share is meant to show it.
struct shared_look {
  screenshot_set shot;
  captured_image seen;
  std::string error = "no look at the screen";
  RECT frame{}, volume{}, read_graph{}, write_graph{};
  POINT client{};
  std::wstring volume_text;
};

// Pixels within `area` of the window's picture that differ between the image `shot` (whose top
// left corner stands at `at` of that picture) and what the screen showed.
int differing_pixels(const std::string& shot, const shared_look& look, const RECT& area, POINT at = {}) {
  const bmp_view image(shot);
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      n += image.pixel(x - at.x, y - at.y) !=
           (look.seen.pixels[size_t(y) * size_t(look.seen.width) + size_t(x)] & 0xFFFFFF);
  return n;
}

// Shares a screenshot of the window as it stands, then looks at the window, still active as it
// was for the capture, with the volume serial masked and the screengrab button away, as the
// capture shows it; puts both back afterwards.
bool share_and_look(HWND d, window_rig& rig, shared_look& look) {
  GetWindowRect(d, &look.frame);
  GetWindowRect(GetDlgItem(d, IDC_MAIN_READ_GRAPH), &look.read_graph);
  GetWindowRect(GetDlgItem(d, IDC_MAIN_WRITE_GRAPH), &look.write_graph);
  GetWindowRect(GetDlgItem(d, IDC_MAIN_VOLUME), &look.volume);
  look.client = {0, 0};
  ClientToScreen(d, &look.client);
  if (!share_screenshot(d, rig)) return false;
  look.shot = rig.env.images;
  const HWND volume_line = GetDlgItem(d, IDC_MAIN_VOLUME), screengrab = GetDlgItem(d, IDC_MAIN_SCREENGRAB);
  look.volume_text = window_text(volume_line);
  SetWindowTextW(volume_line, mask_volume_serial(look.volume_text).c_str());
  ShowWindow(screengrab, SW_HIDE);
  if (settled_screen_image(d, look.seen, look.error)) look.error.clear();
  SetWindowTextW(volume_line, look.volume_text.c_str());
  ShowWindow(screengrab, SW_SHOW);
  return true;
}

// A screen rectangle in the window's picture.
RECT within(const RECT& r, const RECT& frame) {
  return {r.left - frame.left, r.top - frame.top, r.right - frame.left, r.bottom - frame.top};
}

// The window's image, below the caption (whose title carries the version while the capture is
// taken), is what the screen showed: every text, control and graph in place; so are the graphs'.
void expect_what_the_screen_shows(const shared_look& look, const std::string& view, bool graphs) {
  SCOPED_TRACE(view);
  const int width = look.frame.right - look.frame.left, height = look.frame.bottom - look.frame.top;
  const bmp_view window(look.shot.window);
  EXPECT_EQ(window.info.biWidth, width);
  EXPECT_EQ(window.info.biHeight, height);
  ASSERT_EQ(look.error, "");
  ASSERT_EQ(look.seen.width, width);
  ASSERT_EQ(look.seen.height, height);
  const RECT below_caption{0, look.client.y - look.frame.top, width, height};
  const int compared = width * (height - int(below_caption.top));
  const int differing = differing_pixels(look.shot.window, look, below_caption);
  EXPECT_LE(differing, compared / 1000) << differing << " of " << compared << " pixels differ";
  // Right of the title, the caption with its buttons where the screen shows them; the shading of
  // the buttons' edges is the system's to choose (without the buttons an eighth differs).
  const RECT caption_end{width * 2 / 3, 0, width, int(below_caption.top)};
  const int caption_pixels = (width - int(caption_end.left)) * int(caption_end.bottom);
  EXPECT_LE(differing_pixels(look.shot.window, look, caption_end), caption_pixels / 20);
  // The volume line shows its serial masked, as the screen did with the masked text.
  ASSERT_NE(mask_volume_serial(look.volume_text), look.volume_text);
  EXPECT_EQ(differing_pixels(look.shot.window, look, within(look.volume, look.frame)), 0);
  for (const auto& [image, r] : {std::pair<const std::string*, RECT>{&look.shot.read_graph, look.read_graph},
                                 {&look.shot.write_graph, look.write_graph}}) {
    if (!graphs) break;
    const bmp_view graph(*image);
    ASSERT_EQ(graph.info.biWidth, r.right - r.left);
    ASSERT_EQ(graph.info.biHeight, r.bottom - r.top);
    const RECT area = within(r, look.frame);
    EXPECT_EQ(differing_pixels(*image, look, area, {area.left, area.top}), 0);
  }
  if (::testing::Test::HasFailure()) {
    captured_image shared;
    shared.width = width;
    shared.height = height;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) shared.pixels.push_back(0xFF000000u | window.pixel(x, y));
    ADD_FAILURE() << "the two pictures are " << to_utf8(save_image(shared, from_utf8("shared_" + view + ".bmp")))
                  << " and " << to_utf8(save_image(look.seen, from_utf8("seen_" + view + ".bmp")));
  }
}

// The location box's lists and summary follow the location list (whose choices have their own
// tests); the picker opens over the window with its title, and a picked folder shows in the box.
void expect_the_location_box(HWND d, window_rig& rig) {
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
}

COLORREF rgb_of(uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

// A colour drawn at alpha over an opaque one.
uint32_t over(uint32_t argb, uint32_t below) {
  const uint32_t a = argb >> 24;
  auto channel = [&](int shift) {
    return ((argb >> shift & 0xFF) * a + (below >> shift & 0xFF) * (255 - a) + 127) / 255;
  };
  return 0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
}

std::vector<COLORREF> pixel_row(const seen_control& seen, int y, int from, int to) {
  std::vector<COLORREF> row;
  for (int x = from; x < to; ++x) row.push_back(seen.pixel(x, y));
  return row;
}

// The graphs' animation timer ticks that reach the window's thread.
std::atomic<int> graph_ticks{0};
LRESULT CALLBACK count_graph_ticks(int code, WPARAM wparam, LPARAM lparam) {
  const MSG& m = *reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && m.message == WM_TIMER && m.wParam == graph_timer_id) ++graph_ticks;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// The settled graphs of the finished run: their colours where the frame puts the bars, the
// failed write's thin bar, the number in 1024 bytes per KB and no animation timer left running;
// then 1000 bytes per KB, repainted.
void expect_the_finished_graphs(HWND d, window_rig& rig) {
  const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, count_graph_ticks, nullptr, GetWindowThreadProcessId(d, nullptr));
  graph_ticks = 0;
  Sleep(4 * graph_timer_ms);
  sync(d);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(graph_ticks, 0) << "a graph's timer runs on";
  const std::vector<test_run>& reads = rig.env.reads;
  const HWND read = GetDlgItem(d, IDC_MAIN_READ_GRAPH), write = GetDlgItem(d, IDC_MAIN_WRITE_GRAPH);
  RECT r;
  GetClientRect(read, &r);
  const int width = r.right, bottom = int(r.bottom - graph_padding);
  const double slot = (width - 2 * graph_padding) / double(reads.size());
  auto bar_x = [&](size_t i) { return int(graph_padding + (double(i) + 0.5) * slot); };
  const size_t best = size_t(
      std::max_element(reads.begin(), reads.end(), [](auto& a, auto& b) { return a.rate < b.rate; }) - reads.begin());
  const size_t plain = best == 0 ? 1 : 0;
  const graph_style& c = graph_colours;
  const seen_control reads_seen(read), writes_seen(write);
  EXPECT_EQ(reads_seen.pixel(width / 2, 1), rgb_of(c.header));
  EXPECT_EQ(reads_seen.pixel(1, r.bottom - 1), rgb_of(c.background));
  EXPECT_EQ(reads_seen.pixel(bar_x(best), bottom - 2), rgb_of(c.best_done));
  EXPECT_EQ(reads_seen.pixel(bar_x(plain), bottom - 2), rgb_of(c.bar_done));
  // The full bar is 85% of the plot: above the best bar is its slot's grid line.
  const uint32_t grid_line = over(c.grid, c.background);
  EXPECT_TRUE(
      near_colour(reads_seen.pixel(bar_x(best), bottom - int((bottom - 40) * 0.85) - 20), rgb_of(grid_line), 2));
  // The failed write: a thin half-transparent bar over the slot's grid line.
  EXPECT_TRUE(near_colour(writes_seen.pixel(bar_x(29), bottom - 1), rgb_of(over(c.failed_done, grid_line)), 4));
  EXPECT_TRUE(near_colour(writes_seen.pixel(bar_x(29), bottom - 5), rgb_of(grid_line), 2));
  // The number and its unit, in 1024 bytes per KB.
  const RECT header_right{width / 2, 0, width, 30};
  EXPECT_GT(reads_seen.count_near(header_right, rgb_of(c.best_done), 24), 10);
  EXPECT_GT(reads_seen.count_near(header_right, rgb_of(c.caption), 24), 5);
  const std::vector<COLORREF> before = pixel_row(reads_seen, 20, width / 2, width);
  PostMessageW(d, WM_COMMAND, ID_UNITS_1000, 0);
  ASSERT_TRUE(
      seen_until(read, [&](const seen_control& seen) { return pixel_row(seen, 20, width / 2, width) != before; }));
  PostMessageW(d, WM_COMMAND, ID_UNITS_1024, 0);
  ASSERT_TRUE(
      seen_until(read, [&](const seen_control& seen) { return pixel_row(seen, 20, width / 2, width) == before; }));
}

RECT row_rect(HWND list, int row) {
  RECT r{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r));
  return r;
}

// The list holds the model's rows; its columns fill it; rows alternate their backgrounds with a
// line under each; the headings and the best row in the accent colour, the failed write in grey.
void expect_the_list_s_rows_and_styles(HWND list, const raw_rows& rows) {
  std::vector<std::vector<std::wstring>> texts;
  for (const raw_row& r : rows.rows()) texts.push_back({r.buffers, r.mode, r.rate});
  const auto shown = list_rows(list);
  ASSERT_EQ(shown, texts);
  RECT client;
  GetClientRect(list, &client);
  int widths = 0;
  for (int i = 0; i < 3; ++i) widths += int(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
  EXPECT_EQ(widths, client.right);
  const int top = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  ASSERT_EQ(shown[size_t(top) + 1][0], raw_best_read_heading);
  const raw_list_palette& p = raw_list_colours;
  // Just after the switch the rows show without their backgrounds until the list is repainted.
  const seen_control seen(list, true);
  for (int row = top; row < top + 4; ++row) {
    const RECT r = row_rect(list, row);
    EXPECT_EQ(seen.pixel(r.right - 3, (r.top + r.bottom) / 2), COLORREF(p.row_background[row & 1])) << row;
    EXPECT_EQ(seen.pixel(r.right - 3, r.bottom - 1), COLORREF(p.separator)) << row;
  }
  RECT heading = row_rect(list, top + 1);
  heading.right = heading.left + 80;
  EXPECT_GT(seen.count_near(heading, COLORREF(p.accent), 40), 10);
  // The header control covers the client area's top.
  EXPECT_EQ(seen.pixel(client.right - 10, 2), COLORREF(p.header_background));
  size_t failed = 0;
  while (failed < rows.size() && rows.rows()[failed].style != style_failed) ++failed;
  ASSERT_LT(failed, rows.size());
  SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(failed), FALSE);
  EXPECT_GT(seen_control(list, true).count_near(row_rect(list, int(failed)), COLORREF(p.grey), 40), 10);
}

TEST(main_window_window, the_location_box_the_profile_dialog_centred_the_finished_run_and_a_shared_screenshot) {
  ONLY_WITH_32_BIT_RECORDINGS();
  window_rig rig;
  shared_look graphs, list;
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(status_is(d, status_ready));
    expect_the_location_box(d, rig);
    expect_the_profile_dialog_centred(d);
    ASSERT_TRUE(ready_with_quick(d));
    post_click(GetDlgItem(d, IDC_MAIN_START));
    ASSERT_TRUE(status_is(d, status_completed));
    ASSERT_TRUE(graphs_at_rest(d, rig));
    expect_the_finished_graphs(d, rig);
    ASSERT_TRUE(share_and_look(d, rig, graphs));
    // The list with its border and scroll bar.
    post_click(GetDlgItem(d, IDC_MAIN_SWITCH_VIEW));
    const HWND results = GetDlgItem(d, IDC_MAIN_RESULTS);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(results) != 0; }));
    ASSERT_TRUE(wait_until([&] { return !rig.window.view_moving(); }));
    expect_whole_rows(results);
    expect_the_list_s_rows_and_styles(results, rig.window.model().results().rows());
    ASSERT_TRUE(share_and_look(d, rig, list));
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());
  expect_what_the_screen_shows(graphs, "graphs", true);
  expect_what_the_screen_shows(list, "list", false);
}

}  // namespace
