#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "golden.h"
#include "toolkit/dialog_template.h"

namespace {

// Template bytes written field by field, independently of the code under test.
struct bytes_builder {
  std::vector<uint8_t> b;
  bytes_builder& u16(uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
    return *this;
  }
  bytes_builder& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
  bytes_builder& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  bytes_builder& text(const wchar_t* t) {
    for (; *t; ++t) u16(uint16_t(*t));
    return u16(0);
  }
  bytes_builder& align() {
    while (b.size() % 4) b.push_back(0);
    return *this;
  }
  bytes_builder& raw(const std::vector<uint8_t>& r) {
    b.insert(b.end(), r.begin(), r.end());
    return *this;
  }
};

// The two controls every test template holds: a button by class ordinal and a static by
// class name with two bytes of creation data.
std::vector<uint8_t> classic_items() {
  bytes_builder i;
  i.u32(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON).u32(0).u16(7).u16(8).u16(50).u16(14).u16(1);
  i.u16(0xFFFF).u16(0x0080).text(L"OK").u16(0);
  i.align();
  i.u32(WS_CHILD | WS_VISIBLE).u32(WS_EX_STATICEDGE).u16(1).u16(2).u16(3).u16(4).u16(1040);
  i.text(L"Static").u16(0xFFFF).u16(77).u16(2).u16(0xBEEF);
  return i.b;
}

std::vector<uint8_t> classic_template(bool with_font) {
  bytes_builder t;
  t.u32(WS_POPUP | WS_CAPTION | (with_font ? DS_SHELLFONT : 0)).u32(0).u16(2).u16(10).u16(20).u16(200).u16(100);
  t.u16(0).u16(0).text(L"Title");
  if (with_font) t.u16(8).text(L"MS Shell Dlg");
  t.align().raw(classic_items());
  return t.b;
}

std::vector<uint8_t> rebuilt(const std::vector<uint8_t>& source, const wchar_t* face, uint16_t points) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(rebuild_dialog_template(source.data(), source.size(), {face, points}, out));
  return out;
}

// 16 bytes a line, in hex.
std::string hex_lines(const std::vector<uint8_t>& bytes) {
  std::string out;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(b, sizeof b, "%02x", bytes[i]);
    out += b;
    out += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return out;
}

}  // namespace

// The rebuilt bytes for a classic template with and without a font of its own (DS_SHELLFONT loses
// its fixed-system half; a face of odd length moves every control by two bytes before alignment),
// and for an extended one with its menu by ordinal and by name (weight, italic and charset kept,
// DS_FIXEDSYS dropped); then what the writer makes.
TEST(dialog_template, rebuilt_and_written_templates) {
  const auto extended = [](bool menu_by_name) {
    bytes_builder t;
    t.u16(1).u16(0xFFFF).u32(55).u32(WS_EX_TOOLWINDOW).u32(WS_POPUP | DS_SETFONT | DS_FIXEDSYS);
    t.u16(1).u16(0).u16(0).u16(80).u16(40);
    if (menu_by_name) t.text(L"MENU");
    else t.u16(0xFFFF).u16(104);
    t.u16(0).text(L"X").u16(8).u16(FW_BOLD).u8(1).u8(EASTEUROPE_CHARSET).text(L"MS Shell Dlg").align();
    t.u32(9).u32(0).u32(WS_CHILD).u16(1).u16(1).u16(10).u16(10).u32(70000);
    t.u16(0xFFFF).u16(0x0082).u16(0).u16(4).u32(0x01020304);
    return t.b;
  };
  dialog_template_writer w(WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW, {0, 0, 100, 50}, L"Box", {L"", 0});
  w.add(WS_CHILD | WS_VISIBLE, 0, {5, 6, 25, 20}, 1011, dlg_class_static, L"Hi");
  w.add(WS_CHILD | BS_PUSHBUTTON, 0, {1, 2, 3, 4}, 6, dlg_class_button, L"&Yes");
  const std::string out =
      "classic with font, Segoe UI 9\n" + hex_lines(rebuilt(classic_template(true), L"Segoe UI", 9)) +
      "classic without font, Segoe UI 9\n" + hex_lines(rebuilt(classic_template(false), L"Segoe UI", 9)) +
      "classic, Tahoma 12\n" + hex_lines(rebuilt(classic_template(true), L"Tahoma", 12)) +
      "extended, menu by ordinal, Segoe UI 10\n" + hex_lines(rebuilt(extended(false), L"Segoe UI", 10)) +
      "extended, menu by name, Segoe UI 10\n" + hex_lines(rebuilt(extended(true), L"Segoe UI", 10)) + "written\n" +
      hex_lines(w.bytes()) + "written, rebuilt with Segoe UI 9\n" + hex_lines(rebuilt(w.bytes(), L"Segoe UI", 9));
  expect_golden(out, "toolkit/dialog_templates.txt");
}

TEST(dialog_template, malformed_templates_are_refused) {
  const std::vector<uint8_t> good = classic_template(true);
  std::vector<uint8_t> out;
  for (size_t cut : {size_t(0), size_t(10), size_t(30), good.size() - 20, good.size() - 1})
    EXPECT_FALSE(rebuild_dialog_template(good.data(), cut, {L"Segoe UI", 9}, out)) << cut;
  std::vector<uint8_t> more_items = good;
  more_items[8] = 3;  // three controls announced, two present
  EXPECT_FALSE(rebuild_dialog_template(more_items.data(), more_items.size(), {L"Segoe UI", 9}, out));
  bytes_builder unterminated;
  unterminated.u32(WS_POPUP).u32(0).u16(0).u16(0).u16(0).u16(10).u16(10).u16(0).u16(0).u16('T').u16('i');
  EXPECT_FALSE(rebuild_dialog_template(unterminated.b.data(), unterminated.b.size(), {L"Segoe UI", 9}, out));
  EXPECT_TRUE(out.empty());
}
