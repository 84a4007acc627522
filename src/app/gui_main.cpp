// folvi-vezad: the benchmark's window, as a user starts it.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/gui_env.h"
#include "app/replayed_location.h"
#include "app/startup_sequence.h"
#include "app/startup_win.h"
#include "share/share_host.h"
#include "support/text.h"
#include "toolkit/file_dialogs.h"
#include "storage/location_api.h"
#include "ui/main_window.h"

namespace {
// The Help menu's pages are on the share server.
web_server help_pages_server() {
  const share_host server = current_share_host();
  return {from_utf8(server.host), server.tls, server.port};
}

void run_window(app_context& app, const scan_recording* replay) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  app_window_env env(app, replay);
  std::unique_ptr<replayed_location> recorded(replay ? new replayed_location(*replay) : nullptr);
  main_window window(env, recorded ? *recorded : win32_location_api(), win32_file_dialogs(), app.version,
                     help_pages_server());
  window.run();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app_context& app = create_app_context();
  win32_startup startup(app, [&app](const scan_recording* replay) { run_window(app, replay); });
  std::vector<std::wstring> args;
  if (__argc > 1) args.assign(__wargv + 1, __wargv + __argc);
  return run_startup(startup, args);
}
