#pragma once

#include <windows.h>

#include "ui/text_measure_cb.h"

// Text sizes in a device context, in the normal or the large font of a window.
class gdi_text_measure final : public text_measure_cb {
 public:
  gdi_text_measure(HDC dc, HFONT normal, HFONT large) : dc_(dc), normal_(normal), large_(large) {}
  text_size measure(const std::wstring& text, ui_font font) override;

 private:
  HDC dc_;
  HFONT normal_, large_;
};
