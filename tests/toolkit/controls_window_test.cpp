#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "golden.h"
#include "gui_counts.h"
#include "resource_ids.h"
#include "support/text.h"
#include "toolkit/fade_overlay.h"
#include "toolkit/menu_painter.h"
#include "toolkit/png_bitmap.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/sfc_menu.h"
#include "toolkit/xfc_combobox.h"
#include "toolkit/xfc_custom_button.h"
#include "toolkit/xfc_custom_static.h"
#include "toolkit/xfc_message_box.h"
#include "toolkit/xfc_vc_editbox.h"
#include "toolkit_test_ids.h"
#include "window_driver.h"

namespace {

// A visible top-level toolkit window on white whose menu requests go to `painter`.
class host_window : public sfc_window {
 public:
  menu_painter* painter = nullptr;
  explicit host_window(const RECT& r) {
    sfc_create_params p;
    p.style = WS_POPUP | WS_VISIBLE;
    p.rect = r;
    p.text = L"Host";
    EXPECT_TRUE(create(p));
  }
  ~host_window() override { destroy(); }

 protected:
  bool on_message(sfc_msg& m) override {
    if (painter && m.message == WM_MEASUREITEM && painter->measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.lparam))) {
      m.result = TRUE;
      return true;
    }
    if (painter && m.message == WM_DRAWITEM && painter->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam))) {
      m.result = TRUE;
      return true;
    }
    if (m.message == WM_ERASEBKGND) {
      sfc_hdc(reinterpret_cast<HDC>(m.wparam)).fill(client_rect(), RGB(255, 255, 255));
      m.result = TRUE;
      return true;
    }
    return sfc_window::on_message(m);
  }
};

std::string yes(bool b) { return b ? "yes" : "no"; }
std::string hex(COLORREF c) {
  char s[12];
  snprintf(s, sizeof s, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return s;
}

// What a control paints: 0x00RRGGBB per pixel, top-down.
struct capture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  COLORREF at(int x, int y) const {
    if (x >= width || y >= height) return CLR_INVALID;
    const uint32_t p = pixels[size_t(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // The colours at `points`.
  std::string colours(std::initializer_list<POINT> points) const {
    std::string out;
    for (const POINT& p : points) out += " " + hex(at(p.x, p.y));
    return out;
  }
  // Whether more than a few pixels match: text or a mark was drawn.
  std::string shows(const std::function<bool(COLORREF)>& match) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += match(at(x, y));
    return yes(n > 5);
  }
};

// What `paint` draws into a w x h buffer.
capture painted(int w, int h, const std::function<void(HDC)>& paint) {
  const sfc_window_dc screen(nullptr);
  sfc_memory_dc buffer(screen.handle(), w, h);
  capture c;
  if (!buffer.ok()) return c;
  paint(buffer.handle());
  GdiFlush();
  c.width = w;
  c.height = h;
  c.pixels.assign(buffer.pixels(), buffer.pixels() + size_t(w) * h);
  return c;
}

// What a control paints, read back through WM_PRINTCLIENT.
capture print_client(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return painted(r.right, r.bottom,
                 [&](HDC dc) { SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); });
}

std::string window_colours(HWND window, std::initializer_list<POINT> points) {
  const sfc_window_dc dc(window, true);
  std::string out;
  for (const POINT& p : points) out += " " + hex(GetPixel(dc.handle(), p.x, p.y));
  return out;
}

HWND child(HWND parent, const wchar_t* cls, DWORD style, const RECT& r, int id) {
  const HWND h =
      CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return h;
}

int line_height(HWND control) {
  const sfc_window_dc dc(control);
  const sfc_selection font(dc.handle(), GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.handle(), &tm);
  return tm.tmHeight;
}

std::string answers_client(HWND control, int x, int y) {
  return yes(SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLIENT);
}
std::string sets_cursor(HWND control) {
  return yes(
      SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

const sfc_bitmap& screengrab() {
  static sfc_bitmap image;
  std::string error;
  if (!image.handle()) {
    EXPECT_TRUE(load_png_resource(IDB_SCREENGRAB, image, error)) << error;
  }
  return image;
}

const auto white = [](COLORREF p) { return p == RGB(255, 255, 255); };
const auto not_white = [](COLORREF p) { return p != RGB(255, 255, 255); };

// Each scenario says what its controls draw and do; the leak test runs them all again.
std::string text_separator_and_buttons() {
  host_window host({40, 40, 440, 340});
  xfc_text text;
  EXPECT_TRUE(text.create_child(host.hwnd(), 10, {10, 10, 210, 40}, L"Sample text"));
  xfc_text_style style;
  style.background = RGB(10, 20, 30);
  style.text = RGB(250, 240, 230);
  style.frame = RGB(255, 0, 0);
  style.hand_cursor = true;
  text.set_style(style);
  capture c = print_client(text.hwnd());
  std::string out = "text " + std::to_string(c.width) + "x" + std::to_string(c.height) + ": frame, background" +
                    c.colours({{0, 0}, {5, 25}}) + ", light text " +
                    c.shows([](COLORREF p) { return GetRValue(p) > 128 && GetGValue(p) > 128; }) + ", client " +
                    answers_client(text.hwnd(), 60, 60) + ", hand " + sets_cursor(text.hwnd()) + "\n";
  // Bold header style and a new text repaint from the same object.
  text.set_style(xfc_header_style());
  text.set_text(L"Test run");
  c = print_client(text.hwnd());
  out += "header: underline" + c.colours({{5, 29}}) + ", dark text " +
         c.shows([](COLORREF p) { return p == RGB(0x1B, 0x30, 0x4F); }) + "\n";

  xfc_separator line;
  EXPECT_TRUE(line.create_child(host.hwnd(), 11, {10, 50, 210, 61}));
  line.set_colours(RGB(1, 2, 3), RGB(200, 201, 202));
  out += "separator: top, middle, bottom" + print_client(line.hwnd()).colours({{100, 0}, {100, 5}, {100, 10}}) + "\n";

  minor_button link;
  EXPECT_TRUE(link.create_child(host.hwnd(), 12, {10, 70, 210, 90}, L"Click here to see the report"));
  link.set_background(RGB(255, 255, 255));
  out += "link: text " + print_client(link.hwnd()).shows(not_white);
  SendMessageW(link.hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  out += ", owner-drawn as default " + yes((GetWindowLongPtrW(link.hwnd(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);
  SendMessageW(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  out += ", hover " + yes(link.hover()) + ", hand " + sets_cursor(link.hwnd());
  SendMessageW(link.hwnd(), WM_MOUSELEAVE, 0, 0);
  out += ", hover after leaving " + yes(link.hover());
  // Faded out, the button shows only its background; half faded it is blended over it.
  link.set_opacity(0);
  out += ", faded out text " + print_client(link.hwnd()).shows(not_white) + "\n";
  link.set_opacity(128);
  print_client(link.hwnd());

  image_button shot;
  EXPECT_TRUE(shot.create_child(host.hwnd(), 13, {10, 100, 90, 131}));
  EXPECT_TRUE(shot.set_image(screengrab()));
  // 80 x 31 button, 68 x 25 image centred: the lens pixel (22, 13) lands at (28, 16); the
  // image's transparent corner shows the background; the image stands the right way up.
  return out + "image: lens, corner, face" +
         print_client(shot.hwnd()).colours({{28, 16}, {0, 0}, {40, 5}, {20, 8}, {20, 24}}) + "\n";
}

std::string hint_button_shows_its_hint_until_the_mouse_leaves() {
  HWND tip = nullptr;
  std::string out = "hint:";
  {
    host_window host({40, 40, 340, 240});
    hint_button hint;
    EXPECT_TRUE(hint.create_child(host.hwnd(), 20, {10, 10, 28, 28}, L"?"));
    hint.set_hint(L"How long each single test may run.");
    SendMessageW(hint.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(hint.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    wchar_t shown_text[128] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = host.hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(hint.hwnd());
    info.lpszText = shown_text;
    SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    out += " clicked " + yes(hint.hint_shown()) + ", tip shown " + yes(IsWindowVisible(tip)) + " \"" +
           to_utf8(shown_text) + "\"";
    SendMessageW(hint.hwnd(), WM_MOUSELEAVE, 0, 0);
    out += ", left " + yes(hint.hint_shown()) + ", tip shown " + yes(IsWindowVisible(tip));
  }
  return out + ", tip gone with the window " + yes(!IsWindow(tip)) + "\n";
}

std::string combobox_measures_draws_and_paints_its_closed_state() {
  host_window host({40, 40, 340, 340});
  const HWND combo_hwnd =
      child(host.hwnd(), L"ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
            {10, 10, 210, 200}, 30);
  xfc_combobox combo;
  EXPECT_TRUE(combo.attach(combo_hwnd));
  for (const wchar_t* item : {L"Quick", L"Standard", L"Extended", L"Customize..."}) sfc_hcombobox(combo_hwnd).add(item);
  sfc_hcombobox(combo_hwnd).select(1);
  const int line = line_height(combo_hwnd);
  const capture c = print_client(combo_hwnd);
  std::string out = "combo: item height line+" + std::to_string(combo.item_height() - line) + ", list's line+" +
                    std::to_string(SendMessageW(combo_hwnd, CB_GETITEMHEIGHT, 0, 0) - line) + ", frame, background" +
                    c.colours({{0, 0}, {3, 3}}) + ", text " + c.shows([](COLORREF p) { return p == 0; });

  // The open list's items are drawn by the control: the selected row in the selection colour.
  SendMessageW(combo_hwnd, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetComboBoxInfo(combo_hwnd, &info));
  UpdateWindow(info.hwndList);
  RECT first{}, second{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  out += ", open: first, selected row" +
         window_colours(info.hwndList, {{first.left + 2, first.top + 1}, {second.left + 2, second.top + 1}}) + "\n";
  SendMessageW(combo_hwnd, CB_SHOWDROPDOWN, FALSE, 0);
  host.destroy();  // before the attached object lets go of its window
  return out;
}

std::string vc_editbox_centres_its_line_and_frames_its_state() {
  host_window host({40, 40, 340, 240});
  const HWND edit_hwnd = child(host.hwnd(), L"Edit", ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER, {10, 10, 160, 38}, 40);
  xfc_vc_editbox edit;
  EXPECT_TRUE(edit.attach(edit_hwnd));
  RECT client{}, window{};
  GetClientRect(edit_hwnd, &client);
  GetWindowRect(edit_hwnd, &window);
  MapWindowPoints(edit_hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // Where the line stands for each height is the logic table's; here the box takes its place.
  const RECT expected = vc_edit_client_rect(window, line_height(edit_hwnd), 1, 3);
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  std::string out = "edit: line centred " + yes(EqualRect(&client, &expected)) + ", frame, background" +
                    window_colours(edit_hwnd, {{0, 0}, {2, 2}});
  edit.set_invalid(true);
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
  out += ", invalid" + window_colours(edit_hwnd, {{0, 0}});
  edit.set_invalid(false);
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
  out += ", valid" + window_colours(edit_hwnd, {{0, 0}}) + ", frame is client " +
         answers_client(edit_hwnd, window.left + 2, window.top + 2) + "\n";
  host.destroy();
  return out;
}

std::string fade_overlay_covers_visible_controls_with_their_snapshots() {
  host_window host({40, 40, 440, 340});
  xfc_text a, b, hidden;
  EXPECT_TRUE(a.create_child(host.hwnd(), 50, {10, 10, 110, 40}, L"A"));
  EXPECT_TRUE(b.create_child(host.hwnd(), 51, {10, 50, 110, 80}, L"B"));
  EXPECT_TRUE(hidden.create_child(host.hwnd(), 52, {10, 90, 110, 120}, L"C"));
  xfc_text_style style;
  style.background = RGB(0x20, 0x3A, 0x60);
  a.set_style(style);
  b.set_style(style);
  hidden.show(false);
  UpdateWindow(host.hwnd());

  fade_overlay overlay;
  std::string out = "fade: covers " + std::to_string(overlay.cover({a.hwnd(), b.hwnd(), hidden.hwnd()}, 200)) + "\n";
  for (size_t i = 0; i < overlay.size(); ++i) {
    const HWND cover = overlay.cover_window(i);
    const LONG_PTR ex = GetWindowLongPtrW(cover, GWL_EXSTYLE);
    RECT covered{}, control{};
    GetWindowRect(cover, &covered);
    GetWindowRect(i == 0 ? a.hwnd() : b.hwnd(), &control);
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(cover, nullptr, &alpha, &flags);
    // It paints the control's snapshot when asked to erase.
    const capture snapshot =
        painted(100, 30, [&](HDC dc) { SendMessageW(cover, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); });
    out += "  layered, inactive, transparent " +
           yes((ex & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT)) ==
               (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT)) +
           ", shown " + yes(IsWindowVisible(cover)) + ", owned " + yes(GetWindow(cover, GW_OWNER) == host.hwnd()) +
           ", on its control " + yes(EqualRect(&covered, &control)) + ", alpha " + std::to_string(alpha) + " " +
           yes(flags & LWA_ALPHA) + ", snapshot" + snapshot.colours({{90, 5}}) + "\n";
  }
  overlay.set_opacity(40);
  BYTE alpha = 0;
  GetLayeredWindowAttributes(overlay.cover_window(1), nullptr, &alpha, nullptr);
  const HWND first = overlay.cover_window(0);
  overlay.clear();
  return out + "  alpha " + std::to_string(alpha) + ", cleared " + std::to_string(overlay.size()) + " " +
         yes(!IsWindow(first)) + "\n";
}

// A real popup is measured through its owner and closed with Esc, when `popup` says.
std::string menu_painter_items_keep_their_texts_and_draw_their_states(bool popup) {
  sfc_menu menu;
  EXPECT_TRUE(menu.create_popup());
  AppendMenuW(menu.handle(), MF_STRING | MF_GRAYED, 40111, L"Test results");
  AppendMenuW(menu.handle(), MF_STRING, 40123, L"View test report...");
  AppendMenuW(menu.handle(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.handle(), MF_STRING | MF_CHECKED, 40136, L"1024 bytes per KB\tCtrl+K");
  menu_painter painter;
  painter.take_over(menu.handle());
  painter.take_over(menu.handle());  // a second pass keeps the items as they are
  std::string out = "menu: owner-drawn";
  std::vector<ULONG_PTR> data;
  for (UINT i = 0; i < 4; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    GetMenuItemInfoW(menu.handle(), i, TRUE, &info);
    out += " " + yes(info.fType & MFT_OWNERDRAW);
    data.push_back(info.dwItemData);
  }
  const auto measured = [&](UINT type, ULONG_PTR item_data) {
    MEASUREITEMSTRUCT m{};
    m.CtlType = type;
    m.itemData = item_data;
    return painter.measure(m) ? SIZE{LONG(m.itemWidth), LONG(m.itemHeight)} : SIZE{-1, -1};
  };
  const SIZE plain = measured(ODT_MENU, data[1]);
  out += ", separator height " + std::to_string(measured(ODT_MENU, data[2]).cy) + ", item taller than 12 " +
         yes(plain.cy > 12) + ", the shortcut adds room " + yes(measured(ODT_MENU, data[3]).cx > plain.cx) +
         ", unknown item " + std::to_string(measured(ODT_MENU, 12345).cx) + ", a button's " +
         std::to_string(measured(ODT_BUTTON, data[1]).cx) + "\n";

  const menu_colours colours;
  const auto draw = [&](ULONG_PTR item_data, UINT state) {
    return painted(200, 24, [&](HDC dc) {
      DRAWITEMSTRUCT d{};
      d.CtlType = ODT_MENU;
      d.itemData = item_data;
      d.itemState = state;
      d.hDC = dc;
      d.rcItem = {0, 0, 200, 24};
      EXPECT_TRUE(painter.draw(d));
    });
  };
  // A caption never highlights.
  const capture caption = draw(data[0], ODS_SELECTED | ODS_GRAYED | ODS_DISABLED);
  out += "  selected, plain, caption" + draw(data[1], ODS_SELECTED).colours({{1, 1}}) +
         draw(data[1], 0).colours({{1, 1}}) + caption.colours({{1, 1}}) + ", caption text " +
         caption.shows([&](COLORREF p) { return p == colours.caption_text; }) + ", check " +
         draw(data[3], ODS_CHECKED).shows([&](COLORREF p) { return p == colours.check; }) + ", separator" +
         draw(data[2], 0).colours({{100, 12}}) + "\n";

  if (!popup) return out;
  host_window host({40, 40, 340, 240});
  host.painter = &painter;
  SetForegroundWindow(host.hwnd());
  LONG width = 0;
  std::thread closer([&] {
    HWND popup = nullptr;
    if (wait_until([&] { return (popup = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(popup); })) {
      RECT r{};
      GetWindowRect(popup, &r);
      width = r.right - r.left;
    }
    PostMessageW(host.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  const UINT chosen = sfc_hmenu(menu.handle()).track(host.hwnd(), {100, 100});
  closer.join();
  return out + "  popup as wide as its items " + yes(width >= plain.cx) + ", Esc chooses " + std::to_string(chosen) +
         "\n";
}

}  // namespace

TEST(custom_controls, texts_buttons_hints_lists_edits_covers_and_menus_draw_and_answer) {
  expect_golden(text_separator_and_buttons() + hint_button_shows_its_hint_until_the_mouse_leaves() +
                    combobox_measures_draws_and_paints_its_closed_state() +
                    vc_editbox_centres_its_line_and_frames_its_state() +
                    fade_overlay_covers_visible_controls_with_their_snapshots() +
                    menu_painter_items_keep_their_texts_and_draw_their_states(true),
                "toolkit/controls.txt");
}

// Every scenario again, with a message box and a dialog: windows, controls, covers, menus, boxes
// and dialogs leave no objects behind.
TEST(gui_objects, creating_and_destroying_windows_and_dialogs_leaves_no_objects_behind) {
  const auto round = [] {
    text_separator_and_buttons();
    hint_button_shows_its_hint_until_the_mouse_leaves();
    combobox_measures_draws_and_paints_its_closed_state();
    vc_editbox_centres_its_line_and_frames_its_state();
    fade_overlay_covers_visible_controls_with_their_snapshots();
    menu_painter_items_keep_their_texts_and_draw_their_states(false);
    message_box_request request;
    request.caption = L"Counted box";
    request.text = L"Counted";
    request.flags = mb_bring_to_front | mb_check_disables_second | mb_default_second | mb_icon_question | mb_ok_cancel;
    window_driver driver(request.caption, [](HWND box) {
      click(GetDlgItem(box, mb_id_check));
      click(GetDlgItem(box, 1));
    });
    run_message_box(request);
    driver.finish();
    class quick_dialog : public sfc_dialog {
      bool on_init() override {
        end(5);
        return true;
      }
    } dialog;
    dialog.run_modal(IDD_TEST_DIALOG, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return !testing::Test::HasFailure();
  };
  expect_no_leaks(count_leaks(round, 20));
}
