#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/elevation.h"
#include "support/api_error.h"
#include "support/host_info.h"
#include "support/logger.h"

// What every part of the program may need at any time. Written only during start-up, before any
// worker thread exists; afterwards only the error logger's target changes, under its own lock.
class app_context {
 public:
  app_context();
  ~app_context();
  app_context(const app_context&) = delete;
  app_context& operator=(const app_context&) = delete;

  // The program's own file version; failures go to `errors`.
  bool read_version();
  // Makes `target` the main logger and aims the error logger at it (takes over one reference).
  void set_main_logger(logger* target);

  logger* main_logger = &a_null_logger::instance;
  api_error_cb* errors;
  api_error_logger error_logger;
  bool console_requested = false;
  bool console_attached = false;
  file_version version;
  int elevation = elevation_unknown;
  bool elevating = false;
  HWND window_handle = nullptr;  // the main window's own window while it exists
};

// The one instance of the process: created once at start and never destroyed.
extern app_context* the_app;
app_context& create_app_context();
