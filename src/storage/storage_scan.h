#pragma once

#include <memory>
#include <vector>

#include "storage/device_api.h"
#include "storage/storage_model.h"
#include "support/async_call.h"
#include "support/logger.h"

class storage_scan_cb {
 public:
  virtual ~storage_scan_cb() = default;
  // True while the scan may go on.
  virtual bool keep_going() = 0;
};

// The background scan of the machine's storage. The creator sets the logger and options, starts
// it, polls is_done, takes the model and releases the job.
class storage_scan final : public async_call, public storage_scan_cb {
 public:
  explicit storage_scan(device_api& api = win32_device_api());

  std::unique_ptr<storage_stack> model;
  // Owns one reference; set_logger takes over the caller's.
  void set_logger(logger* log);
  uint32_t timeout = 30;
  bool strict_checksums = true;

  bool keep_going() override;

 protected:
  ~storage_scan() override;
  void run() override;

 private:
  device_api& api_;
  logger* logger_;
};

// The phases; each returns false only when the callback asked to stop.
bool scan_drives(device_api& api, std::vector<drive_info>& drives, const scan_options& options,
                 indenting_logger* log, storage_scan_cb* cb);
bool scan_volumes(device_api& api, std::vector<volume_info>& volumes, indenting_logger* log, storage_scan_cb* cb);

// Joins drives, controllers and volumes into the stack; a null logger drops the trace.
void build_stack(storage_stack& model, logger* log);
// The "Storage stack:" summary.
void dump_stack(const storage_stack& model, logger* log);
