#pragma once

#include <cstdint>
#include <string>

#include "storage/device_query.h"
#include "storage/storage_model.h"

// The steps of the per-drive query, one request (or one group of diagnostics) each.

// IOCTL_STORAGE_QUERY_PROPERTY of one property, standard query.
bool query_storage_property(device_query& query, api_handle h, uint32_t property, const char* name, void* out,
                            DWORD out_size, DWORD& returned);

void query_device_descriptor(device_query& query, api_handle h, drive_info& drive);
void query_device_ids(device_query& query, api_handle h, drive_info& drive);
void query_adapter_descriptor(device_query& query, api_handle h, drive_info& drive);
void query_trim_and_seek_penalty(device_query& query, api_handle h, drive_info& drive);
void query_geometry(device_query& query, api_handle h, drive_info& drive);
void query_smart_version(device_query& query, api_handle h, drive_info& drive);
void query_layout(device_query& query, api_handle h, drive_info& drive);
void query_scsi_address(device_query& query, api_handle h, drive_info& drive);
// IOCTL_SCSI_GET_INQUIRY_DATA, logged only.
void query_inquiry_data(device_query& query, api_handle h);
// Logged only: inquiry data, hot-plug information, miniport.
void query_diagnostics(device_query& query, api_handle h);
