#include "machine_scan.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "storage/storage_scan.h"

scanned scan_machine(fake_machine& machine) {
  capturing_logger* log = new capturing_logger;
  log->set_keep_prefix(true);
  log->add_ref();
  storage_scan* scan = new storage_scan(machine, machine.vds);
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
