#pragma once

#include <windows.h>

#include <vector>

#include "bench/test_run.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/xfc_custom_static.h"
#include "ui/pretty_graph_model.h"

// A result graph on screen (controls 1020 and 1021): paints the frames of its
// pretty_graph_model with GDI+ and runs the model's 100 ms animation timer. The model and the
// result list belong to the main window and outlive the control. After set_planned() or
// set_decimal_units() on the model the owner invalidates the control; reset_run()'s answer
// goes to apply_timer().
class pretty_graph : public xfc_custom_static {
 public:
  void bind(pretty_graph_model& model, const std::vector<test_run>& results);
  // Posted to the parent, with this window as wParam, when the unit is clicked; 0: none.
  void set_click_message(UINT message) { click_message_ = message; }
  void apply_timer(graph_timer action);

 protected:
  void on_attached() override;
  void draw(HDC dc, const RECT& client) override;
  bool on_message(sfc_msg& m) override;

 private:
  HFONT large_font(HFONT normal);
  bool cursor_over_units() const;
  // A window made for a model that is still animating takes the timer over.
  void sync_timer();

  pretty_graph_model* model_ = nullptr;
  const std::vector<test_run>* results_ = nullptr;
  UINT click_message_ = 0;
  sfc_font large_;
  HFONT large_base_ = nullptr;
};

// Paints a frame into a device context: shapes with GDI+ (plain GDI if GDI+ is missing),
// then the texts in the two fonts.
void paint_graph_frame(HDC dc, const graph_frame& frame, HFONT normal, HFONT large);
