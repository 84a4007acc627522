// ui-driver: starts a program under test and drives its windows and console from a script.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_commands.h"
#include "script_runner.h"
#include "support/text.h"

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if (argc == 2 && std::wstring(argv[1]) == L"--help") {
    std::fputs(driver_help_text().c_str(), stdout);
    return driver_ok;
  }
  if (argc != 3 || std::wstring(argv[1]) != L"run") {
    std::fputs("usage: ui-driver run SCRIPT|-   (ui-driver --help lists the commands)\n", stderr);
    return driver_bad_script;
  }
  ui_driver driver;
  const std::wstring path = argv[2];
  if (path == L"-") return run_conversation(stdin, driver, stdout);
  std::vector<std::string> lines;
  if (!read_script_lines(path, lines)) {
    std::fprintf(stderr, "ui-driver: cannot read %s\n", to_utf8(path).c_str());
    return driver_unreadable;
  }
  return run_script(to_utf8(path), lines, driver, stdout, stderr);
}
