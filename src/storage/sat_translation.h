#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/ata_command.h"

// SCSI/ATA translation: an ATA command wrapped in a SCSI CDB, and the ATA registers unwrapped from
// the sense data. Bridges and SAS/SATA layers speak it, whatever carries the CDB.

// ATA PASS-THROUGH (12) for 28-bit commands, (16) for 48-bit ones, into `cdb` (16 bytes); returns
// the CDB length. `check_condition` asks for the registers back in the sense data.
size_t ata_pass_through_cdb(const ata_task_file& task, bool check_condition, uint8_t* cdb);

// The registers of an ATA Status Return descriptor (descriptor-format sense), or of fixed-format
// sense saying "ATA pass through information available". False when the sense holds neither.
bool ata_registers_from_sense(const uint8_t* sense, size_t length, ata_registers& out);
