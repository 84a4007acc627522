#pragma once

#include <windows.h>

#include <cstddef>

#include "results/raw_rows.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_window.h"
#include "ui/raw_list_view.h"

// The raw-data list on screen (control 1018, a report-style list view): its three columns, the
// rows of raw_rows with their styles drawn through custom draw, its column header in the
// palette's header colours, and the scrolling of new rows. Each item keeps its row's style
// bits as its item data. The rows pad their numbers with blanks, so they are drawn in a
// fixed-pitch face at the size of the font the list is given; the header keeps that font.
class raw_results : public sfc_window {
 public:
  // Empties the list; its vertical scroll bar stays shown.
  void clear();
  // Appends rows[first..]; each is scrolled into view only when the list was at its end before.
  void add_rows(const raw_rows& rows, size_t first);
  void scroll_to_row(size_t row);
  // Whole rows that fit below the header, measured with a probe row; the list is then made
  // exactly that many rows high (its top stays), so that no row shows cut off at its bottom.
  size_t fit_whole_rows();
  // The third column ends at the right edge of the client area (it shrinks under a scroll bar).
  void fit_columns();

 protected:
  void on_attached() override;
  bool on_message(sfc_msg& m) override;

 private:
  LRESULT item_custom_draw(NMLVCUSTOMDRAW& draw);
  LRESULT header_custom_draw(NMCUSTOMDRAW& draw);
  // The row fonts for a font the list was given; returns the one the list draws with.
  HFONT make_row_fonts(HFONT given);
  bool at_end() const;

  HFONT given_ = nullptr;  // the owner's font: the header's
  bool setting_row_font_ = false;
  sfc_font rows_, bold_rows_;
};
