// folvi-ui-preview: the test profile dialog, the graphs, the raw-data list and the location box
// on their own, with made-up data, to look at them and drive them before the main window exists.
//   folvi-ui-preview [--decimal] [--delivered N]   the preview window
//   folvi-ui-preview profile                       dialog 106 alone; exits with its result and
//                                                  prints the profile it ended on
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "preview_data.h"
#include "preview_window.h"
#include "support/text.h"
#include "ui/dialog_test_config.h"

namespace {
int run_profile_dialog() {
  test_config_model model;
  dialog_test_config dialog(model);
  const bool ok = dialog.run(nullptr);
  const test_def& chosen = model.profile(model.current());
  std::printf("%s %s\n", ok ? "ok" : "cancel", to_utf8(chosen.name).c_str());
  for (const config_edit& e : config_edits) std::printf("  %s\n", to_utf8(config_field_text(e.field, chosen)).c_str());
  std::fflush(stdout);
  return ok ? IDOK : IDCANCEL;
}

int run_preview(const preview_setup& setup) {
  const std::unique_ptr<storage_stack> stack = preview_scan();
  preview_locations locations(*stack);
  preview_window window(setup, *stack, locations, win32_file_dialogs());
  return int(window.run());
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  preview_setup setup;
  bool profile = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"profile") {
      profile = true;
    } else if (arg == L"--decimal") {
      setup.decimal_units = true;
    } else if (arg == L"--delivered" && i + 1 < argc) {
      setup.delivered = size_t(std::wcstoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: folvi-ui-preview [profile] [--decimal] [--delivered N]\n");
      return 2;
    }
  }
  const int result = profile ? run_profile_dialog() : run_preview(setup);
  CoUninitialize();
  return result;
}
