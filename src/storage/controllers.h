#pragma once

#include <string>
#include <vector>

#include "storage/device_api.h"
#include "storage/device_query.h"
#include "storage/storage_model.h"
#include "support/logger.h"

// RAID controllers behind the SCSI adapters: which answer CSMI or CISS, their drives ("phys") and
// their RAID volumes.

// GUID_DEVINTERFACE_STORAGEPORT
extern const GUID storage_port_interface_class;

// Every SCSI adapter: interface path, instance ID and description; no request is sent yet.
bool enumerate_adapters(device_api& api, std::vector<controller_info>& adapters, indenting_logger* log);
// Asks the adapter for CSMI and CISS; true when one answered (the record then holds its findings).
bool query_controller(device_api& api, controller_info& controller, const scan_options& options, indenting_logger* log);

// The two interfaces, each into a copy of the adapter's record; true when it answered.
bool query_csmi(device_query& query, api_handle h, const scan_options& options, controller_info& controller);
bool query_ciss(device_query& query, api_handle h, const scan_options& options, controller_info& controller);

// "--- Controller summary ---": the phys and RAID volumes.
void dump_controller_summary(const controller_info& controller, indenting_logger* log);

// Phy numbers as the logs list them: each followed by a blank.
std::string number_list(const std::vector<uint32_t>& numbers);

// A fixed-width text field of a reply: up to the first NUL, other than printable ASCII shown as
// "?", trimmed of blanks unless asked not to.
std::string reply_text(const char* field, size_t size, bool trim = true);
