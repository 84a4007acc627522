#include "toolkit/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

#include "golden.h"

namespace {

// The bytes of the template `name` of dialog_template_sources.txt, written in hex there
// independently of the code under test, or those of the writer's own dialog for "written".
std::vector<uint8_t> source(const std::string& name) {
  if (name == "written") {
    dialog_template_writer w(WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW, {0, 0, 100, 50}, L"Box", {L"", 0});
    w.add(WS_CHILD | WS_VISIBLE, 0, {5, 6, 25, 20}, 1011, dlg_class_static, L"Hi");
    w.add(WS_CHILD | BS_PUSHBUTTON, 0, {1, 2, 3, 4}, 6, dlg_class_button, L"&Yes");
    return w.bytes();
  }
  const std::string sources = test_data_text("toolkit/dialog_template_sources.txt");
  const size_t at = sources.find("\n" + name + ":\n");
  std::vector<uint8_t> out;
  if (at == std::string::npos) return out;
  for (size_t i = at + name.size() + 3; i + 1 < sources.size() && sources[i] != '\n'; i += 3)
    out.push_back(uint8_t(std::stoul(sources.substr(i, 2), nullptr, 16)));
  return out;
}

// "source[:length] [face points]": the source's bytes (its first `length` only) rebuilt with the
// font, 16 bytes a line in hex, or "refused"; without a font, the source's own bytes.
std::string rebuilt(const std::string& spec) {
  const size_t space = spec.find(' '), colon = spec.find(':'), last = spec.rfind(' ');
  std::vector<uint8_t> bytes = source(spec.substr(0, std::min(space, colon)));
  if (colon < space) bytes.resize(std::stoul(spec.substr(colon + 1, space - colon - 1)));
  if (space != std::string::npos) {
    std::vector<uint8_t> out;
    const std::wstring face(spec.begin() + space + 1, spec.begin() + last);
    const bool ok = rebuild_dialog_template(bytes.data(), bytes.size(),
                                            {face.c_str(), uint16_t(std::stoi(spec.substr(last)))}, out);
    if (!ok) return out.empty() ? "refused\n" : "refused, bytes left behind\n";
    bytes = out;
  }
  std::string text;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(b, sizeof b, "%02x", bytes[i]);
    text += b;
    text += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return text;
}

}  // namespace

// A classic template with and without a font of its own (DS_SHELLFONT loses its fixed-system half;
// a face of odd length moves every control by two bytes before alignment), an extended one with
// its menu by ordinal and by name (weight, italic and charset kept, DS_FIXEDSYS dropped); what the
// writer makes; short, overcounted and unterminated templates refused.
TEST(dialog_template, rebuilt_written_and_refused_templates) { expect_cases("toolkit/dialog_templates.txt", rebuilt); }
