#include "share/upload_xchg.h"

#include "share/form_part.h"
#include "share/heap_buffer.h"
#include "share/http_post.h"
#include "support/api_error.h"
#include "support/host_info.h"

namespace {

constexpr DWORD exit_success = 1;
constexpr DWORD exit_failure = 0;

}  // namespace

http_target upload_target(const share_host& server, const file_version& version) {
  http_target target;
  target.host = server.host;
  target.port = server.port;
  target.use_tls = server.tls;
  target.agent = "FOLVI Benchmark, v. " + version.full();
  target.path = "upload";
  target.reply_chunk = upload_reply_chunk;
  return target;
}

http_target current_upload_target(api_error_cb* errors) {
  file_version version;
  program_version(version, errors);
  return upload_target(current_share_host(), version);
}

upload_xchg::upload_xchg(const http_target& target, api_error_cb* errors) : target_(target), errors_(errors) {}

bool upload_xchg::start(thread_starter create) {
  add_ref();
  if (!thread_.start(worker_main, this, "upload_xchg::start", errors_, create)) {
    release();
    return false;
  }
  return true;
}

bool upload_xchg::succeeded() const {
  DWORD code = exit_failure;
  return thread_.exit_code(code) && code == exit_success;
}

DWORD WINAPI upload_xchg::worker_main(void* self) {
  upload_xchg* xchg = static_cast<upload_xchg*>(self);
  const bool ok = xchg->execute();
  xchg->release();
  return ok ? exit_success : exit_failure;
}

bool upload_xchg::execute() {
  if (data.size() >= UINT32_MAX) {
    if (errors_) errors_->report_api_error("CheckZipSize", no_error_code, "%s", "package");
    return false;
  }
  const form_part parts[] = {text_field("type", type.c_str()),
                             memory_file_field("data", L"package.zip", data.data(), uint32_t(data.size())),
                             form_part()};
  heap_buffer answer;
  if (!answer.reserve(upload_reply_capacity)) {
    if (errors_) errors_->report_api_error("HeapAlloc", 11111, "%lu %lu", 0ul, (unsigned long)upload_reply_capacity);
    return false;
  }
  if (!post_multipart(target_, parts, &answer, errors_)) return false;
  reply.assign(reinterpret_cast<const char*>(answer.data()), answer.size());
  return true;
}
