#include "app/app_share_ui.h"

#include "app/app_context.h"
#include "app/app_message_box.h"
#include "app/shell_launch.h"
#include "share/share_host.h"
#include "share/upload_xchg.h"

app_share_ui::app_share_ui(app_context& app) : app_(app), files_(make_win32_report_files(app.errors)) {}

int app_share_ui::message_box(const std::wstring& text, uint32_t flags) { return app_message_box(app_, text, flags); }

void app_share_ui::open_link(const std::wstring& link) {
  shell_launch(link, std::wstring(), false, nullptr);  // a link that does not open is not reported
}

http_target app_share_ui::upload_target() { return ::upload_target(current_share_host(), app_.version); }

api_error_cb* app_share_ui::upload_errors() { return app_.errors; }
