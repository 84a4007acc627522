#pragma once

#include <memory>
#include <string>

#include "storage/device_api.h"
#include "storage/vds_api.h"
#include "storage/scan_recording.h"
#include "storage/scan_replay.h"
#include "storage/storage_model.h"
#include "storage/location_summary.h"

// A machine scanned the way the window scans: on the scan's own thread; a SMART block with a bad
// checksum is kept unless `strict`.
struct scanned {
  std::unique_ptr<storage_stack> model;
  std::string log;  // every line with its level character
};
// A replay, when given, logs the questions its recording lacks into the same log.
scanned scan_machine(device_api& api, vds_api& vds, bool strict = false, scan_replay* replay = nullptr);
// The log of one whole scan over these seams, forgiving bad checksums.
inline std::string scan_log(device_api& api, vds_api& vds, scan_replay* replay = nullptr) {
  return scan_machine(api, vds, false, replay).log;
}
// A machine of tests/data/machines replayed; it must close all it opens and ask nothing more.
scanned scan_recorded(const std::string& name);
scanned scan_recorded(scan_recording recording, const std::string& name);

// From the "Storage stack:" line to the end.
std::string stack_dump(const scanned& s);
// What the model holds beyond the scan's log: the letters offered, each drive's partitions with
// the gaps between them, each volume's extents and links, and what the window says about a
// location on it.
std::string model_facts(const scanned& s);
