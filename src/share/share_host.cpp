#include "share/share_host.h"

#include <windows.h>

#include "support/os_version.h"
#include "support/text.h"

#ifndef FOLVI_SHARE_HOST
#error "FOLVI_SHARE_HOST is set by the build"
#endif

namespace {

constexpr int first_tls_os_index = 4;  // Vista

bool parse_port(const wchar_t* text, uint16_t& port) {
  if (!text || !*text) return false;
  unsigned long value = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    value = value * 10 + unsigned(*p - L'0');
    if (value > 65535) return false;
  }
  if (value == 0) return false;
  port = uint16_t(value);
  return true;
}

bool parse_flag(const wchar_t* text, bool& flag) {
  if (!text || !text[0] || text[1] || (text[0] != L'0' && text[0] != L'1')) return false;
  flag = text[0] == L'1';
  return true;
}

// The variable's text, or null when it is not set.
const wchar_t* environment_text(const wchar_t* name, std::wstring& text) {
  DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return nullptr;
  text.assign(n, L'\0');
  n = GetEnvironmentVariableW(name, &text[0], n);
  text.resize(n);
  return text.c_str();
}

}  // namespace

const char* built_in_share_host() { return FOLVI_SHARE_HOST; }

share_host resolve_share_host(const char* built_in_host, int os_index, const wchar_t* host_override,
                              const wchar_t* port_override, const wchar_t* tls_override) {
  share_host server;
  server.host = host_override && *host_override ? to_utf8(host_override) : built_in_host;
  server.tls = os_index >= first_tls_os_index;
  parse_flag(tls_override, server.tls);
  server.port = server.tls ? 443 : 80;
  parse_port(port_override, server.port);
  return server;
}

share_host current_share_host() {
  std::wstring host, port, tls;
  return resolve_share_host(built_in_share_host(), os_version_index(), environment_text(L"FOLVI_SHARE_HOST", host),
                            environment_text(L"FOLVI_SHARE_PORT", port), environment_text(L"FOLVI_SHARE_TLS", tls));
}
