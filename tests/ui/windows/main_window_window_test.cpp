// The main window in-process, over the preview's made-up machine and a runner that hands a Quick
// run's records over from the run's own thread: runs leave no handles or GUI objects behind; the
// window opens without a black moment, its profile dialog over it and its results list in whole
// rows; nothing black shows while its view moves; a screenshot share hands over three BMPs that
// show what the screen shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "gui_counts.h"
#include "preview_data.h"
#include "queued_file_dialogs.h"
#include "toolkit/xfc_message_box.h"
#include "ui/graph_style.h"
#include "ui/main_window.h"
#include "results/raw_texts.h"
#include "ui/main_window_texts.h"
#include "ui/screenshot_image.h"
#include "ui/run_thread.h"
#include "screen_image.h"
#include "support/text.h"
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
  // When set, a run prepares its test file only once this is signalled (or after 10 s).
  HANDLE gate = nullptr;

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
    if (gate) WaitForSingleObject(gate, 10000);
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

// The BMP's own layout is bmp_file's test; here it has the size of what was captured.
void expect_bmp_size(const std::string& bytes, int width, int height, const char* what) {
  const bmp_view bmp(bytes);
  EXPECT_EQ(bmp.info.biWidth, width) << what;
  EXPECT_EQ(bmp.info.biHeight, height) << what;
}

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
  const HWND box = question_box(d);
  if (!box) return false;
  click(GetDlgItem(box, mb_answer_ok));
  return wait_until([&] { return rig.env.shares.load() == shares + 1; }) &&
         wait_until([&] { return IsWindowVisible(GetDlgItem(d, IDC_MAIN_SCREENGRAB)) != 0; });
}

// What the display shows of the window, painted afresh, once its painting has reached the
// screen: two looks in a row that agree.
bool settled_screen_image(HWND d, captured_image& image, std::string& error) {
  RECT frame{};
  GetWindowRect(d, &frame);
  RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  captured_image previous;
  for (int i = 0; i < 40; ++i) {
    RedrawWindow(d, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    sync(d);
    if (!screen_image(frame, image, error)) return false;
    if (image.pixels == previous.pixels) return true;
    previous = std::move(image);
    Sleep(100);
  }
  error = "the window was still changing on the screen";
  return false;
}

TEST(main_window_window, runs_leave_nothing_behind) {
  window_rig rig;
  leak_counts leaks;
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(ready_with_quick(d));
    // The first run fills the caches of the system and of the drawing; the next three add nothing.
    leaks = count_leaks([&] { return one_run(d, rig.window); }, 3);
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());
  expect_no_leaks(leaks);
}

TEST(main_window_window, the_profile_dialog_opens_centred_on_the_window) {
  window_rig rig;
  RECT window{}, dialog{};
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(status_is(d, status_ready));
    // Wherever Wine's default placement has put the window, the dialog centred on it must fit the
    // work area: the test is about centring, the routine's clamping has tests of its own.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(d, &window);
    SetWindowPos(d, nullptr, (work.left + work.right - (window.right - window.left)) / 2,
                 (work.top + work.bottom - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(d, &window);
    // "Customize..." opens the dialog modally: the choice is posted, not sent.
    const HWND presets = GetDlgItem(d, IDC_MAIN_PRESETS);
    SendMessageW(presets, CB_SETCURSEL, WPARAM(SendMessageW(presets, CB_GETCOUNT, 0, 0) - 1), 0);
    PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PRESETS, CBN_SELENDOK), LPARAM(presets));
    const HWND profile = wait_for_window(d, L"Test profile");
    ASSERT_TRUE(profile);
    GetWindowRect(profile, &dialog);
    click(GetDlgItem(profile, IDCANCEL));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(profile); }));
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());
  // The ready window is smaller than the dialog, which stands over it, centre on centre.
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

TEST(main_window_window, nothing_black_shows_while_the_window_opens) {
  backdrop behind;
  ASSERT_TRUE(behind.shown());
  window_rig rig;
  window_looks looks;
  std::atomic<bool> watched{false};
  const DWORD ui_thread = GetCurrentThreadId();
  std::thread watch([&] {
    looks = watch_window_opening(ui_thread, main_window_title, 500);
    watched = true;
  });
  // A thread that waits for messages every millisecond, as the program's other threads may: Wine
  // then puts the windows' pictures on the screen at every moment, however far their painting is.
  std::thread idler([&] {
    while (!watched) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  });
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(wait_until([&] { return watched.load(); }));
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  watch.join();
  idler.join();
  ASSERT_TRUE(driver.finish());
  ASSERT_TRUE(looks.appeared);
  EXPECT_GT(looks.looks, 10);
  // By the end the window showed, all of it.
  const auto& last = looks.last_look.pixels;
  EXPECT_FALSE(last.empty());
  EXPECT_EQ(std::count_if(last.begin(), last.end(), [](uint32_t p) { return (p & 0xFFFFFF) == 0xFF00FF; }), 0);
  EXPECT_EQ(looks.black_looks, 0) << "first at " << looks.first_black_ms << " ms, at " << looks.first_black.left << ","
                                  << looks.first_black.top << " of the window";
  if (looks.black_looks)
    ADD_FAILURE() << "the first black look is "
                  << to_utf8(save_image(looks.first_black_look, L"main_window_black.bmp"));
}

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

TEST(main_window_window, nothing_black_shows_while_the_view_moves) {
  backdrop behind;
  ASSERT_TRUE(behind.shown());
  window_rig rig;
  const HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  rig.env.gate = gate;
  window_looks start, finish, ready;
  bool started = false, finished = false, readied = false;
  std::atomic<bool> driven{false};
  // As in the opening test: the screen shows the windows' pictures at every moment.
  std::thread idler([&] {
    while (!driven) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  });
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
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
  CloseHandle(gate);
  EXPECT_TRUE(started && finished && readied);
  expect_nothing_black(start, "start");
  expect_nothing_black(finish, "finish");
  expect_nothing_black(ready, "ready");
}

// The text of a row of the results list.
std::wstring row_text(HWND list, int row) {
  wchar_t text[256] = {};
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = 256;
  SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item));
  return text;
}

TEST(main_window_window, the_results_list_shows_whole_rows) {
  window_rig rig;
  RECT client{}, first{}, last{};
  int top = -1, page = 0, rows = 0, best_read = -1;
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(ready_with_quick(d));
    post_click(GetDlgItem(d, IDC_MAIN_START));
    ASSERT_TRUE(status_is(d, status_completed));
    ASSERT_TRUE(graphs_at_rest(d, rig));
    post_click(GetDlgItem(d, IDC_MAIN_SWITCH_VIEW));
    const HWND list = GetDlgItem(d, IDC_MAIN_RESULTS);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(list) != 0; }));
    GetClientRect(list, &client);
    top = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < rows && best_read < 0; ++i)
      if (row_text(list, i) == raw_best_read_heading) best_read = i;
    for (auto [row, r] : {std::pair<int, RECT*>{top, &first}, {top + page - 1, &last}}) {
      r->left = LVIR_BOUNDS;
      SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(r));
    }
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());

  // The best-rate block at the top of the page, and the page's last row whole at the list's
  // bottom edge: no row shows cut off.
  ASSERT_GT(page, 2);
  EXPECT_GE(best_read, top);
  EXPECT_LT(best_read, top + page - 1);
  EXPECT_LE(top + page, rows);
  EXPECT_EQ(last.bottom, client.bottom);
  EXPECT_EQ(last.bottom - first.top, page * (first.bottom - first.top));
}

// Pixels of the two images (of one size) that differ within `area`.
int differing_pixels(const bmp_view& shot, const captured_image& seen, const RECT& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      n += shot.pixel(x, y) != (seen.pixels[size_t(y) * size_t(seen.width) + size_t(x)] & 0xFFFFFF);
  return n;
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
  // The title is back once the capture is done.
  EXPECT_EQ(window_text(d), main_window_title);
  const HWND volume_line = GetDlgItem(d, IDC_MAIN_VOLUME), screengrab = GetDlgItem(d, IDC_MAIN_SCREENGRAB);
  look.volume_text = window_text(volume_line);
  SetWindowTextW(volume_line, mask_volume_serial(look.volume_text).c_str());
  ShowWindow(screengrab, SW_HIDE);
  if (settled_screen_image(d, look.seen, look.error)) look.error.clear();
  SetWindowTextW(volume_line, look.volume_text.c_str());
  ShowWindow(screengrab, SW_SHOW);
  return true;
}

// The window's image, below the caption (whose title carries the version while the capture is
// taken), is what the screen showed: every text, control and graph in place.
void expect_what_the_screen_shows(const shared_look& look, const std::string& view) {
  SCOPED_TRACE(view);
  const int width = look.frame.right - look.frame.left, height = look.frame.bottom - look.frame.top;
  expect_bmp_size(look.shot.window, width, height, "window");
  ASSERT_EQ(look.error, "");
  ASSERT_EQ(look.seen.width, width);
  ASSERT_EQ(look.seen.height, height);
  const bmp_view window(look.shot.window);
  const RECT below_caption{0, look.client.y - look.frame.top, width, height};
  const int compared = width * (height - int(below_caption.top));
  const int differing = differing_pixels(window, look.seen, below_caption);
  EXPECT_LE(differing, compared / 1000) << differing << " of " << compared << " pixels differ";
  // Right of the title, the caption with its buttons where the screen shows them; the shading of
  // the buttons' edges is the system's to choose (without the buttons an eighth differs).
  const RECT caption_end{width * 2 / 3, 0, width, int(below_caption.top)};
  const int caption_pixels = (width - int(caption_end.left)) * int(caption_end.bottom);
  EXPECT_LE(differing_pixels(window, look.seen, caption_end), caption_pixels / 20);
  // The volume line shows its serial masked, as the screen did with the masked text.
  ASSERT_NE(mask_volume_serial(look.volume_text), look.volume_text);
  const RECT volume_area{look.volume.left - look.frame.left, look.volume.top - look.frame.top,
                         look.volume.right - look.frame.left, look.volume.bottom - look.frame.top};
  EXPECT_EQ(differing_pixels(window, look.seen, volume_area), 0);
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

TEST(main_window_window, a_shared_screenshot_is_what_the_window_shows) {
  window_rig rig;
  shared_look graphs, list;
  window_driver driver(main_window_title, [&](HWND d) {
    closes_at_end at_end(d);
    ASSERT_TRUE(ready_with_quick(d));
    post_click(GetDlgItem(d, IDC_MAIN_START));
    ASSERT_TRUE(status_is(d, status_completed));
    ASSERT_TRUE(graphs_at_rest(d, rig));
    ASSERT_TRUE(share_and_look(d, rig, graphs));
    // The list with its border and scroll bar.
    post_click(GetDlgItem(d, IDC_MAIN_SWITCH_VIEW));
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(GetDlgItem(d, IDC_MAIN_RESULTS)) != 0; }));
    ASSERT_TRUE(share_and_look(d, rig, list));
    post_close(d);
  });
  EXPECT_EQ(rig.window.run(), 1);
  ASSERT_TRUE(driver.finish());
  expect_what_the_screen_shows(graphs, "graphs");
  expect_what_the_screen_shows(list, "list");

  // Each graph's image: its header band, its background and its best bar.
  const RECT& read_graph = graphs.read_graph;
  const RECT& write_graph = graphs.write_graph;
  const int graph_w = read_graph.right - read_graph.left, graph_h = read_graph.bottom - read_graph.top;
  expect_bmp_size(graphs.shot.read_graph, graph_w, graph_h, "read graph");
  expect_bmp_size(graphs.shot.write_graph, write_graph.right - write_graph.left, write_graph.bottom - write_graph.top,
                  "write graph");
  const uint32_t header = graph_colours.header & 0xFFFFFF, background = graph_colours.background & 0xFFFFFF,
                 best = graph_colours.best_done & 0xFFFFFF, bar = graph_colours.bar_done & 0xFFFFFF;
  for (const std::string* image : {&graphs.shot.read_graph, &graphs.shot.write_graph}) {
    const bmp_view g(*image);
    EXPECT_EQ(g.pixel(graph_w / 2, 1), header);
    EXPECT_EQ(g.pixel(1, graph_h / 2), background);
    const RECT floor{0, graph_h - 10, graph_w, graph_h - 7};
    EXPECT_GT(g.count(best, floor), 0);
    EXPECT_GT(g.count(bar, floor), graph_w);
  }
}

}  // namespace
