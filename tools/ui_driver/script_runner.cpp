#include "script_runner.h"

#include "script_words.h"

namespace {
bool read_line(FILE* in, std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += char(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return c != EOF || !line.empty();
}

bool parse_line(const std::string& line, command& c, bool& empty, std::string& error) {
  std::vector<std::string> words;
  if (!split_words(line, words, error)) return false;
  empty = words.empty();
  return empty || parse_command(words, c, error);
}

void end_leftover(ui_driver& driver, FILE* err) {
  if (const DWORD pid = driver.end_leftover_target())
    std::fprintf(err, "ui-driver: ended the target (pid %lu), which was still running\n", (unsigned long)pid);
}
}  // namespace

void write_reply(const reply& r, bool ok, FILE* out) {
  for (const std::string& line : r.lines) std::fprintf(out, "| %s\n", line.c_str());
  if (ok) std::fputs("ok\n", out);
  else std::fprintf(out, "error: %s\n", escaped(r.error).c_str());
  std::fflush(out);
}

int run_script(const std::string& name, const std::vector<std::string>& lines, ui_driver& driver, FILE* out,
               FILE* err) {
  std::vector<command> commands(lines.size());
  std::vector<bool> empty(lines.size());
  bool bad = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    bool blank = false;
    std::string error;
    if (!parse_line(lines[i], commands[i], blank, error)) {
      std::fprintf(err, "ui-driver: %s:%zu: %s\n", name.c_str(), i + 1, error.c_str());
      bad = true;
    }
    empty[i] = blank;
  }
  if (bad) return driver_bad_script;
  int result = driver_ok;
  for (size_t i = 0; i < lines.size() && result == driver_ok; ++i) {
    if (empty[i]) continue;
    reply r;
    const bool ok = driver.execute(commands[i], r);
    write_reply(r, ok, out);
    if (!ok) {
      std::fprintf(err, "ui-driver: %s:%zu: %s: %s\n", name.c_str(), i + 1, lines[i].c_str(), escaped(r.error).c_str());
      result = driver_failed;
    }
    if (r.quit) break;
  }
  end_leftover(driver, err);
  return result;
}

int run_conversation(FILE* in, ui_driver& driver, FILE* out) {
  int result = driver_ok;
  std::string line;
  while (read_line(in, line)) {
    command c;
    bool blank = false;
    reply r;
    if (!parse_line(line, c, blank, r.error)) {
      write_reply(r, false, out);
      result = driver_failed;
      continue;
    }
    if (blank) continue;
    const bool ok = driver.execute(c, r);
    write_reply(r, ok, out);
    if (!ok) result = driver_failed;
    if (r.quit) break;
  }
  end_leftover(driver, stderr);
  return result;
}

bool read_script_lines(const std::wstring& path, std::vector<std::string>& lines) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  lines.clear();
  std::string line;
  while (read_line(f, line)) lines.push_back(line);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0) lines[0].erase(0, 3);
  return ok;
}
