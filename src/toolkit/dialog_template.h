#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Dialog templates in memory: the classic DLGTEMPLATE and the extended DLGTEMPLATEEX layout.
// Every record starts on a 4-byte boundary counted from the template's start; texts are
// NUL-terminated UTF-16; a "name or ordinal" is 0x0000 (none), 0xFFFF plus a 16-bit ordinal,
// or a text.

#pragma pack(push, 2)
struct dlg_header {  // DLGTEMPLATE
  uint32_t style;
  uint32_t ex_style;
  uint16_t item_count;
  int16_t x, y, cx, cy;
};
struct dlg_header_ex {  // DLGTEMPLATEEX up to its menu
  uint16_t version;     // 1
  uint16_t signature;   // 0xFFFF
  uint32_t help_id;
  uint32_t ex_style;
  uint32_t style;
  uint16_t item_count;
  int16_t x, y, cx, cy;
};
struct dlg_item {  // DLGITEMTEMPLATE
  uint32_t style;
  uint32_t ex_style;
  int16_t x, y, cx, cy;
  uint16_t id;
};
struct dlg_item_ex {  // DLGITEMTEMPLATEEX up to its class
  uint32_t help_id;
  uint32_t ex_style;
  uint32_t style;
  int16_t x, y, cx, cy;
  uint32_t id;
};
#pragma pack(pop)
static_assert(sizeof(dlg_header) == 18, "DLGTEMPLATE layout");
static_assert(sizeof(dlg_header_ex) == 26, "DLGTEMPLATEEX layout");
static_assert(sizeof(dlg_item) == 18, "DLGITEMTEMPLATE layout");
static_assert(sizeof(dlg_item_ex) == 24, "DLGITEMTEMPLATEEX layout");
static_assert(sizeof(dlg_header) == sizeof(DLGTEMPLATE), "DLGTEMPLATE as the system declares it");
static_assert(sizeof(dlg_item) == sizeof(DLGITEMTEMPLATE), "DLGITEMTEMPLATE as the system declares it");

struct dialog_font_spec {
  std::wstring face;
  uint16_t points = 0;
};

// A copy of the template with DS_SETFONT and the given face and point size (weight, italic
// and character set of an extended template are kept). False when the template is malformed
// or ends before its last control.
bool rebuild_dialog_template(const uint8_t* data, size_t size, const dialog_font_spec& font, std::vector<uint8_t>& out);

// Predefined control classes as ordinals.
constexpr uint16_t dlg_class_button = 0x0080;
constexpr uint16_t dlg_class_edit = 0x0081;
constexpr uint16_t dlg_class_static = 0x0082;
constexpr uint16_t dlg_class_combobox = 0x0085;

// Writes an extended template with DS_SETFONT; positions are in dialog units.
class dialog_template_writer {
 public:
  dialog_template_writer(uint32_t style, uint32_t ex_style, RECT units, const std::wstring& title,
                         const dialog_font_spec& font);
  void add(uint32_t style, uint32_t ex_style, RECT units, uint32_t id, uint16_t class_ordinal,
           const std::wstring& text);
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};
