#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "preview_data.h"
#include "ui/results_model.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/white_dialog.h"
#include "toolkit/xfc_combobox.h"
#include "toolkit/xfc_custom_static.h"
#include "ui/location_box.h"
#include "storage/location_list.h"
#include "ui/pretty_graph.h"
#include "ui/raw_results.h"

struct preview_setup {
  bool decimal_units = false;
  size_t delivered = size_t(-1);  // records per direction handed over; fewer: a run still going
};

// The windows of the main window's results and location, on their own: the location box with
// its summary lines over a synthetic scan, the two graphs and the raw-data list of a Quick run.
// A click on a graph's unit switches both graphs between 1024 and 1000 bytes per KB.
class preview_window : public sfc_dialog {
 public:
  preview_window(const preview_setup& setup, const storage_stack& stack, location_api& locations,
                 file_dialogs& dialogs);
  INT_PTR run(HWND owner = nullptr);

  pretty_graph_model& graph_model(bool read) { return read ? read_model_ : write_model_; }
  pretty_graph& graph(bool read) { return read ? read_graph_ : write_graph_; }
  const location_list& locations() const { return list_; }
  const results_model& results() const { return results_; }

 protected:
  bool on_init() override;
  void on_command(int id, int code, HWND control) override;
  bool on_message(sfc_msg& m) override;

 private:
  void location_notification(int code);
  void switch_units();
  void open_profile_dialog();

  preview_setup setup_;
  const storage_stack& stack_;
  file_dialogs& dialogs_;
  preview_run run_;
  white_dialog_colours colours_;
  location_list list_;
  location_box box_;
  xfc_combobox location_combo_;
  xfc_text location_caption_;
  results_model results_;
  pretty_graph_model read_model_, write_model_;
  pretty_graph read_graph_, write_graph_;
  raw_results raw_;
};
