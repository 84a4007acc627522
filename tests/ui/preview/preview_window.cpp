#include "preview_window.h"

#include "preview_ids.h"
#include "resource_ids.h"
#include "ui/main_window_events.h"
#include "ui/dialog_test_config.h"
#include "ui/graph_style.h"

preview_window::preview_window(const preview_setup& setup, const storage_stack& stack, location_api& locations,
                               file_dialogs& dialogs)
    : setup_(setup), stack_(stack), dialogs_(dialogs), run_(finished_quick_run()), list_(locations) {
  set_font_override(L"Segoe UI", 9);
}

INT_PTR preview_window::run(HWND owner) { return run_modal(IDD_UI_PREVIEW, owner); }

bool preview_window::on_init() {
  add_hook(&colours_);
  location_caption_.set_style(xfc_header_style());
  location_caption_.attach(item(IDC_MAIN_LOCATION_CAPTION));
  location_combo_.attach(item(IDC_MAIN_LOCATION));
  box_.attach(hwnd_);
  list_.start_scan(box_);
  list_.scan_done(box_, &stack_);

  const size_t best_block = deliver(results_, run_, setup_.delivered);
  for (bool read : {true, false}) {
    pretty_graph_model& model = graph_model(read);
    model.set_title(read ? graph_read_title : graph_write_title);
    model.set_decimal_units(setup_.decimal_units);
    // The write phase begins once every read has been handed over.
    const bool begun = read || setup_.delivered >= run_.reads.size();
    model.set_planned(!begun ? 0 : read ? results_.planned_reads() : results_.planned_writes());
    pretty_graph& g = graph(read);
    g.bind(model, read ? results_.read_results() : results_.write_results());
    g.set_click_message(msg_units_popup);
    g.attach(item(read ? IDC_MAIN_READ_GRAPH : IDC_MAIN_WRITE_GRAPH));
  }

  raw_.attach(item(IDC_MAIN_RESULTS));
  const size_t page = raw_.fit_whole_rows();
  raw_rows& rows = results_.rows();
  // After a run the best-rate block stands at the top of the page.
  const size_t last = best_block != size_t(-1) ? rows.fill_page(best_block, page) : (rows.size() ? rows.size() - 1 : 0);
  raw_.add_rows(rows, 0);
  raw_.scroll_to_row(last);
  return true;
}

void preview_window::location_notification(int code) {
  switch (code) {
    case CBN_DROPDOWN: list_.dropped_down(box_); break;
    case CBN_CLOSEUP:
    case CBN_SELENDCANCEL: list_.closed_up(box_); break;
    case CBN_SELENDOK: list_.confirmed(box_, box_.selection()); break;
    default: break;
  }
}

void preview_window::switch_units() {
  const bool decimal = !read_model_.decimal_units();
  for (bool read : {true, false}) {
    graph_model(read).set_decimal_units(decimal);
    graph(read).invalidate();
  }
}

void preview_window::open_profile_dialog() {
  test_config_model model;
  dialog_test_config dialog(model);
  dialog.run(hwnd_);
}

void preview_window::on_command(int id, int code, HWND) {
  if (id == IDC_MAIN_LOCATION) location_notification(code);
  if (id == IDC_PREVIEW_PROFILE && code == BN_CLICKED) open_profile_dialog();
}

bool preview_window::on_message(sfc_msg& m) {
  if (m.message == msg_pick_folder) {
    list_.picked(box_, box_.pick_folder(dialogs_));
    return true;
  }
  if (m.message == msg_units_popup) {
    switch_units();
    return true;
  }
  return sfc_dialog::on_message(m);
}
