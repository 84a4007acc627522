#pragma once

#include <cstdint>
#include <string>

// Where shares go. The host is a build setting (CMake cache variable FOLVI_SHARE_HOST); the
// environment variables FOLVI_SHARE_HOST, FOLVI_SHARE_PORT (1-65535) and FOLVI_SHARE_TLS (0 or 1)
// override host, port and TLS for one process, e.g. to point it at a test server on this
// machine. Without overrides: TLS on port 443 from Windows Vista on (version index 4 or more),
// plain HTTP on port 80 before.
struct share_host {
  std::string host;
  uint16_t port = 0;
  bool tls = false;
};

// The build setting.
const char* built_in_share_host();

// The server from the built-in host, the version index and the override texts (null: not set).
// A port or TLS text that does not parse is ignored.
share_host resolve_share_host(const char* built_in_host, int os_index, const wchar_t* host_override,
                              const wchar_t* port_override, const wchar_t* tls_override);

// The server for this process: build setting, version index and environment.
share_host current_share_host();
