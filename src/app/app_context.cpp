#include "app/app_context.h"

#include <windows.h>

#include <cstdlib>

#include "support/fatal.h"
#include "toolkit/xfc_message_box.h"

app_context* the_app = nullptr;

app_context::app_context() : errors(&error_logger) { std::srand(GetTickCount()); }

app_context::~app_context() { main_logger->release(); }

bool app_context::read_version() { return program_version(version, errors); }

void app_context::set_main_logger(logger* target) {
  logger* old = main_logger;
  main_logger = target;
  error_logger.set_target(target);
  old->release();
}

int app_context::message_box(const std::wstring& text, uint32_t flags, const wchar_t* caption) {
  message_box_request request;
  request.owner = window_handle && IsWindow(window_handle) ? window_handle : nullptr;
  request.caption = caption ? caption : L"FOLVI Vezad";
  request.text = text;
  request.flags = flags;
  return run_message_box(request);
}

app_context& create_app_context() {
  if (the_app) fatal("create_app_context");
  the_app = new app_context;
  return *the_app;
}
