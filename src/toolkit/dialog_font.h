#pragma once

#include <windows.h>

#include "toolkit/dialog_template.h"

// Point size of a font height at a resolution: -height x 72 / dpi (a positive cell height is
// taken as it stands); at least 1.
uint16_t font_points_from_height(LONG height, int dpi);

// The system's message font (non-client metrics) as a dialog font; "MS Shell Dlg" 8 when the
// system does not say.
dialog_font_spec system_message_font();
