#include "app/console.h"

bool attach_console(app_context& context, console_api& api) {
  if (context.console_attached) return true;
  // Without a console there is no stream to log to and nothing to wait on at exit.
  if (!api.allocate(context.errors)) return false;
  api.set_output_code_page(CP_UTF8);
  DWORD mode = 0;
  if (api.input_mode(mode) && !(mode & console_quick_edit))
    api.set_input_mode(mode | console_quick_edit | console_extended);
  if (!api.reopen_streams(context.errors)) return false;
  context.set_main_logger(new std_fh_logger(api.output()));
  context.console_attached = true;
  return true;
}

void wait_for_enter(app_context& context, console_api& api) {
  if (!context.console_attached) return;
  std::fputs("\nPress Enter to exit...\n", api.output());
  std::fflush(api.output());
  api.read_line();
}
