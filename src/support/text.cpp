#include "support/text.h"

std::string to_utf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t wc : text) {
    unsigned c = unsigned(wc) & 0xFFFF;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring from_utf8(const std::string& text) {
  std::wstring out;
  size_t i = 0;
  auto cont = [&](size_t k) { return k < text.size() && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80; };
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += wchar_t(b);
      i += 1;
    } else if ((b & 0xE0) == 0xC0 && cont(i + 1)) {
      out += wchar_t(((b & 0x1F) << 6) | (text[i + 1] & 0x3F));
      i += 2;
    } else if ((b & 0xF0) == 0xE0 && cont(i + 1) && cont(i + 2)) {
      out += wchar_t(((b & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F));
      i += 3;
    } else {
      out += wchar_t(0xFFFD);
      i += 1;
    }
  }
  return out;
}

std::wstring wide_until_nul(const wchar_t* text, size_t max_chars) {
  size_t n = 0;
  while (n < max_chars && text[n]) ++n;
  return std::wstring(text, n);
}
