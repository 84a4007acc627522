#pragma once

#include <memory>
#include <string>

#include "storage/device_api.h"
#include "storage/scan_replay.h"
#include "storage/vds_api.h"
#include "storage/storage_model.h"
#include "support/api_error.h"
#include "support/logger.h"

// What an ended scan leaves: the storage stack (null when the scan could not run) and its log.
struct scan_outcome {
  std::unique_ptr<storage_stack> stack;
  std::string log_text;
};

// The first line of the scan's log.
std::string scan_log_banner(const std::string& version);

// The storage scan as the main window runs it: on the job's own thread, its log captured with
// time stamps, a 10-second pass-through timeout and lenient checksums. Letting go of a scan
// that has not ended asks it to stop; its thread then ends by itself.
class background_scan {
 public:
  // A replay names the requests its recording lacks in the scan's log.
  explicit background_scan(device_api& api = win32_device_api(), vds_api& vds = win32_vds_api(),
                           scan_replay* replay = nullptr)
      : api_(api), vds_(vds), replay_(replay) {}
  ~background_scan();
  background_scan(const background_scan&) = delete;
  background_scan& operator=(const background_scan&) = delete;

  // `version` in its full four-part form. False, reported as "CreateThread", when the thread
  // could not be started; the scan has then ended with nothing.
  bool start(const std::string& version, api_error_cb* errors);
  bool ended() const;
  // The result of an ended scan; the job is released.
  scan_outcome take();

 private:
  void release();

  device_api& api_;
  vds_api& vds_;
  scan_replay* replay_;
  class storage_scan* job_ = nullptr;
  capturing_logger* captured_ = nullptr;
};
