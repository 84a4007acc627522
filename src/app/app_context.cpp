#include "app/app_context.h"

#include <windows.h>

#include <cstdlib>

#include "support/fatal.h"

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

app_context& create_app_context() {
  if (the_app) fatal("create_app_context");
  the_app = new app_context;
  return *the_app;
}
