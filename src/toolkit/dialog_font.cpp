#include "toolkit/dialog_font.h"

#include <cstdlib>

#include "toolkit/sfc_gdi.h"

uint16_t font_points_from_height(LONG height, int dpi) {
  if (dpi <= 0) dpi = 96;
  const long points = std::labs(height) * 72 / dpi;
  return uint16_t(points < 1 ? 1 : points > 0x7FFF ? 0x7FFF : points);
}

dialog_font_spec system_message_font() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  BOOL ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  if (!ok) {
    // Systems before Vista know the structure without its last field.
    metrics.cbSize = sizeof metrics - sizeof metrics.iPaddedBorderWidth;
    ok = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  }
  if (!ok || !metrics.lfMessageFont.lfFaceName[0]) return {L"MS Shell Dlg", 8};
  const sfc_window_dc screen(nullptr);
  const int dpi = screen.handle() ? GetDeviceCaps(screen.handle(), LOGPIXELSY) : 96;
  return {metrics.lfMessageFont.lfFaceName, font_points_from_height(metrics.lfMessageFont.lfHeight, dpi)};
}
