#include "ui/main_window.h"

#include "resource_ids.h"
#include "toolkit/png_bitmap.h"
#include "ui/main_window_texts.h"
#include "ui/summary_colours.h"
#include "ui/window_capture.h"

namespace {
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF caption_text = RGB(0x5E, 0x6B, 0x7D);
constexpr COLORREF value_text = RGB(0x1B, 0x25, 0x33);

constexpr int caption_ids[] = {IDC_MAIN_FILE_SYSTEM_CAPTION, IDC_MAIN_VOLUME_CAPTION,  IDC_MAIN_DEVICE_CAPTION,
                               IDC_MAIN_CONTROLLER_CAPTION,  IDC_MAIN_HOST_OS_CAPTION, IDC_MAIN_CONFIGURATION_CAPTION,
                               IDC_MAIN_STATUS_CAPTION};

bool is_caption(int id) {
  for (int c : caption_ids)
    if (c == id) return true;
  return false;
}

COLORREF band_colour() { return GetSysColor(COLOR_BTNFACE); }
}  // namespace

main_window::main_window(main_window_env& env, location_api& locations, file_dialogs& dialogs,
                         const file_version& version, const web_server& web)
    : env_(env), dialogs_(dialogs), model_(*this, env, locations, version, web) {
  set_font_override(L"Segoe UI", 9);
}

main_window::~main_window() = default;

INT_PTR main_window::run(HWND owner) { return run_modal(IDD_MAIN, owner); }

void main_window::attach_controls() {
  box_.attach(hwnd_);
  location_combo_.attach(item(IDC_MAIN_LOCATION));
  presets_combo_.attach(item(IDC_MAIN_PRESETS));
  location_caption_.attach(item(IDC_MAIN_LOCATION_CAPTION));
  section_caption_.attach(item(IDC_MAIN_SECTION_CAPTION));
  change_link_.attach(item(IDC_MAIN_CHANGE_PROFILE));
  switch_link_.attach(item(IDC_MAIN_SWITCH_VIEW));
  screengrab_.attach(item(IDC_MAIN_SCREENGRAB));
  separator_.attach(item(id_separator));
  list_.attach(item(IDC_MAIN_RESULTS));
  for (bool read : {true, false}) {
    pretty_graph& g = graph(read);
    g.bind(model_.graph(read), read ? model_.results().read_results() : model_.results().write_results());
    g.set_click_message(msg_units_popup);
    g.attach(item(read ? IDC_MAIN_READ_GRAPH : IDC_MAIN_WRITE_GRAPH));
  }
}

void main_window::style_controls() {
  location_caption_.set_style(xfc_header_style(white));
  section_caption_.set_style(xfc_header_style(white));
  change_link_.set_background(white);
  switch_link_.set_background(band_colour());
  screengrab_.set_background(band_colour());
  std::string error;
  if (load_png_resource(IDB_SCREENGRAB, screengrab_image_, error)) screengrab_.set_image(screengrab_image_);
  screengrab_.set_cursor(LoadCursorW(nullptr, IDC_HAND));
  separator_.set_colours(summary_row_colours(band_colour())[0], band_colour());
}

view_scene main_window::laid_out_scene() const {
  view_scene s;
  for (int c = 0; c < scene_control_count; ++c) {
    const sfc_hwnd control(item(scene_control_ids[c]));
    s.places[size_t(c)] = {control.rect_in_parent(), control.visible()};
  }
  s.client_height = int(client_rect().bottom);
  return s;
}

bool main_window::on_init() {
  white_brush_.create(white);
  alive_ = true;
  posting_window_ = hwnd_;
  env_.set_window(hwnd_);
  attach_controls();
  style_controls();
  load_menus();
  // The list is cut to whole rows before the scenes take its place.
  const size_t rows_per_page = list_.fit_whole_rows();
  scenes_ = make_view_scenes(laid_out_scene());
  shown_state_ = view_done_list;  // as laid out, until the model says otherwise
  model_.init(rows_per_page);
  // The Start button is where a user begins.
  SetFocus(item(IDC_MAIN_START));
  return false;
}

void main_window::on_destroy() {
  alive_ = false;
  posting_window_ = nullptr;
  finish_view_move();
  finish_fades();
  show_menu_bar(false);
  env_.set_window(nullptr);
}

void main_window::on_command(int id, int code, HWND control) {
  control_event event = control_event::clicked;
  int selection = 0;
  if (id == IDC_MAIN_LOCATION || id == IDC_MAIN_PRESETS) {
    switch (code) {
      case CBN_DROPDOWN: event = control_event::dropped_down; break;
      case CBN_CLOSEUP:
      case CBN_SELENDCANCEL: event = control_event::closed_up; break;
      case CBN_SELENDOK:
        event = control_event::confirmed;
        selection = sfc_hcombobox(control).selection();
        break;
      default: return;
    }
  } else if (control && code != BN_CLICKED) {
    return;
  } else if (id == IDC_MAIN_SCREENGRAB) {
    show_screengrab_popup();
    return;
  }
  const bool control_held = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  model_.command(id, event, selection, control_held);
}

void main_window::on_timer(UINT_PTR id) {
  if (id == view_move_timer) return view_step();
  if (id == control_fade_timer) return fade_step();
  model_.timer(unsigned(id));
}

void main_window::paint_background(HDC dc) const {
  const sfc_hdc out(dc);
  RECT client = client_rect();
  out.fill(client, white);
  // The bottom row's band, from the separator down.
  RECT band = client;
  band.top = sfc_hwnd(item(id_separator)).rect_in_parent().top;
  out.fill(band, band_colour());
}

LRESULT main_window::static_colours(HDC dc, HWND control) const {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, is_caption(GetDlgCtrlID(control)) ? caption_text : value_text);
  return reinterpret_cast<LRESULT>(white_brush_.handle());
}

bool main_window::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_ERASEBKGND:
      if (!painted_whole_ && IsWindowVisible(hwnd_)) {
        // Just shown: the whole picture at once, before the controls paint themselves one by one.
        painted_whole_ = true;
        paint_client_at_once(hwnd_);
      } else {
        paint_background(reinterpret_cast<HDC>(m.wparam));
      }
      m.result = TRUE;
      return true;
    case WM_PRINTCLIENT: paint_background(reinterpret_cast<HDC>(m.wparam)); return true;
    case WM_CTLCOLORDLG: m.result = reinterpret_cast<LRESULT>(white_brush_.handle()); return true;
    case WM_CTLCOLORSTATIC:
      if (sfc_window::reflect_to_child(m)) return true;
      m.result = static_colours(reinterpret_cast<HDC>(m.wparam), reinterpret_cast<HWND>(m.lparam));
      return true;
    case WM_MEASUREITEM:
      if (m.wparam == 0 && painter_.measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.lparam))) {
        m.result = TRUE;
        return true;
      }
      break;
    case WM_DRAWITEM:
      if (m.wparam == 0 && painter_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam))) {
        m.result = TRUE;
        return true;
      }
      break;
    case WM_SYSCOMMAND:
      if ((m.wparam & 0xFFF0) == SC_CLOSE) {
        model_.close(false);
        return true;
      }
      if ((m.wparam & 0xFFF0) == SC_KEYMENU) return key_menu(m);
      break;
    case WM_EXITMENULOOP: menu_loop_ended(); break;
    case WM_ENDSESSION:
      if (m.wparam) model_.close(true);
      return true;
    default:
      if (m.message == msg_pick_folder) {
        model_.folder_picked(box_.pick_folder(dialogs_));
        return true;
      }
      if (m.message == msg_units_popup) {
        show_units_popup(reinterpret_cast<HWND>(m.wparam));
        return true;
      }
      if (m.message == msg_run_event) {
        model_.run_event(uintptr_t(m.wparam), intptr_t(m.lparam));
        return true;
      }
      break;
  }
  return sfc_dialog::on_message(m);
}
