#include "machine_scan.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "recorded_machine.h"
#include "storage/scan_replay.h"
#include "storage/storage_scan.h"

scanned scan_machine(device_api& api, vds_api& vds) {
  capturing_logger* log = new capturing_logger;
  log->set_keep_prefix(true);
  log->add_ref();
  storage_scan* scan = new storage_scan(api, vds);
  scan->set_logger(log);
  scan->timeout = 10;
  scan->strict_checksums = false;
  scanned result;
  EXPECT_TRUE(scan->start());
  scan->wait();
  result.model = std::move(scan->model);
  scan->release();
  result.log = joined_lines(log);
  log->release();
  return result;
}

scanned scan_recorded(const std::string& name) { return scan_recorded(recorded_machine(name), name); }

scanned scan_recorded(scan_recording recording, const std::string& name) {
  scan_replay replay(std::move(recording));
  scanned result = scan_machine(replay, replay);
  EXPECT_TRUE(replay.missing().empty()) << name;
  EXPECT_EQ(replay.open_handles(), 0u) << name;
  EXPECT_EQ(replay.vds_objects, 0) << name;
  return result;
}

std::string stack_dump(const scanned& s) {
  const size_t at = s.log.find("2 Storage stack:\n");
  return at == std::string::npos ? std::string() : s.log.substr(at);
}

std::string facts_of(const scanned& s, size_t volume_index) {
  std::string text;
  for (const report_entry& e : show_local_location(*s.model, volume_index, L"Windows 10").storage_facts)
    text += e.key + "=" + e.value + "\n";
  return text;
}
