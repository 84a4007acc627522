#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "support/logger.h"

// One ATA command as every path to a drive carries it: the task file going in, the 512-byte data
// block, and the registers that came back when the path returns them. Nothing here knows how the
// command travels, so a controller's pass-through can carry the same commands and checks.

constexpr size_t ata_block_size = 512;
using ata_block = std::array<uint8_t, ata_block_size>;

enum class ata_direction : uint8_t { none, in, out };

struct ata_task_file {
  uint16_t features = 0;
  uint16_t sector_count = 0;
  uint64_t lba = 0;  // 48 bits
  uint8_t device = 0;
  uint8_t command = 0;
  bool is48 = false;
  ata_direction direction = ata_direction::none;
};

// The registers after the command, when the path hands them back.
struct ata_registers {
  bool valid = false;
  uint8_t error = 0;
  uint8_t sector_count = 0;
  uint8_t lba_low = 0, lba_mid = 0, lba_high = 0;
  uint8_t device = 0;
  uint8_t status = 0;
};

struct ata_exchange {
  ata_task_file task;
  ata_block data{};
  ata_registers returned;
};

constexpr uint8_t ata_identify_device = 0xEC;
constexpr uint8_t ata_smart = 0xB0;
constexpr uint8_t smart_read_data = 0xD0;
constexpr uint8_t smart_read_thresholds = 0xD1;
constexpr uint8_t smart_return_status = 0xDA;

ata_task_file identify_device_command();
ata_task_file smart_read_data_command();
ata_task_file smart_read_thresholds_command();
ata_task_file smart_return_status_command();

// SMART RETURN STATUS answers in LBA high and mid: C2/4F good (1), 2C/F4 threshold exceeded (3).
constexpr uint32_t health_unknown = 0, health_good = 1, health_threshold_exceeded = 3;
uint32_t smart_health(uint8_t lba_high, uint8_t lba_mid);

// A way to a drive. `send` carries one command and reports its own failures; `name` labels the
// path in the log ("SMART_RCV_DRIVE_DATA"), `step` the command ("ATA_IDENTIFY").
class ata_channel {
 public:
  virtual ~ata_channel() = default;
  virtual const char* name() const = 0;
  virtual bool send(ata_exchange& x, const char* step) = 0;
  // Names one command in the log, "<name> / <step>" unless the channel says it another way.
  virtual void log_step(indenting_logger* log, const char* step) const;
};
