// One post for the test scripts, printed as "OK reply" or "FAILED step code detail":
//   post_probe HOST PORT TLS PATH     posts the field type=report to PATH
//   post_probe --upload KIND          uploads a small package of KIND (report or screenshot)
//                                     to the server the environment names
#include <windows.h>

#include <cstdio>
#include <string>

#include "share/http_post.h"
#include "share/share_package.h"
#include "share/upload_xchg.h"
#include "support/api_error.h"
#include "support/text.h"

namespace {

int print_result(bool ok, const std::string& reply, api_error_logger& errors) {
  if (ok) {
    std::printf("OK %s\n", reply.c_str());
    return 0;
  }
  api_error_info e = errors.last_error();
  std::printf("FAILED %s %lu %s\n", e.api.c_str(), (unsigned long)e.code, e.detail.c_str());
  return 1;
}

int post(const wchar_t* host, const wchar_t* port, const wchar_t* tls, const wchar_t* path) {
  api_error_logger errors;
  http_target target;
  target.host = to_utf8(host);
  target.port = uint16_t(_wtoi(port));
  target.use_tls = tls[0] == L'1';
  target.agent = "FOLVI post probe";
  target.path = to_utf8(path);
  target.reply_chunk = 8192;
  const form_part parts[] = {text_field("type", "report"), form_part()};
  heap_buffer reply;
  reply.reserve(1024);
  const bool ok = post_multipart(target, parts, &reply, &errors);
  return print_result(ok, std::string(reinterpret_cast<const char*>(reply.data()), reply.size()), errors);
}

int upload(const wchar_t* kind) {
  api_error_logger errors;
  share_package package;
  package.screenshot = std::wstring(kind) == L"screenshot";
  if (package.screenshot) package.screenshot_image = "BM fake bitmap";
  package.report_text = "probe report\r\n";
  upload_xchg* xchg = new upload_xchg(current_upload_target(&errors), &errors);
  xchg->type = share_type(package);
  bool ok = build_package_zip(package, xchg->data, &errors) && xchg->start();
  xchg->wait();
  ok = ok && xchg->succeeded();
  const std::string reply = xchg->reply;
  xchg->release();
  return print_result(ok, reply, errors);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5) return post(argv[1], argv[2], argv[3], argv[4]);
  if (argc == 3 && std::wstring(argv[1]) == L"--upload") return upload(argv[2]);
  std::fprintf(stderr, "usage: post_probe HOST PORT TLS PATH | post_probe --upload report|screenshot\n");
  return 2;
}
