#pragma once

#include "storage/ata_blocks.h"
#include "storage/ata_command.h"
#include "storage/storage_model.h"
#include "support/api_error.h"
#include "support/logger.h"

// IDENTIFY and SMART over one channel, with every check, and the comparison with what an earlier
// channel delivered. The drive query runs them over each pass-through path; a controller can run
// them over its own pass-through to a phy.

// IDENTIFY DEVICE: true when the block passed its checks. The first good block is stored
// (`have` set); a later one is compared with it and logged, never stored over it.
bool take_identify(ata_channel& channel, api_error_cb* errors, indenting_logger* log, ata_block& stored, bool& have);

// SMART READ DATA, READ THRESHOLDS and RETURN STATUS: true when the channel delivered the three.
// The first delivery is stored; later ones are compared. A drive's paths ask for the health last;
// a controller's phys are asked for it first, its "Health" line right after the request.
enum class smart_order { health_last, health_first };
bool take_smart(ata_channel& channel, const scan_options& options, api_error_cb* errors, indenting_logger* log,
                smart_block& stored, bool& have, smart_order order = smart_order::health_last);
