#include "ui/gdi_text_measure.h"

#include "toolkit/sfc_gdi.h"

text_size gdi_text_measure::measure(const std::wstring& text, ui_font font) {
  const sfc_selection in(dc_, font == font_large ? large_ : normal_);
  SIZE size{};
  TEXTMETRICW metrics{};
  GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &size);
  // One line's height whether or not the text is empty.
  if (!GetTextMetricsW(dc_, &metrics)) return {int(size.cx), int(size.cy), 0};
  return {int(size.cx), int(metrics.tmHeight), int(metrics.tmDescent)};
}
