#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "gui_counts.h"
#include "resource_ids.h"
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

// A visible top-level toolkit window whose menu and draw requests can be handed on.
class host_window : public sfc_window {
 public:
  menu_painter* painter = nullptr;

  bool open(const RECT& r) {
    sfc_create_params p;
    p.style = WS_POPUP | WS_VISIBLE;
    p.rect = r;
    p.text = L"Host";
    return create(p);
  }
  HFONT dialog_font() const { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

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
      const RECT r = client_rect();
      sfc_hdc(reinterpret_cast<HDC>(m.wparam)).fill(r, RGB(255, 255, 255));
      m.result = TRUE;
      return true;
    }
    return sfc_window::on_message(m);
  }
};

// What a control paints, read back through WM_PRINTCLIENT: 0x00RRGGBB per pixel, top-down.
struct capture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  COLORREF at(int x, int y) const {
    const uint32_t p = pixels[size_t(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int count(const std::function<bool(COLORREF)>& match) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += match(at(x, y));
    return n;
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

capture print_client(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return painted(r.right, r.bottom,
                 [&](HDC dc) { SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); });
}

COLORREF window_pixel(HWND window, int x, int y) {
  const sfc_window_dc dc(window, true);
  return GetPixel(dc.handle(), x, y);
}

void pump_messages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

HWND child(HWND parent, const wchar_t* cls, DWORD style, const RECT& r, int id, const wchar_t* text = L"") {
  const HWND h =
      CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return h;
}

const sfc_bitmap& screengrab() {
  static sfc_bitmap image;
  std::string error;
  if (!image.handle()) {
    EXPECT_TRUE(load_png_resource(IDB_SCREENGRAB, image, error)) << error;
  }
  return image;
}

// Each scenario checks what its controls draw and do; the leak test below runs them all again.
void text_separator_and_buttons() {
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 440, 340}));

  xfc_text text;
  ASSERT_TRUE(text.create_child(host.hwnd(), 10, {10, 10, 210, 40}, L"Sample text"));
  xfc_text_style style;
  style.background = RGB(10, 20, 30);
  style.text = RGB(250, 240, 230);
  style.frame = RGB(255, 0, 0);
  style.hand_cursor = true;
  text.set_style(style);
  capture c = print_client(text.hwnd());
  ASSERT_EQ(c.width, 200);
  EXPECT_EQ(c.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c.at(5, 25), RGB(10, 20, 30));
  EXPECT_GT(c.count([](COLORREF p) { return GetRValue(p) > 128 && GetGValue(p) > 128; }), 20) << "no text drawn";
  EXPECT_EQ(SendMessageW(text.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(60, 60)), HTCLIENT);
  EXPECT_EQ(SendMessageW(text.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(text.hwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  // Bold header style and a new text repaint from the same object.
  text.set_style(xfc_header_style());
  text.set_text(L"Test run");
  c = print_client(text.hwnd());
  EXPECT_EQ(c.at(5, 29), RGB(0xC8, 0xD0, 0xDC));  // the underline
  EXPECT_GT(c.count([](COLORREF p) { return p == RGB(0x1B, 0x30, 0x4F); }), 5);

  xfc_separator line;
  ASSERT_TRUE(line.create_child(host.hwnd(), 11, {10, 50, 210, 61}));
  line.set_colours(RGB(1, 2, 3), RGB(200, 201, 202));
  c = print_client(line.hwnd());
  EXPECT_EQ(c.at(100, 5), RGB(1, 2, 3));
  EXPECT_EQ(c.at(100, 0), RGB(200, 201, 202));
  EXPECT_EQ(c.at(100, 10), RGB(200, 201, 202));

  minor_button link;
  ASSERT_TRUE(link.create_child(host.hwnd(), 12, {10, 70, 210, 90}, L"Click here to see the report"));
  link.set_background(RGB(255, 255, 255));
  c = print_client(link.hwnd());
  EXPECT_GT(c.count([](COLORREF p) { return p != RGB(255, 255, 255); }), 20);
  EXPECT_EQ(GetWindowLongPtrW(link.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  SendMessageW(link.hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongPtrW(link.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  SendMessageW(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(link.hover());
  EXPECT_EQ(SendMessageW(link.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.hwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  SendMessageW(link.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(link.hover());
  // A half-faded button is blended over its background.
  link.set_opacity(0);
  c = print_client(link.hwnd());
  EXPECT_EQ(c.count([](COLORREF p) { return p != RGB(255, 255, 255); }), 0);

  link.set_opacity(128);
  print_client(link.hwnd());

  image_button shot;
  ASSERT_TRUE(shot.create_child(host.hwnd(), 13, {10, 100, 90, 131}));
  ASSERT_TRUE(shot.set_image(screengrab()));
  c = print_client(shot.hwnd());
  // 80 x 31 button, 68 x 25 image centred: the lens pixel (22, 13) lands at (28, 16).
  EXPECT_EQ(c.at(28, 16), RGB(0x3C, 0x7F, 0xB1));
  EXPECT_EQ(c.at(0, 0), RGB(255, 255, 255));  // the image's transparent corner shows the background
  EXPECT_EQ(c.at(40, 5), RGB(0xF3, 0xF6, 0xFA));
  host.destroy();
}

void hint_button_shows_its_hint_until_the_mouse_leaves() {
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 340, 240}));
  hint_button hint;
  ASSERT_TRUE(hint.create_child(host.hwnd(), 20, {10, 10, 28, 28}, L"?"));
  hint.set_hint(L"How long each single test may run.");
  SendMessageW(hint.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(hint.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(hint.hint_shown());
  const HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  ASSERT_TRUE(tip);
  EXPECT_TRUE(IsWindowVisible(tip));
  wchar_t shown_text[128] = {};
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = host.hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(hint.hwnd());
  info.lpszText = shown_text;
  SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(shown_text, L"How long each single test may run.");
  SendMessageW(hint.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hint.hint_shown());
  EXPECT_FALSE(IsWindowVisible(tip));
  host.destroy();
  EXPECT_FALSE(IsWindow(tip));
}

void combobox_measures_draws_and_paints_its_closed_state() {
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 340, 340}));
  const HWND combo_hwnd =
      child(host.hwnd(), L"ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
            {10, 10, 210, 200}, 30);
  xfc_combobox combo;
  ASSERT_TRUE(combo.attach(combo_hwnd));
  for (const wchar_t* item : {L"Quick", L"Standard", L"Extended", L"Customize..."}) sfc_hcombobox(combo_hwnd).add(item);
  sfc_hcombobox(combo_hwnd).select(1);
  {
    const sfc_window_dc dc(combo_hwnd);
    const sfc_selection font(dc.handle(), GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.handle(), &tm);
    EXPECT_EQ(combo.item_height(), tm.tmHeight + 6);
  }
  EXPECT_EQ(SendMessageW(combo_hwnd, CB_GETITEMHEIGHT, 0, 0), combo.item_height());
  capture c = print_client(combo_hwnd);
  const xfc_combo_colours colours;
  EXPECT_EQ(c.at(0, 0), colours.frame);
  EXPECT_EQ(c.at(3, 3), colours.background);
  EXPECT_GT(c.count([](COLORREF p) { return p == RGB(0, 0, 0); }), 10) << "no selected text";

  // The open list's items are drawn by the control: the selected row in the selection colour.
  SendMessageW(combo_hwnd, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo_hwnd, &info));
  UpdateWindow(info.hwndList);
  RECT row{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  const sfc_window_dc list_dc(info.hwndList);
  EXPECT_EQ(GetPixel(list_dc.handle(), row.left + 2, row.top + 1), colours.selected_background);
  SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(GetPixel(list_dc.handle(), row.left + 2, row.top + 1), colours.background);
  SendMessageW(combo_hwnd, CB_SHOWDROPDOWN, FALSE, 0);
  host.destroy();
}

void vc_editbox_centres_its_line_and_frames_its_state() {
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 340, 240}));
  const HWND edit_hwnd = child(host.hwnd(), L"Edit", ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER, {10, 10, 160, 38}, 40);
  xfc_vc_editbox edit;
  ASSERT_TRUE(edit.attach(edit_hwnd));
  TEXTMETRICW tm{};
  {
    const sfc_window_dc dc(edit_hwnd);
    const sfc_selection font(dc.handle(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(dc.handle(), &tm);
  }
  RECT client{}, window{};
  GetClientRect(edit_hwnd, &client);
  GetWindowRect(edit_hwnd, &window);
  EXPECT_EQ(client.bottom, tm.tmHeight);
  POINT origin = {0, 0};
  ClientToScreen(edit_hwnd, &origin);
  EXPECT_EQ(origin.y - window.top, 1 + (28 - 2 - tm.tmHeight) / 2);
  EXPECT_EQ(origin.x - window.left, 1 + 3);
  SetWindowTextW(edit_hwnd, L"64M");
  EXPECT_EQ(sfc_hwnd(edit_hwnd).text(), L"64M");

  const xfc_edit_colours colours;
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(window_pixel(edit_hwnd, 0, 0), colours.frame);
  EXPECT_EQ(window_pixel(edit_hwnd, 2, 2), colours.background);
  edit.set_invalid(true);
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
  EXPECT_EQ(window_pixel(edit_hwnd, 0, 0), colours.frame_invalid);
  edit.set_invalid(false);
  RedrawWindow(edit_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
  EXPECT_EQ(window_pixel(edit_hwnd, 0, 0), colours.frame);
  EXPECT_EQ(SendMessageW(edit_hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 2, window.top + 2)), HTCLIENT);
  host.destroy();
}

void fade_overlay_covers_visible_controls_with_their_snapshots() {
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 440, 340}));
  xfc_text a, b, hidden;
  ASSERT_TRUE(a.create_child(host.hwnd(), 50, {10, 10, 110, 40}, L"A"));
  ASSERT_TRUE(b.create_child(host.hwnd(), 51, {10, 50, 110, 80}, L"B"));
  ASSERT_TRUE(hidden.create_child(host.hwnd(), 52, {10, 90, 110, 120}, L"C"));
  xfc_text_style style;
  style.background = RGB(0x20, 0x3A, 0x60);
  a.set_style(style);
  b.set_style(style);
  hidden.show(false);
  UpdateWindow(host.hwnd());

  fade_overlay overlay;
  ASSERT_EQ(overlay.cover({a.hwnd(), b.hwnd(), hidden.hwnd()}, 200), 2u);
  for (size_t i = 0; i < overlay.size(); ++i) {
    const HWND cover = overlay.cover_window(i);
    const LONG_PTR ex = GetWindowLongPtrW(cover, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT),
              WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT);
    EXPECT_TRUE(IsWindowVisible(cover));
    EXPECT_EQ(GetWindow(cover, GW_OWNER), host.hwnd());
    RECT covered{}, control{};
    GetWindowRect(cover, &covered);
    GetWindowRect(i == 0 ? a.hwnd() : b.hwnd(), &control);
    EXPECT_TRUE(EqualRect(&covered, &control));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(cover, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(flags & LWA_ALPHA);
    // It paints the control's snapshot when asked to erase.
    const capture snapshot =
        painted(100, 30, [&](HDC dc) { SendMessageW(cover, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); });
    EXPECT_EQ(snapshot.at(90, 5), RGB(0x20, 0x3A, 0x60));
  }
  overlay.set_opacity(40);
  BYTE alpha = 0;
  GetLayeredWindowAttributes(overlay.cover_window(1), nullptr, &alpha, nullptr);
  EXPECT_EQ(alpha, 40);
  const HWND first = overlay.cover_window(0);
  overlay.clear();
  EXPECT_EQ(overlay.size(), 0u);
  EXPECT_FALSE(IsWindow(first));
  host.destroy();
}

// A real popup is measured and drawn through its owner, closed with Esc, when `popup` says.
void menu_painter_items_keep_their_texts_and_draw_their_states(bool popup) {
  sfc_menu menu;
  ASSERT_TRUE(menu.create_popup());
  AppendMenuW(menu.handle(), MF_STRING | MF_GRAYED, 40111, L"Test results");
  AppendMenuW(menu.handle(), MF_STRING, 40123, L"View test report...");
  AppendMenuW(menu.handle(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.handle(), MF_STRING | MF_CHECKED, 40136, L"1024 bytes per KB\tCtrl+K");
  menu_painter painter;
  painter.take_over(menu.handle());
  painter.take_over(menu.handle());  // a second pass keeps the items as they are
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  std::vector<ULONG_PTR> data;
  for (UINT i = 0; i < 4; ++i) {
    ASSERT_TRUE(GetMenuItemInfoW(menu.handle(), i, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
    data.push_back(info.dwItemData);
  }
  MEASUREITEMSTRUCT m{};
  m.CtlType = ODT_MENU;
  m.itemData = data[2];
  ASSERT_TRUE(painter.measure(m));
  EXPECT_EQ(m.itemHeight, 7u);
  m.itemData = data[1];
  ASSERT_TRUE(painter.measure(m));
  const UINT plain_width = m.itemWidth;
  EXPECT_GT(m.itemHeight, 12u);
  m.itemData = data[3];
  ASSERT_TRUE(painter.measure(m));
  EXPECT_GT(m.itemWidth, plain_width);  // the shortcut adds room
  m.itemData = 12345;
  EXPECT_FALSE(painter.measure(m));
  m.CtlType = ODT_BUTTON;
  m.itemData = data[1];
  EXPECT_FALSE(painter.measure(m));

  const menu_colours colours;
  auto draw = [&](ULONG_PTR item_data, UINT state) {
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
  EXPECT_EQ(draw(data[1], ODS_SELECTED).at(1, 1), colours.highlight);
  EXPECT_EQ(draw(data[1], 0).at(1, 1), colours.background);
  const capture caption = draw(data[0], ODS_SELECTED | ODS_GRAYED | ODS_DISABLED);
  EXPECT_EQ(caption.at(1, 1), colours.background);  // a caption never highlights
  EXPECT_GT(caption.count([&](COLORREF p) { return p == colours.caption_text; }), 5);
  EXPECT_GT(draw(data[3], ODS_CHECKED).count([&](COLORREF p) { return p == colours.check; }), 5);
  EXPECT_EQ(draw(data[2], 0).at(100, 12), colours.separator);

  if (!popup) return;
  host_window host;
  ASSERT_TRUE(host.open({40, 40, 340, 240}));
  host.painter = &painter;
  SetForegroundWindow(host.hwnd());
  std::thread closer([&] {
    HWND popup = nullptr;
    EXPECT_TRUE(wait_until([&] { return (popup = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(popup); }));
    if (popup) {
      RECT r{};
      GetWindowRect(popup, &r);
      EXPECT_GE(r.right - r.left, LONG(plain_width));
    }
    PostMessageW(host.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(sfc_hmenu(menu.handle()).track(host.hwnd(), {100, 100}), 0u);
  closer.join();
  host.destroy();
}

}  // namespace

TEST(custom_controls, text_separator_and_buttons_draw_in_their_colours) { text_separator_and_buttons(); }
TEST(custom_controls, hint_button_shows_its_hint_until_the_mouse_leaves) {
  hint_button_shows_its_hint_until_the_mouse_leaves();
}
TEST(custom_controls, combobox_measures_draws_and_paints_its_closed_state) {
  combobox_measures_draws_and_paints_its_closed_state();
}
TEST(custom_controls, vc_editbox_centres_its_line_and_frames_its_state) {
  vc_editbox_centres_its_line_and_frames_its_state();
}
TEST(fade_overlay, covers_visible_controls_with_their_snapshots) {
  fade_overlay_covers_visible_controls_with_their_snapshots();
}
TEST(menu_painter, owner_drawn_items_keep_their_texts_and_draw_their_states) {
  menu_painter_items_keep_their_texts_and_draw_their_states(true);
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
    pump_messages();
    return !testing::Test::HasFailure();
  };
  expect_no_leaks(count_leaks(round, 20));
}
