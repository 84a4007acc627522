// Uploads reports for the test scripts, through the share client's upload path to the server the
// environment names: post_probe --upload report FILE...  prints "OK reply" or "FAILED step code
// detail" for each file.
#include <windows.h>

#include <cstdio>
#include <string>

#include "share/share_package.h"
#include "share/upload_xchg.h"
#include "support/api_error.h"

namespace {

bool read_file(const wchar_t* path, std::string& text) {
  FILE* f = _wfopen(path, L"rb");
  if (!f) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
  std::fclose(f);
  return true;
}

bool upload(const wchar_t* path) {
  api_error_logger errors;
  share_package package;
  if (!read_file(path, package.report_text)) {
    std::printf("FAILED cannot read the file\n");
    return false;
  }
  upload_xchg* xchg = new upload_xchg(current_upload_target(&errors), &errors);
  xchg->type = share_type(package);
  bool ok = build_package_zip(package, xchg->data, &errors) && xchg->start();
  xchg->wait();
  ok = ok && xchg->succeeded();
  const std::string reply = xchg->reply;
  xchg->release();
  const api_error_info e = errors.last_error();
  if (ok) std::printf("OK %s\n", reply.c_str());
  else std::printf("FAILED %s %lu %s\n", e.api.c_str(), (unsigned long)e.code, e.detail.c_str());
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || std::wstring(argv[1]) != L"--upload" || std::wstring(argv[2]) != L"report") {
    std::fprintf(stderr, "usage: post_probe --upload report FILE...\n");
    return 2;
  }
  int code = 0;
  for (int i = 3; i < argc; ++i) code |= upload(argv[i]) ? 0 : 1;
  return code;
}
