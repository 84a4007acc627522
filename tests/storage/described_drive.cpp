#include "described_drive.h"

#include <gtest/gtest.h>

namespace {
// An IDENTIFY text field, blank padded; ATA stores each byte pair swapped.
void put_text(uint8_t* block, size_t offset, size_t length, const std::string& text, bool swapped) {
  std::string field(text);
  field.resize(length, ' ');
  for (size_t i = 0; i < length; ++i) block[offset + i] = uint8_t(field[swapped ? i ^ 1 : i]);
}
}  // namespace

drive_info described_drive(const std::string& fields) {
  drive_info d;
  size_t from = 0;
  while (fields != "-" && from < fields.size()) {
    size_t end = fields.find("; ", from);
    if (end == std::string::npos) end = fields.size();
    const std::string f = fields.substr(from, end - from);
    from = end + 2;
    const size_t eq = f.find('=');
    const std::string key = f.substr(0, eq), value = eq == std::string::npos ? "" : f.substr(eq + 1);
    const std::wstring wide(value.begin(), value.end());
    if (key.compare(0, 5, "nvme_") == 0) {
      d.has_nvme_identify = true;
      d.nvme_identify.resize(key == "nvme_identify" ? 0 : 4096);
    }
    if (key == "vendor") d.vendor_org = value;
    else if (key == "product") d.product_org = value;
    else if (key == "serial") d.serial = value;
    else if (key == "revision") d.revision_org = value;
    else if (key == "description") d.description = wide;
    else if (key == "instance") d.instance_id = wide;
    else if (key == "interface") d.interface_path = wide;
    else if (key == "bus") d.bus_type = std::stoul(value);
    else if (key == "usb") d.usb_speed = std::stoul(value);
    else if (key == "trim") d.trim_enabled = std::stoul(value);
    else if (key == "seek") d.incurs_seek_penalty = std::stoul(value);
    else if (key == "source") d.identify_source = value == "ctrl" ? source_ctrl : source_ata;
    else if (key == "ata_model") put_text(d.identify.data(), 54, 40, value, true);
    else if (key == "nvme_serial") put_text(d.nvme_identify.data(), 4, 20, value, false);
    else if (key == "nvme_model") put_text(d.nvme_identify.data(), 24, 40, value, false);
    else if (key.rfind("word", 0) == 0 || key.rfind("raw_word", 0) == 0) {
      if (key[0] == 'w') d.identify_source = source_ata;
      const size_t word = std::stoul(key.substr(key.find("word") + 4)), v = std::stoul(value);
      d.identify[word * 2] = uint8_t(v);
      d.identify[word * 2 + 1] = uint8_t(v >> 8);
    } else if (key != "nvme_identify") ADD_FAILURE() << "no such field: " << key;
  }
  return d;
}
