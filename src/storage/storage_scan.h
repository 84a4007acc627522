#pragma once

#include <memory>
#include <vector>

#include "storage/device_api.h"
#include "storage/storage_model.h"
#include "storage/vds_api.h"
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
  explicit storage_scan(device_api& api = win32_device_api(), vds_api& vds = win32_vds_api());

  std::unique_ptr<storage_stack> model;
  // Owns one reference; set_logger takes over the caller's.
  void set_logger(logger* log);
  uint32_t timeout = 30;
  bool strict_checksums = true;

  bool keep_going() override;

 protected:
  ~storage_scan() override;
  void run() override;
  void run_phases(indenting_logger& log, const scan_options& options);

 private:
  device_api& api_;
  vds_api& vds_;
  logger* logger_;
};

// The phases; each returns false only when the callback asked to stop.
bool scan_drives(device_api& api, std::vector<drive_info>& drives, const scan_options& options, indenting_logger* log,
                 storage_scan_cb* cb);
bool scan_volumes(device_api& api, std::vector<volume_info>& volumes, indenting_logger* log, storage_scan_cb* cb);
// The SCSI adapters that answer CSMI or CISS; the options give the pass-through time-out and the
// SMART settings for the controllers' drives.
bool scan_controllers(device_api& api, std::vector<controller_info>& controllers, const scan_options& options,
                      indenting_logger* log, storage_scan_cb* cb);

// Joins drives, controllers and volumes into the stack; a null logger drops the trace.
void build_stack(storage_stack& model, logger* log);
// The "Storage stack:" summary.
void dump_stack(const storage_stack& model, logger* log);
