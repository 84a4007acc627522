#pragma once

#include "storage/device_query.h"
#include "storage/storage_model.h"

// The health steps of the drive query: failure prediction, IDENTIFY and SMART over every ATA
// path, and the NVMe identify and health blocks.

// IOCTL_STORAGE_PREDICT_FAILURE: the prediction state and, when its vendor bytes look like an
// attribute set, HealthRaw.
void predict_failure(device_query& query, api_handle h, drive_info& drive, const scan_options& options);
// IDENTIFY DEVICE over each path; every path is tried.
void ata_identify(device_query& query, api_handle h, drive_info& drive, const scan_options& options);
// SMART attributes, thresholds and status over each path.
void smart_read(device_query& query, api_handle h, drive_info& drive, const scan_options& options);
// The NVMe identify-controller block and SMART/health log: the miniport pass-through of the SCSI
// port first, then the storage protocol query of the drive for what it did not deliver.
void nvme_fetch(device_query& query, api_handle h, drive_info& drive, const scan_options& options);
// The NVMe step of the drive query: for drives that look like NVMe, the fetch and the dump of
// what it brought.
void query_nvme(device_query& query, api_handle h, drive_info& drive, const scan_options& options);
