#include "storage/ata_health.h"

#include "support/hex_dump.h"

namespace {
void dump_indented(indenting_logger* log, const ata_block& block) {
  log->indent(2);
  hex_dump(log, block.data(), block.size());
  log->unindent(2);
}

// A labelled dump: "Raw:", "Attributes:" and the like, then the bytes.
void dump_labelled(indenting_logger* log, const char* label, const ata_block& block) {
  log->log_indented(2, 2, "%s\n", label);
  dump_indented(log, block);
}

enum class read_verdict { good, usable, rejected };

// One SMART data block: the checksum may be forgiven when the caller allows it and the entries
// still look like an attribute set.
read_verdict read_smart_part(ata_channel& channel, const ata_task_file& command, const char* step,
                             const scan_options& options, api_error_cb* errors, indenting_logger* log, ata_block& block,
                             ata_block& unstored) {
  channel.log_step(log, step);
  ata_exchange x;
  x.task = command;
  if (!channel.send(x, step)) return read_verdict::rejected;
  block = x.data;
  if (!not_all_zeroes(block, errors)) return read_verdict::rejected;
  if (verify_checksum(block, false, errors)) return read_verdict::good;
  dump_indented(log, block);
  unstored = block;
  if (options.strict_checksums || !smart_plausible(block, log)) return read_verdict::rejected;
  log->log_indented(2, 2, "Still using it...\n");
  return read_verdict::usable;
}

// RETURN STATUS; false when the command itself failed. Registers that say neither good nor
// exceeded, or none at all, leave the health unknown.
bool read_health(ata_channel& channel, api_error_cb* errors, indenting_logger* log, uint32_t& health) {
  channel.log_step(log, "SMART_GET_PREDICTION");
  ata_exchange x;
  x.task = smart_return_status_command();
  if (!channel.send(x, "SMART_GET_PREDICTION")) return false;
  health = health_unknown;
  if (!x.returned.valid) {
    errors->report_api_error("CheckSmartHealth", no_error_code, "no ATA registers returned");
    return true;
  }
  health = smart_health(x.returned.lba_high, x.returned.lba_mid);
  if (health == health_unknown)
    errors->report_api_error("CheckSmartHealth", uint32_t(x.returned.lba_high) << 8 | x.returned.lba_mid);
  return true;
}
}  // namespace

bool take_identify(ata_channel& channel, api_error_cb* errors, indenting_logger* log, ata_block& stored, bool& have) {
  channel.log_step(log, "ATA_IDENTIFY");
  ata_exchange x;
  x.task = identify_device_command();
  // A device that never writes the checksum word leaves this behind, which no valid sum ends in.
  x.data[ata_block_size - 1] = 0xFF;
  if (!channel.send(x, "ATA_IDENTIFY")) return false;
  if (!not_all_zeroes(x.data, errors)) return false;
  if (!verify_checksum(x.data, true, errors) || !check_ata_strings(x.data, errors)) {
    dump_indented(log, x.data);
    return false;
  }
  if (!have) {
    dump_labelled(log, "Raw:", x.data);
    stored = x.data;
    have = true;
  } else if (x.data == stored) {
    log->log_indented(2, 2, "OK, the same\n");
  } else {
    dump_labelled(log, "Raw:", x.data);
  }
  return true;
}

namespace {
// The first delivery is stored and dumped; a later one is compared with what is stored.
void keep_smart(indenting_logger* log, const smart_block& got, bool log_health, smart_block& stored, bool& have) {
  if (!have) {
    dump_labelled(log, "Attributes:", got.attributes);
    dump_labelled(log, "Thresholds:", got.thresholds);
    if (log_health) log->log_indented(2, 2, "Health                     %u\n", unsigned(got.health));
    stored = got;
    have = true;
    return;
  }
  const bool same_attributes = same_attribute_layout(got.attributes, stored.attributes);
  const bool same_thresholds = got.thresholds == stored.thresholds;
  if (!same_attributes) dump_labelled(log, "Attributes are different (!)", got.attributes);
  if (!same_thresholds) dump_labelled(log, "Thresholds are different (!)", got.thresholds);
  if (same_attributes && same_thresholds) log->log_indented(2, 2, "OK, the same\n");
}
}  // namespace

bool take_smart(ata_channel& channel, const scan_options& options, api_error_cb* errors, indenting_logger* log,
                smart_block& stored, bool& have, smart_order order) {
  smart_block got;
  const bool health_first = order == smart_order::health_first;
  if (health_first) {
    if (!read_health(channel, errors, log, got.health)) return false;
    log->log_indented(2, 2, "Health                     %u\n", unsigned(got.health));
  }
  ata_block& unstored_attributes = have ? got.attributes : stored.attributes;
  ata_block& unstored_thresholds = have ? got.thresholds : stored.thresholds;
  if (read_smart_part(channel, smart_read_data_command(), "SMART_GET_ATTRIBUTES", options, errors, log, got.attributes,
                      unstored_attributes) == read_verdict::rejected ||
      read_smart_part(channel, smart_read_thresholds_command(), "SMART_GET_THRESHOLDS", options, errors, log,
                      got.thresholds, unstored_thresholds) == read_verdict::rejected ||
      (!health_first && !read_health(channel, errors, log, got.health)))
    return false;
  keep_smart(log, got, !health_first, stored, have);
  return true;
}
