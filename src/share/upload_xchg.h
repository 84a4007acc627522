#pragma once

#include <windows.h>

#include <string>

#include "share/http_target.h"
#include "share/share_host.h"
#include "support/ref_counted.h"
#include "support/thread_owner.h"

class api_error_cb;
struct file_version;

// The request of an upload: path "upload", reply read in 8,192-byte chunks, no status callback,
// certificate errors not ignored, agent "FOLVI Benchmark, v. " and the program version.
http_target upload_target(const share_host& server, const file_version& version);
// The same for this process: its server (build setting, environment) and its own version.
http_target current_upload_target(api_error_cb* errors);

constexpr uint32_t upload_reply_capacity = 1024;
constexpr uint32_t upload_reply_chunk = 8192;

// One upload: posts `type` and the package `data` on a worker thread of its own and keeps the
// server's reply. The creator holds the first reference, the running worker another, so the
// exchange lives until both are done with it. The worker writes `reply` before it ends; read it
// only once is_done() is true.
class upload_xchg : public ref_counted {
 public:
  // `errors` receives the post's failures from the worker thread and must outlive it.
  upload_xchg(const http_target& target, api_error_cb* errors);

  std::string type;
  std::string data;
  std::string reply;

  using thread_starter = thread_owner::starter;
  // Takes the worker's reference and starts the worker. When the thread cannot start, the
  // reference is dropped again and the upload has failed at once: false.
  bool start(thread_starter create = create_thread);
  bool started() const { return thread_.exists(); }
  // A zero-time look at the worker; true when it has ended (or never started).
  bool is_done() const { return thread_.ended(); }
  // The worker ended and posted successfully.
  bool succeeded() const;
  // Blocks until the worker has ended.
  void wait() const { thread_.wait(); }

  static constexpr thread_starter create_thread = thread_owner::create_thread;

 protected:
  ~upload_xchg() override = default;

 private:
  static DWORD WINAPI worker_main(void* self);
  bool execute();

  http_target target_;
  api_error_cb* errors_;
  // The worker's release may end the exchange on the worker: the handle is let go, not joined.
  thread_owner thread_{thread_owner::at_end::detach};
};
