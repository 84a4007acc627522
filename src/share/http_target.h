#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Sees a request's progress; answering false cancels it.
class http_status_cb {
 public:
  virtual ~http_status_cb() = default;
  // Every WinINet status notification of the request's handles (60 once for the root handle).
  virtual bool on_status(HANDLE handle, DWORD status, void* info, DWORD info_length) = 0;
  // After every chunk of the reply; content_length is 0 when the server gave none.
  virtual bool on_progress(uint32_t received, uint32_t content_length) = 0;
};

// Where and how one request goes; filled by the caller.
struct http_target {
  std::string host;
  uint16_t port = 0;  // 0: 443 with TLS, 80 without
  bool use_tls = false;
  bool ignore_certificate_errors = false;  // honoured only with TLS
  std::string agent;
  std::string path;
  uint32_t reply_chunk = 0;  // bytes per read; not 0 when a reply is wanted
  http_status_cb* status = nullptr;
};
