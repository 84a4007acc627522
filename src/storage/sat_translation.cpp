#include "storage/sat_translation.h"

#include <cstring>

namespace {
constexpr uint8_t opcode_12 = 0xA1, opcode_16 = 0x85;
constexpr uint8_t protocol_non_data = 3, protocol_pio_in = 4, protocol_pio_out = 5;
// T_DIR, BYT_BLOK and T_LENGTH as the direction needs them; CK_COND adds 0x20.
constexpr uint8_t flags_non_data = 0x0C, flags_in = 0x0E, flags_out = 0x06, flag_check_condition = 0x20;

constexpr uint8_t ata_return_descriptor = 0x09;
constexpr uint8_t sense_recovered_error = 0x01;
constexpr uint8_t asc_none = 0x00, ascq_ata_information = 0x1D;

uint8_t protocol_of(ata_direction d) {
  return d == ata_direction::in ? protocol_pio_in : d == ata_direction::out ? protocol_pio_out : protocol_non_data;
}
uint8_t flags_of(ata_direction d) {
  return d == ata_direction::in ? flags_in : d == ata_direction::out ? flags_out : flags_non_data;
}

bool from_descriptors(const uint8_t* sense, size_t length, ata_registers& out) {
  if (length < 8) return false;
  size_t end = 8 + size_t(sense[7]);
  if (end > length) end = length;
  for (size_t at = 8; at + 2 <= end;) {
    const uint8_t* d = sense + at;
    const size_t size = 2 + size_t(d[1]);
    if (d[0] == ata_return_descriptor && size >= 14 && at + 14 <= end) {
      out.valid = true;
      out.error = d[3];
      out.sector_count = d[5];
      out.lba_low = d[7];
      out.lba_mid = d[9];
      out.lba_high = d[11];
      out.device = d[12];
      out.status = d[13];
      return true;
    }
    at += size;
  }
  return false;
}

bool from_fixed(const uint8_t* sense, size_t length, ata_registers& out) {
  if (length < 14) return false;
  const uint8_t key = sense[2] & 0x0F;
  if ((key != 0 && key != sense_recovered_error) || sense[12] != asc_none || sense[13] != ascq_ata_information)
    return false;
  out.valid = true;
  out.error = sense[3];
  out.status = sense[4];
  out.device = sense[5];
  out.sector_count = sense[6];
  out.lba_low = sense[9];
  out.lba_mid = sense[10];
  out.lba_high = sense[11];
  return true;
}
}  // namespace

size_t ata_pass_through_cdb(const ata_task_file& t, bool check_condition, uint8_t* cdb) {
  std::memset(cdb, 0, 16);
  const uint8_t flags = uint8_t(flags_of(t.direction) | (check_condition ? flag_check_condition : 0));
  const uint8_t protocol = uint8_t(protocol_of(t.direction) << 1);
  if (!t.is48) {
    const uint8_t cdb12[12] = {opcode_12,
                               protocol,
                               flags,
                               uint8_t(t.features),
                               uint8_t(t.sector_count),
                               uint8_t(t.lba),
                               uint8_t(t.lba >> 8),
                               uint8_t(t.lba >> 16),
                               t.device,
                               t.command,
                               0,
                               0};
    std::memcpy(cdb, cdb12, sizeof cdb12);
    return sizeof cdb12;
  }
  const uint8_t cdb16[16] = {opcode_16,
                             uint8_t(protocol | 1),  // EXTEND
                             flags,
                             uint8_t(t.features >> 8),
                             uint8_t(t.features),
                             uint8_t(t.sector_count >> 8),
                             uint8_t(t.sector_count),
                             uint8_t(t.lba >> 24),
                             uint8_t(t.lba),
                             uint8_t(t.lba >> 32),
                             uint8_t(t.lba >> 8),
                             uint8_t(t.lba >> 40),
                             uint8_t(t.lba >> 16),
                             t.device,
                             t.command,
                             0};
  std::memcpy(cdb, cdb16, sizeof cdb16);
  return sizeof cdb16;
}

bool ata_registers_from_sense(const uint8_t* sense, size_t length, ata_registers& out) {
  if (length < 1) return false;
  const uint8_t response = sense[0] & 0x7F;
  if (response == 0x72 || response == 0x73) return from_descriptors(sense, length, out);
  if (response == 0x70 || response == 0x71) return from_fixed(sense, length, out);
  return false;
}
