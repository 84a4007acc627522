#include "app/app_message_box.h"

#include "app/app_context.h"
#include "toolkit/xfc_message_box.h"

int app_message_box(const app_context& app, const std::wstring& text, uint32_t flags, const wchar_t* caption) {
  message_box_request request;
  request.owner = app.window_handle && IsWindow(app.window_handle) ? app.window_handle : nullptr;
  request.caption = caption ? caption : L"FOLVI Vezad";
  request.text = text;
  request.flags = flags;
  return run_message_box(request);
}
