#pragma once

#include <string>

#include "storage/storage_model.h"

// The drive a "field=value; ..." list describes ("-": none). Fields: vendor product serial revision
// description instance interface bus usb (speed mask) trim seek ata_model, nvme_identify (an empty
// NVMe block), nvme_serial, nvme_model (texts of a whole one), source=ata|ctrl (where the IDENTIFY
// block came from), wordN=V (IDENTIFY word N, from ATA), raw_wordN=V (the word without a source).
drive_info described_drive(const std::string& fields);
