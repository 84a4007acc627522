#include <cstring>

#include "storage/drive_kinds.h"
#include "storage/smart_table.h"
#include "support/format_string.h"
#include "storage/little_endian.h"

namespace {

// The 128-bit counters of the health log, in the order the dump lists them, with their offsets.
const struct {
  const char* format;
  size_t offset;
} nvme_counters[] = {
    {" * Lifetime_data_read      %s x 512 bytes\n", 32},
    {" * Lifetime_data_written   %s x 512 bytes\n", 48},
    {" * Total_read_commmands    %s\n", 64},
    {" * Total_write_commands    %s\n", 80},
    {" * Controller_busy_time    %s (min)\n", 96},
    {" * Power_cycle_count       %s\n", 112},
    {" * Power_on_hours          %s\n", 128},
    {" * Unsafe_shutdowns        %s\n", 144},
    {" * Media_errors            %s\n", 160},
    {" * Total_error_log_count   %s\n", 176},
};
}  // namespace

std::string nvme_counter_text(const uint8_t* counter) {
  const uint64_t low = le64(counter), high = le64(counter + 8);
  if (high == 0) return format_string("%I64u", (unsigned long long)low);
  return format_string("%016I64x%016I64x (raw)", (unsigned long long)high, (unsigned long long)low);
}

void dump_smart_table(const std::vector<smart_row>& rows, logger* log) {
  log->log(2, "SMART table\n");
  for (size_t i = 0; i < rows.size(); ++i) {
    const smart_row& r = rows[i];
    const std::string threshold = r.threshold < 0 ? "---" : format_string("%3u", unsigned(r.threshold));
    log->log(2, "%2zu.  %3u  %3u  %s  %012I64x  %04hx  |  %-15s  |  %s\n", i + 1, unsigned(r.attribute.id),
             unsigned(r.attribute.value), threshold.c_str(), (unsigned long long)r.attribute.raw,
             (unsigned short)r.attribute.flags, r.group ? r.group->name : "-", r.name.c_str());
  }
}

void dump_nvme_health(const uint8_t* p, logger* log) {
  log->log(2, "SMART table (NVMe):\n");
  log->log(2, " * Critical_warning        0x%02x\n", unsigned(p[0]));
  log->log(2, " * Temperature             %u K\n", unsigned(p[1] | p[2] << 8));
  log->log(2, " * Spare_available         %u %%\n", unsigned(p[3]));
  log->log(2, " * Spare_threshold         %u %%\n", unsigned(p[4]));
  log->log(2, " * Lifetime_used           %u\n", unsigned(p[5]));
  // The data units are shown as the drive counts them, whatever their label says.
  for (const auto& c : nvme_counters) log->log(2, c.format, nvme_counter_text(p + c.offset).c_str());
  log->log(2, " * Warn_temperature_time   %u (min)\n", unsigned(le32(p + 192)));
  log->log(2, " * Crit_temperature_time   %u (min)\n", unsigned(le32(p + 196)));
}

void dump_drive_health(const drive_info& d, const std::string& vendor, const std::string& model, logger* log) {
  if (d.smart_source != 0) {
    const bool ssd = d.identify_source != 0 && identify_says_solid_state(d.identify);
    dump_smart_table(smart_rows(d.smart, ssd, vendor, model), log);
  } else if (d.has_nvme_log) {
    dump_nvme_health(d.nvme_log.data(), log);
  }
}
