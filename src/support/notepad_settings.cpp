#include "support/notepad_settings.h"

#include <windows.h>

#include "support/registry.h"

namespace {
const wchar_t* const preferred_fonts[] = {L"Inconsolata", L"Consolas", L"Courier New"};

int CALLBACK on_font(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
  if ((font->lfPitchAndFamily & 3) == FIXED_PITCH) *reinterpret_cast<bool*>(found) = true;
  return 1;
}
}  // namespace

bool installed_fixed_pitch_font(const std::wstring& face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, face.size());
  bool found = false;
  HDC dc = GetDC(nullptr);
  if (!dc) return false;
  EnumFontFamiliesExW(dc, &query, on_font, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

notepad_settings::notepad_settings(const wchar_t* key, font_probe_fn font_probe) : key_(key), font_probe_(font_probe) {}

void notepad_settings::save(api_error_cb* errors) {
  const REGSAM view = wow64_view();
  std::wstring face;
  const bool has_face = reg_read_string(HKEY_CURRENT_USER, key_.c_str(), L"lfFaceName", face, view, nullptr);
  if (!has_face || !font_probe_(face)) {
    for (const wchar_t* candidate : preferred_fonts) {
      if (!font_probe_(candidate)) continue;
      const DWORD bytes = DWORD((wcslen(candidate) + 1) * sizeof(wchar_t));
      if (reg_write_value(key_.c_str(), L"lfFaceName", REG_SZ, candidate, bytes, view, errors)) {
        font_changed_ = true;
        old_font_ = has_face ? face : std::wstring();
      }
      break;
    }
  }
  DWORD wrap = 0;
  const bool has_wrap = reg_read_dword(key_.c_str(), L"fWrap", wrap, view, nullptr);
  if (!has_wrap || wrap != 0) {
    const DWORD off = 0;
    if (reg_write_value(key_.c_str(), L"fWrap", REG_DWORD, &off, sizeof off, view, errors)) {
      wrap_changed_ = true;
      old_wrap_ = has_wrap ? wrap : 0;
    }
  }
}

void notepad_settings::restore(api_error_cb* errors) {
  const REGSAM view = wow64_view();
  if (font_changed_) {
    if (old_font_.empty()) reg_delete_value(key_.c_str(), L"lfFaceName", view, errors);
    else
      reg_write_value(key_.c_str(), L"lfFaceName", REG_SZ, old_font_.c_str(),
                      DWORD((old_font_.size() + 1) * sizeof(wchar_t)), view, errors);
    font_changed_ = false;
  }
  if (wrap_changed_) {
    const DWORD old = DWORD(old_wrap_);
    if (old == 0) reg_delete_value(key_.c_str(), L"fWrap", view, errors);
    else reg_write_value(key_.c_str(), L"fWrap", REG_DWORD, &old, sizeof old, view, errors);
    wrap_changed_ = false;
  }
}
