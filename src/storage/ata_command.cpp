#include "storage/ata_command.h"

namespace {
// SMART commands name themselves to the drive through LBA mid and high.
constexpr uint64_t smart_signature_lba = 0xC24F00;
constexpr uint8_t lba_device = 0xE0;  // LBA mode, device 0, obsolete bits set
constexpr uint8_t chs_device = 0xA0;

ata_task_file smart_command(uint8_t feature, ata_direction direction) {
  ata_task_file t;
  t.features = feature;
  t.command = ata_smart;
  t.device = lba_device;
  t.direction = direction;
  t.lba = smart_signature_lba;
  if (direction != ata_direction::none) {
    t.sector_count = 1;  // one block; SAT also takes the transfer length from it
    t.lba |= 1;
  }
  return t;
}
}  // namespace

ata_task_file identify_device_command() {
  ata_task_file t;
  t.command = ata_identify_device;
  t.device = chs_device;
  t.sector_count = 1;
  t.direction = ata_direction::in;
  return t;
}

ata_task_file smart_read_data_command() { return smart_command(smart_read_data, ata_direction::in); }
ata_task_file smart_read_thresholds_command() { return smart_command(smart_read_thresholds, ata_direction::in); }
ata_task_file smart_return_status_command() { return smart_command(smart_return_status, ata_direction::none); }

uint32_t smart_health(uint8_t lba_high, uint8_t lba_mid) {
  if (lba_high == 0xC2 && lba_mid == 0x4F) return health_good;
  if (lba_high == 0x2C && lba_mid == 0xF4) return health_threshold_exceeded;
  return health_unknown;
}

void ata_channel::log_step(indenting_logger* log, const char* step) const { log->log(2, "%s / %s\n", name(), step); }
