#pragma once

#include <windows.h>

#include <cstdio>

class api_error_cb;

// The console calls of attaching a diagnostic console, behind a seam so that tests can make each
// of them fail.
class console_api {
 public:
  virtual ~console_api() = default;
  // A new console for the process and its input handle; failures go to `errors`.
  virtual bool allocate(api_error_cb* errors) = 0;
  virtual void set_output_code_page(UINT code_page) = 0;
  virtual bool input_mode(DWORD& mode) = 0;
  virtual void set_input_mode(DWORD mode) = 0;
  // Standard input, output and error on the console, unbuffered; failures go to `errors`.
  virtual bool reopen_streams(api_error_cb* errors) = 0;
  // The stream the console logger writes to.
  virtual FILE* output() = 0;
  // Blocks until the user has typed a line; false when the console input cannot be read.
  virtual bool read_line() = 0;
};

console_api& win32_console_api();
