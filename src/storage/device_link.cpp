#include "storage/device_link.h"

#include "storage/drive_kinds.h"
#include "storage/identify_words.h"
#include "support/text.h"

namespace {
constexpr uint32_t bus_type_usb = 7;
constexpr uint32_t bus_type_sata = 11;
// IDENTIFY: SATA capabilities (bits 1 to 3: generations 1 to 3 supported) and additional SATA
// capabilities (bits 1 to 3: the negotiated generation as a number).
constexpr size_t sata_capabilities_word = 76;
constexpr size_t sata_more_capabilities_word = 77;

// Signalling rates less the line code: 8b/10b up to 5 Gb/s, 128b/132b above. The USB rows are
// keyed by the speed mask and named by its label.
struct link_row {
  uint32_t key;
  const char* name;
  double bytes_per_second;
};
const link_row usb_links[] = {
    {1, nullptr, 12e6 / 8},  // low speed is slower still; no storage device uses it
    {2, nullptr, 12e6 / 8}, {4, nullptr, 480e6 / 8},
    {8, nullptr, 5e9 / 10}, {16, nullptr, 20e9 * 128 / 132 / 8},  // SuperSpeed+ may be 10 or 20 Gb/s: the faster
};
const link_row sata_links[] = {
    {1, "SATA 1.5 Gb/s", 1.5e9 / 10},
    {2, "SATA 3 Gb/s", 3e9 / 10},
    {3, "SATA 6 Gb/s", 6e9 / 10},
    {0, "SATA", 6e9 / 10},  // generation not known: the fastest there is
};

template <size_t n>
const link_row* find_row(const link_row (&rows)[n], uint32_t key) {
  for (const link_row& r : rows)
    if (r.key == key) return &r;
  return nullptr;
}

// 1 to 3, or 0 when IDENTIFY does not describe a SATA device.
uint32_t sata_generation(const drive_info& d) {
  if (d.identify_source == 0) return 0;
  const uint16_t supported = identify_word(d.identify, sata_capabilities_word);
  if (supported == 0 || supported == 0xFFFF) return 0;
  const uint16_t more = identify_word(d.identify, sata_more_capabilities_word);
  const uint32_t negotiated = more == 0xFFFF ? 0 : (more >> 1) & 7;
  if (negotiated >= 1 && negotiated <= 3) return negotiated;
  for (uint32_t gen = 3; gen >= 1; --gen)
    if (supported & (1u << gen)) return gen;
  return 0;
}

void take_slower(device_link& link, const link_row* row, const std::string& name) {
  if (!row) return;
  if (link.bytes_per_second == 0 || row->bytes_per_second < link.bytes_per_second) link = {name, row->bytes_per_second};
}
}  // namespace

device_link drive_link(const drive_info& drive) {
  device_link link;
  const int kind = drive_kind(drive);
  if (kind == kind_raid || kind == kind_storage_space) return link;
  if (drive.bus_type == bus_type_usb)
    take_slower(link, find_row(usb_links, drive.usb_speed), to_utf8(usb_speed_label(drive.usb_speed)));
  const uint32_t gen = sata_generation(drive);
  if (gen != 0 || drive.bus_type == bus_type_sata) {
    const link_row* row = find_row(sata_links, gen);
    take_slower(link, row, row->name);
  }
  return link;
}
