#include "storage/storage_scan.h"

#include <objbase.h>

#include "storage/vds.h"
#include "support/fatal.h"

storage_scan::storage_scan(device_api& api, vds_api& vds)
    : model(new storage_stack), api_(api), vds_(vds), logger_(&a_null_logger::instance) {}

storage_scan::~storage_scan() {
  if (logger_) logger_->release();
}

void storage_scan::set_logger(logger* log) {
  if (logger_) logger_->release();
  logger_ = log;
}

// The scan's own thread holds one reference while it runs; once the creator has let go, that one
// is all that is left and the scan is no longer wanted.
bool storage_scan::keep_going() { return ref_count() > 1; }

namespace {
void reset_header(device_api& api, storage_stack& model) {
  host_header h = api.read_host_header();
  model.scan_time = h.local_time;
  model.tz_bias = h.tz_bias;
  model.computer_name = h.computer_name;
  model.os_version = h.os_version;
}

void init_com() {
  if (CoInitializeEx(nullptr, COINIT_MULTITHREADED) != S_OK) return;
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY, RPC_C_IMP_LEVEL_IDENTIFY, nullptr,
                       EOAC_NONE, nullptr);
}
}  // namespace

void storage_scan::run_phases(indenting_logger& log, const scan_options& options) {
  log.log(2, "---\n");
  if (!scan_drives(api_, model->drives, options, &log, this)) return;
  log.log(2, "---\n");
  if (!scan_controllers(api_, model->controllers, options, &log, this)) return;
  log.log(2, "---\n");
  if (!scan_volumes(api_, model->volumes, &log, this)) return;
  log.log(2, "---\n");
  std::vector<vds_item> vds_items;
  if (query_vds(vds_, vds_items, &log)) {
    log.log(2, "---\n");
    match_vds(model->volumes, vds_items, &log);
  }
  build_stack(*model, &log);
  log.log(2, "---\n");
  dump_stack(*model, &log);
}

void storage_scan::run() {
  if (!model || !logger_) fatal("storage_scan::run");
  indenting_logger* log = new indenting_logger(logger_);
  init_com();
  reset_header(api_, *model);
  scan_options options;
  options.timeout = timeout;
  options.query_smart = true;
  options.strict_checksums = strict_checksums;
  run_phases(*log, options);
  log->release();
}
