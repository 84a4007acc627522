// A windowed program that opens the diagnostic console the way the product does, logs through it,
// and waits for Enter before it ends with 70.
#include <windows.h>

#include "app/console.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app_context& app = create_app_context();
  app.main_logger->log(3, "lost: no console yet\n");
  app.console_requested = true;
  if (!attach_console(app)) return 90;
  app.main_logger->log(3, "Console probe: %s\n", "attached");
  app.errors->report_api_error("ProbeCall", 5, "%s", "d\xC3\xA9tail");
  app.errors->report_api_error("ProbeHresult", 0x80070005);
  app.main_logger->log(4, "banner line\n");
  wait_for_enter(app);
  return 70;
}
