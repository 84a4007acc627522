#include "toolkit/dialog_template.h"

#include <cstring>

namespace {

// Reads forward through a template; any read past the end marks it broken.
class template_reader {
 public:
  template_reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t pos() const { return pos_; }
  bool ok() const { return ok_; }
  bool skip(size_t n) {
    if (!ok_ || n > size_ - pos_) return ok_ = false;
    pos_ += n;
    return true;
  }
  bool align4() { return skip((4 - pos_ % 4) % 4); }
  uint16_t word() {
    uint16_t w = 0;
    if (ok_ && size_ - pos_ >= 2) std::memcpy(&w, data_ + pos_, 2);
    skip(2);
    return w;
  }
  template <class T>
  bool record(T& r) {
    if (!ok_ || sizeof r > size_ - pos_) return ok_ = false;
    std::memcpy(&r, data_ + pos_, sizeof r);
    pos_ += sizeof r;
    return true;
  }
  // Name or ordinal.
  bool name_or_ordinal() {
    const uint16_t first = word();
    if (first == 0x0000) return ok_;
    if (first == 0xFFFF) return word(), ok_;
    return text_rest();
  }
  // A NUL-terminated text.
  bool text() { return word() == 0 ? ok_ : text_rest(); }

 private:
  bool text_rest() {
    while (ok_ && word() != 0) {
    }
    return ok_;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

void put_bytes(std::vector<uint8_t>& out, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}
void put_word(std::vector<uint8_t>& out, uint16_t w) { put_bytes(out, &w, 2); }
void put_text(std::vector<uint8_t>& out, const std::wstring& text) {
  for (wchar_t c : text) put_word(out, uint16_t(c));
  put_word(out, 0);
}
void pad4(std::vector<uint8_t>& out) { out.resize((out.size() + 3) & ~size_t(3), 0); }

}  // namespace

bool rebuild_dialog_template(const uint8_t* data, size_t size, const dialog_font_spec& font,
                             std::vector<uint8_t>& out) {
  out.clear();
  template_reader in(data, size);
  uint16_t first_words[2] = {};
  if (size >= 4) std::memcpy(first_words, data, 4);
  const bool extended = first_words[0] == 1 && first_words[1] == 0xFFFF;
  dlg_header plain{};
  dlg_header_ex ex{};
  if (extended ? !in.record(ex) : !in.record(plain)) return false;
  uint32_t& style = extended ? ex.style : plain.style;
  const uint16_t item_count = extended ? ex.item_count : plain.item_count;
  const bool had_font = (style & DS_SETFONT) != 0;

  // Menu, class and title are copied as they stand.
  const size_t names_start = in.pos();
  if (!in.name_or_ordinal() || !in.name_or_ordinal() || !in.text()) return false;
  const size_t names_end = in.pos();
  uint16_t weight = FW_NORMAL;
  uint8_t italic_charset[2] = {0, DEFAULT_CHARSET};
  if (had_font) {
    in.word();  // point size
    if (extended) {
      weight = in.word();
      const uint16_t packed = in.word();
      std::memcpy(italic_charset, &packed, 2);
    }
    if (!in.text()) return false;
  }

  style = (style | DS_SETFONT) & ~DWORD(DS_FIXEDSYS);
  if (extended) put_bytes(out, &ex, sizeof ex);
  else put_bytes(out, &plain, sizeof plain);
  put_bytes(out, data + names_start, names_end - names_start);
  put_word(out, font.points);
  if (extended) {
    put_word(out, weight);
    put_bytes(out, italic_charset, 2);
  }
  put_text(out, font.face);

  for (uint16_t i = 0; i < item_count; ++i) {
    in.align4();
    const size_t item_start = in.pos();
    dlg_item item{};
    dlg_item_ex item_ex{};
    if (extended ? !in.record(item_ex) : !in.record(item)) return false;
    if (!in.name_or_ordinal() || !in.name_or_ordinal()) return false;
    const uint16_t extra = in.word();  // creation data bytes that follow
    if (!in.skip(extra)) return false;
    pad4(out);
    put_bytes(out, data + item_start, in.pos() - item_start);
  }
  return in.ok();
}

dialog_template_writer::dialog_template_writer(uint32_t style, uint32_t ex_style, RECT u, const std::wstring& title,
                                               const dialog_font_spec& font) {
  dlg_header_ex h{};
  h.version = 1;
  h.signature = 0xFFFF;
  h.ex_style = ex_style;
  h.style = style | DS_SETFONT;
  h.x = int16_t(u.left);
  h.y = int16_t(u.top);
  h.cx = int16_t(u.right - u.left);
  h.cy = int16_t(u.bottom - u.top);
  put_bytes(bytes_, &h, sizeof h);
  put_word(bytes_, 0);  // no menu
  put_word(bytes_, 0);  // the dialog class
  put_text(bytes_, title);
  put_word(bytes_, font.points);
  put_word(bytes_, FW_NORMAL);
  put_word(bytes_, uint16_t(DEFAULT_CHARSET) << 8);  // not italic, default character set
  put_text(bytes_, font.face);
}

void dialog_template_writer::add(uint32_t style, uint32_t ex_style, RECT u, uint32_t id, uint16_t class_ordinal,
                                 const std::wstring& text) {
  pad4(bytes_);
  dlg_item_ex item{};
  item.ex_style = ex_style;
  item.style = style;
  item.x = int16_t(u.left);
  item.y = int16_t(u.top);
  item.cx = int16_t(u.right - u.left);
  item.cy = int16_t(u.bottom - u.top);
  item.id = id;
  put_bytes(bytes_, &item, sizeof item);
  put_word(bytes_, 0xFFFF);
  put_word(bytes_, class_ordinal);
  put_text(bytes_, text);
  put_word(bytes_, 0);  // no creation data
  dlg_header_ex header;
  std::memcpy(&header, bytes_.data(), sizeof header);
  ++header.item_count;
  std::memcpy(bytes_.data(), &header, sizeof header);
}
