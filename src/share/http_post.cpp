#include "share/http_post.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>

#include "share/internet_handles.h"
#include "share/multipart_body.h"
#include "support/api_error.h"
#include "support/fatal.h"
#include "support/text.h"

namespace {

constexpr DWORD status_handle_created = INTERNET_STATUS_HANDLE_CREATED;

// What the status callback needs: the caller's target and the handles it may close.
struct post_context {
  const http_target* target;
  internet_handles handles;
};

void CALLBACK forward_status(HINTERNET handle, DWORD_PTR context, DWORD status, void* info, DWORD info_length) {
  post_context* post = reinterpret_cast<post_context*>(context);
  if (!post || !post->target->status) return;
  if (!post->target->status->on_status(handle, status, info, info_length)) post->handles.close(handle);
}

bool fail(api_error_cb* errors, const char* step, uint32_t code) {
  if (errors) errors->report_api_error(step, code);
  return false;
}

// WinINet fills this option with code-page strings whichever character set is asked for.
struct certificate_info_a {
  FILETIME expiry;
  FILETIME start;
  char* subject;
  char* issuer;
  char* protocol;
  char* signature_algorithm;
  char* encryption_algorithm;
  DWORD key_size;
};
static_assert(sizeof(certificate_info_a) == sizeof(INTERNET_CERTIFICATE_INFO), "certificate info layout");

std::string code_page_to_utf8(const char* text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return std::string();
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
  wide.resize(size_t(n - 1));
  return to_utf8(wide);
}

// The subject of the server's certificate, empty when WinINet has none to give.
std::string certificate_subject(HINTERNET request) {
  certificate_info_a info{};
  DWORD size = sizeof info;
  if (!InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_CERTIFICATE_STRUCT, &info, &size)) return std::string();
  std::string subject = info.subject ? code_page_to_utf8(info.subject) : std::string();
  for (char* text : {info.subject, info.issuer, info.protocol, info.signature_algorithm, info.encryption_algorithm})
    if (text) LocalFree(text);
  return subject;
}

bool is_certificate_error(DWORD error) {
  return error == ERROR_INTERNET_INVALID_CA || error == ERROR_INTERNET_SEC_CERT_CN_INVALID ||
         error == ERROR_INTERNET_SEC_CERT_REV_FAILED;
}

bool ignore_certificate_errors(HINTERNET request, api_error_cb* errors) {
  DWORD flags = 0, size = sizeof flags;
  if (!InternetQueryOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &size))
    return fail(errors, "InternetQueryOption", GetLastError());
  flags |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
  if (!InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags))
    return fail(errors, "InternetSetOption", GetLastError());
  return true;
}

bool send_request(HINTERNET request, const wchar_t* headers, const heap_buffer* body, api_error_cb* errors) {
  const DWORD header_length = headers ? DWORD(wcslen(headers)) : 0;
  void* bytes = body && body->size() ? const_cast<uint8_t*>(body->data()) : nullptr;
  const DWORD size = bytes ? body->size() : 0;
  if (HttpSendRequestW(request, headers, header_length, bytes, size)) return true;
  const DWORD error = GetLastError();
  if (is_certificate_error(error)) {
    std::string subject = certificate_subject(request);
    if (!subject.empty()) return fail(errors, ("HttpSendRequest.[" + subject + "]").c_str(), error);
  }
  return fail(errors, "HttpSendRequest", error);
}

// With `any_status` every status is an answer and lands there; without, only 200 is.
bool check_status(HINTERNET request, uint32_t* any_status, api_error_cb* errors) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return fail(errors, "HttpQueryInfo,StatusCode", GetLastError());
  if (size != sizeof status) return fail(errors, "HttpQueryInfo,StatusCode,2", GetLastError());
  if (any_status) return *any_status = status, true;
  if (status != HTTP_STATUS_OK) return fail(errors, "CheckHttpStatusCode", status);
  return true;
}

bool reply_too_long(api_error_cb* errors, uint32_t length, uint32_t capacity) {
  if (errors)
    errors->report_api_error("HttpCheckReplySize", reply_size_check_code, "%lu %lu", (unsigned long)length,
                             (unsigned long)capacity);
  return false;
}

// Reads the whole reply into `reply`, whose capacity is the longest reply accepted.
bool read_reply(HINTERNET request, const http_target& target, heap_buffer& reply, api_error_cb* errors) {
  if (reply.capacity() == 0 || target.reply_chunk == 0) fatal("http_post.read_reply");
  reply.reset();
  const uint32_t capacity = reply.capacity();
  DWORD content_length = 0, size = sizeof content_length;
  if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &content_length, &size, nullptr)) {
    if (content_length > capacity) return reply_too_long(errors, content_length, capacity);
  } else if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND) {
    content_length = 0;
  } else {
    return fail(errors, "HttpQueryInfo,ContentLength,1", GetLastError());
  }
  const uint32_t expected = content_length ? content_length : capacity;
  uint32_t received = 0;
  while (received < expected) {
    DWORD got = 0;
    if (!InternetReadFile(request, reply.data() + received, std::min(expected - received, target.reply_chunk), &got))
      return fail(errors, "InternetReadFile", GetLastError());
    if (got == 0) break;
    received += got;
    reply.resize(received);
    if (target.status && !target.status->on_progress(received, content_length)) return false;
  }
  if (!content_length && received == capacity) {
    // A reply of unknown length that fills the buffer must also end there.
    uint8_t more = 0;
    DWORD got = 0;
    if (!InternetReadFile(request, &more, 1, &got)) return fail(errors, "InternetReadFile", GetLastError());
    if (got) return reply_too_long(errors, received + got, capacity);
  }
  if (content_length && content_length != received) {
    if (errors)
      errors->report_api_error("InternetReadFile", reply_size_check_code, "%lu %lu", (unsigned long)content_length,
                               (unsigned long)received);
    return false;
  }
  return true;
}

// What differs between a POST and a GET; the handles, TLS and the reading are the same.
struct request_kind {
  const wchar_t* verb;
  const wchar_t* headers;  // null: none
  DWORD extra_flags;
  uint32_t* any_status;  // see check_status
};

bool exchange(const http_target& target, const request_kind& kind, const std::string& path, const heap_buffer* body,
              heap_buffer* reply, api_error_cb* errors) {
  // The handles live inside the callback's context: closing them still notifies the callback.
  post_context post{&target, {}};
  internet_handles& h = post.handles;
  const DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&post);

  h.set_root(InternetOpenW(from_utf8(target.agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!h.root()) return fail(errors, "InternetOpen", GetLastError());
  if (target.status) {
    if (!target.status->on_status(h.root(), status_handle_created, nullptr, 0)) return false;
    if (InternetSetStatusCallbackW(h.root(), forward_status) == INTERNET_INVALID_STATUS_CALLBACK)
      return fail(errors, "InternetSetStatusCallback", GetLastError());
  }

  const INTERNET_PORT port =
      target.port ? target.port : (target.use_tls ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
  h.set_connection(InternetConnectW(h.root(), from_utf8(target.host).c_str(), port, nullptr, nullptr,
                                    INTERNET_SERVICE_HTTP, 0, context));
  if (!h.connection()) return fail(errors, "InternetConnect", GetLastError());

  const wchar_t* accept_types[] = {L"*/*", nullptr};
  // A redirect is a failed request like any other status but 200, so WinINet must not follow it.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT | kind.extra_flags;
  if (target.use_tls) flags |= INTERNET_FLAG_SECURE;
  h.set_request(HttpOpenRequestW(h.connection(), kind.verb, from_utf8(path).c_str(), nullptr, nullptr, accept_types,
                                 flags, context));
  if (!h.request()) return fail(errors, "HttpOpenRequest", GetLastError());

  if (target.use_tls && target.ignore_certificate_errors && !ignore_certificate_errors(h.request(), errors))
    return false;
  if (!send_request(h.request(), kind.headers, body, errors)) return false;
  if (!check_status(h.request(), kind.any_status, errors)) return false;
  if (!reply) return true;
  return read_reply(h.request(), target, *reply, errors);
}

}  // namespace

bool http_post(const http_target& target, const std::string& path, const heap_buffer* body, heap_buffer* reply,
               api_error_cb* errors) {
  return exchange(target, {L"POST", multipart_content_type_w, 0, nullptr}, path, body, reply, errors);
}

bool http_get(const http_target& target, const std::string& path, heap_buffer& reply, uint32_t& status,
              api_error_cb* errors) {
  status = 0;
  return exchange(target, {L"GET", nullptr, INTERNET_FLAG_NO_CACHE_WRITE, &status}, path, nullptr, &reply, errors);
}

bool post_multipart(const http_target& target, const form_part* parts, heap_buffer* reply, api_error_cb* errors) {
  heap_buffer body;
  if (!build_multipart_body(parts, body, errors)) return false;
  return http_post(target, target.path, body.size() ? &body : nullptr, reply, errors);
}
