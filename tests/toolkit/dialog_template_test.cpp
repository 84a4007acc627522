#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace

TEST(dialog_template, classic_template_gets_the_new_font_and_realigned_controls) {
  bytes_builder expected;
  expected.u32(WS_POPUP | WS_CAPTION | DS_SETFONT).u32(0).u16(2).u16(10).u16(20).u16(200).u16(100);
  expected.u16(0).u16(0).text(L"Title").u16(9).text(L"Segoe UI").align().raw(classic_items());
  // From a template with a font (DS_SHELLFONT loses its fixed-system half) and from one without.
  EXPECT_EQ(rebuilt(classic_template(true), L"Segoe UI", 9), expected.b);
  EXPECT_EQ(rebuilt(classic_template(false), L"Segoe UI", 9), expected.b);
  // A face of odd length moves every control by two bytes before alignment.
  bytes_builder odd;
  odd.u32(WS_POPUP | WS_CAPTION | DS_SETFONT).u32(0).u16(2).u16(10).u16(20).u16(200).u16(100);
  odd.u16(0).u16(0).text(L"Title").u16(12).text(L"Tahoma").align().raw(classic_items());
  EXPECT_EQ(rebuilt(classic_template(true), L"Tahoma", 12), odd.b);
}

TEST(dialog_template, extended_template_keeps_weight_italic_and_charset) {
  auto extended = [](const wchar_t* face, uint16_t points, bool menu_by_name) {
    bytes_builder t;
    t.u16(1)
        .u16(0xFFFF)
        .u32(55)
        .u32(WS_EX_TOOLWINDOW)
        .u32(WS_POPUP | DS_SETFONT | DS_FIXEDSYS)
        .u16(1)
        .u16(0)
        .u16(0)
        .u16(80)
        .u16(40);
    if (menu_by_name) t.text(L"MENU");
    else t.u16(0xFFFF).u16(104);
    t.u16(0).text(L"X").u16(points).u16(FW_BOLD).u8(1).u8(EASTEUROPE_CHARSET).text(face).align();
    t.u32(9).u32(0).u32(WS_CHILD).u16(1).u16(1).u16(10).u16(10).u32(70000);
    t.u16(0xFFFF).u16(0x0082).u16(0).u16(4).u32(0x01020304);
    return t.b;
  };
  for (bool menu_by_name : {false, true}) {
    std::vector<uint8_t> expected = extended(L"Segoe UI", 10, menu_by_name);
    // The style loses DS_FIXEDSYS.
    uint32_t style = WS_POPUP | DS_SETFONT;
    std::memcpy(&expected[12], &style, 4);
    EXPECT_EQ(rebuilt(extended(L"MS Shell Dlg", 8, menu_by_name), L"Segoe UI", 10), expected);
  }
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

TEST(dialog_template, writer_builds_an_extended_template_the_rebuilder_reads) {
  dialog_template_writer w(WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW, {0, 0, 100, 50}, L"Box", {L"", 0});
  w.add(WS_CHILD | WS_VISIBLE, 0, {5, 6, 25, 20}, 1011, dlg_class_static, L"Hi");
  w.add(WS_CHILD | BS_PUSHBUTTON, 0, {1, 2, 3, 4}, 6, dlg_class_button, L"&Yes");
  bytes_builder expected;
  expected.u16(1)
      .u16(0xFFFF)
      .u32(0)
      .u32(WS_EX_APPWINDOW)
      .u32(WS_POPUP | WS_CAPTION | DS_SETFONT)
      .u16(2)
      .u16(0)
      .u16(0)
      .u16(100)
      .u16(50);
  expected.u16(0).u16(0).text(L"Box").u16(0).u16(FW_NORMAL).u8(0).u8(DEFAULT_CHARSET).text(L"").align();
  expected.u32(0)
      .u32(0)
      .u32(WS_CHILD | WS_VISIBLE)
      .u16(5)
      .u16(6)
      .u16(20)
      .u16(14)
      .u32(1011)
      .u16(0xFFFF)
      .u16(0x0082)
      .text(L"Hi")
      .u16(0)
      .align();
  expected.u32(0)
      .u32(0)
      .u32(WS_CHILD | BS_PUSHBUTTON)
      .u16(1)
      .u16(2)
      .u16(2)
      .u16(2)
      .u32(6)
      .u16(0xFFFF)
      .u16(0x0080)
      .text(L"&Yes")
      .u16(0);
  EXPECT_EQ(w.bytes(), expected.b);
  std::vector<uint8_t> out;
  ASSERT_TRUE(rebuild_dialog_template(w.bytes().data(), w.bytes().size(), {L"Segoe UI", 9}, out));
  EXPECT_EQ(out.size(), w.bytes().size() + 16);  // "Segoe UI" and its NUL; the controls stay aligned
}
