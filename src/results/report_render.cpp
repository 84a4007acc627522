#include "results/report_render.h"

#include "results/report_texts.h"

namespace {
// A line break inside a key or value would forge report lines for whoever parses it by key.
void append_single_line(const std::string& text, std::string& out) {
  for (char c : text) out += (c == '\r' || c == '\n') ? ' ' : c;
}
}  // namespace

void render_entry(const report_entry& entry, std::string& out) {
  append_single_line(entry.key, out);
  if (entry.key.size() < report_key_width) out.append(report_key_width - entry.key.size(), ' ');
  out += "  ";
  append_single_line(entry.value, out);
  out += "\r\n";
}

void render_report(const report_entries& entries, std::string& out) {
  out.clear();
  for (const report_entry& e : entries) render_entry(e, out);
}
