#include "ui/background_scan.h"

#include "storage/storage_scan.h"
#include "support/fatal.h"
#include "support/format_string.h"

namespace {
constexpr uint32_t scan_timeout_seconds = 10;
}  // namespace

std::string scan_log_banner(const std::string& version) {
  return format_string("\nFOLVI Vezad, version %s\n\n", version.c_str());
}

background_scan::~background_scan() { release(); }

void background_scan::release() {
  // A replay is quick, and its recording must outlive the job: it is waited for.
  if (job_ && replay_) job_->wait();
  if (replay_) replay_->set_logger(nullptr);
  if (job_) job_->release();
  job_ = nullptr;
  if (captured_) captured_->release();
  captured_ = nullptr;
}

bool background_scan::start(const std::string& version, api_error_cb* errors) {
  if (job_ || captured_) fatal("background_scan::start");
  captured_ = new capturing_logger;
  captured_->set_keep_prefix(true);
  captured_->log(4, "%s", scan_log_banner(version).c_str());
  job_ = new storage_scan(api_, vds_);
  logger* log = new time_logger(captured_);
  if (replay_) replay_->set_logger(log);
  job_->set_logger(log);
  job_->timeout = scan_timeout_seconds;
  job_->strict_checksums = false;
  if (job_->start()) return true;
  if (errors) errors->report_api_error("CreateThread", uint32_t(GetLastError()));
  job_->release();
  job_ = nullptr;
  return false;
}

bool background_scan::ended() const { return !job_ || job_->is_done(); }

scan_outcome background_scan::take() {
  scan_outcome outcome;
  if (job_) {
    job_->wait();
    outcome.stack = std::move(job_->model);
  }
  if (captured_)
    for (const std::string& line : captured_->lines()) outcome.log_text += line;
  release();
  return outcome;
}
