#include "controller_replies.h"

#include <setupapi.h>
#include <winioctl.h>

#include <cstring>
#include <memory>

#include "drive_replies.h"
#include "health_blocks.h"
#include "storage/drive_ioctls.h"

namespace {
constexpr DWORD scsi_miniport = 0x4D008;
constexpr size_t srb_size = 28, srb_code = 16, srb_return = 20;
constexpr uint8_t status_ready = 0x50, status_error = 0x51, error_aborted = 0x04;

// A reply buffer: the request as it came, changed field by field.
struct reply_block {
  std::vector<uint8_t> b;
  void put(size_t at, const void* data, size_t size) {
    if (at >= b.size()) return;
    std::memcpy(b.data() + at, data, std::min(size, b.size() - at));
  }
  void u8(size_t at, uint8_t v) { put(at, &v, 1); }
  void u16(size_t at, uint16_t v) { put(at, &v, 2); }
  void u32(size_t at, uint32_t v) { put(at, &v, 4); }
  void u64(size_t at, uint64_t v) { put(at, &v, 8); }
  void text(size_t at, const std::string& s, size_t width, char pad = 0) {
    std::string field = s.substr(0, width);
    field.resize(width, pad);
    put(at, field.data(), width);
  }
};

template <typename T>
T in_field(const uint8_t* in, DWORD size, size_t offset) {
  T v{};
  if (offset + sizeof v <= size) std::memcpy(&v, in + offset, sizeof v);
  return v;
}

bool signed_as(const uint8_t* in, DWORD size, const char* signature) {
  return size >= srb_size && std::memcmp(in + 4, signature, std::strlen(signature) + 1) == 0;
}

// --- CSMI ---

void identify_end(reply_block& r, size_t at, uint8_t type, uint8_t initiator, uint8_t target,
                  const sas_address& address, uint8_t phy_id) {
  r.u8(at, type);
  r.u8(at + 2, initiator);
  r.u8(at + 3, target);
  r.put(at + 12, address.data(), 8);
  r.u8(at + 20, phy_id);
}

void driver_info(const fake_csmi& c, reply_block& r) {
  const size_t p = srb_size;
  r.text(p, c.driver, 81);
  r.text(p + 81, c.description, 81);
  for (size_t i = 0; i < 4; ++i) r.u16(p + 162 + 2 * i, c.version[i]);
  r.u16(p + 170, 0);
  r.u16(p + 172, 88);  // CSMI 0.88
}

void controller_config(const fake_csmi& c, reply_block& r) {
  const size_t p = srb_size;
  r.u32(p + 12, c.board_id);
  r.u16(p + 16, 0xFFFF);  // slot unknown
  r.u8(p + 18, 5);        // HBA
  r.u8(p + 19, 3);        // PCI
  r.u8(p + 20, 0);
  r.u8(p + 21, 31);
  r.u8(p + 22, 2);
  for (size_t i = 0; i < 4; ++i) r.u16(p + 134 + 2 * i, c.version[i]);
  r.u32(p + 152, 0x00000008);  // SATA RAID
}

void phy_info(const fake_csmi& c, reply_block& r) {
  const size_t p = srb_size;
  r.u8(p, c.phy_count_claimed ? c.phy_count_claimed : uint8_t(c.phys.size()));
  for (size_t i = 0; i < c.phys.size(); ++i) {
    const fake_csmi_phy& phy = c.phys[i];
    const size_t e = p + 4 + i * 64;
    identify_end(r, e, 0x10, 0x05, 0, port_address(0xFF), phy.phy_id);
    r.u8(e + 28, phy.port);
    r.u8(e + 29, phy.attached_type ? 0x0A : 0);
    r.u8(e + 30, 0x08);
    r.u8(e + 31, 0x0A);
    identify_end(r, e + 36, phy.attached_type, 0, phy.attached_type ? phy.target_protocols : 0, phy.address,
                 phy.phy_id);
  }
}

void raid_config(const fake_csmi& c, const uint8_t* in, DWORD size, reply_block& r) {
  const uint32_t index = in_field<uint32_t>(in, size, srb_size);
  if (index >= c.sets.size()) {
    r.u32(srb_return, 1000);  // set out of range
    return;
  }
  const fake_csmi_set& s = c.sets[index];
  const size_t p = srb_size;
  r.u32(p + 4, s.capacity_mb);
  r.u32(p + 8, s.stripe_kb);
  r.u8(p + 12, s.raid_type);
  r.u8(p + 15, s.drive_count_claimed ? s.drive_count_claimed : uint8_t(s.drives.size()));
  for (size_t j = 0; j < s.drives.size(); ++j) {
    const fake_csmi_set_drive& d = s.drives[j];
    const size_t at = p + 36 + j * 136;
    if (at + 136 > r.b.size()) break;
    r.text(at, d.model, 40, ' ');
    r.text(at + 40, d.firmware, 8, ' ');
    r.text(at + 48, d.serial, 40, ' ');
    r.put(at + 88, d.address.data(), 8);
    r.u8(at + 105, d.usage);
  }
}

const fake_health* health_at(const fake_csmi& c, uint8_t phy_id, const sas_address& address) {
  if (phy_id == 0xFF) {
    for (const fake_csmi_phy& phy : c.phys)
      if (phy.address == address) return &phy.health;
    for (const auto& p : c.phyless)
      if (p.first == address) return &p.second;
    return nullptr;
  }
  for (const fake_csmi_phy& phy : c.phys)
    if (phy.phy_id == phy_id && phy.attached_type) return &phy.health;
  return nullptr;
}

void stp_pass_through(const fake_csmi& c, const uint8_t* in, DWORD size, reply_block& r) {
  const size_t p = srb_size, status = p + 44, data = p + 136;
  sas_address address{};
  if (size >= p + 12) std::memcpy(address.data(), in + p + 4, 8);
  const fake_health* h = health_at(c, in_field<uint8_t>(in, size, p), address);
  if (!h) {
    r.u32(srb_return, 2008);  // connection failed
    return;
  }
  const ata_answer a = answer_ata(*h, 0, in_field<uint8_t>(in, size, p + 18), in_field<uint8_t>(in, size, p + 19));
  r.u8(status, 0);
  r.u8(status + 4, a.data ? 0x5F : 0x34);
  r.u8(status + 6, a.ok ? status_ready : status_error);
  r.u8(status + 7, a.ok ? 0 : error_aborted);
  r.u8(status + 9, a.lba_mid);
  r.u8(status + 10, a.lba_high);
  if (a.ok && a.data && in_field<uint32_t>(in, size, p + 40) >= 512) {
    r.u32(status + 88, 512);
    r.put(data, a.block.data(), 512);
  }
}

void sata_signature(const fake_csmi& c, const uint8_t* in, DWORD size, reply_block& r) {
  const uint8_t id = in_field<uint8_t>(in, size, srb_size);
  for (const fake_csmi_phy& phy : c.phys) {
    if (phy.phy_id != id || !phy.attached_type) continue;
    const size_t f = srb_size + 4;
    r.u8(f, 0x34);
    r.u8(f + 2, status_ready);
    r.u8(f + 4, 1);
    r.u8(f + 5, phy.packet_device ? 0x14 : 0);
    r.u8(f + 6, phy.packet_device ? 0xEB : 0);
    r.u8(f + 12, 1);
    return;
  }
  r.u32(srb_return, 2009);  // no SATA device
}

bool csmi_reply(const fake_csmi& c, const uint8_t* in, DWORD size, fake_reply& reply) {
  const bool all = signed_as(in, size, "CSMIALL"), raid = signed_as(in, size, "CSMIARY"),
             sas = signed_as(in, size, "CSMISAS");
  if (!all && !raid && !sas) return false;
  reply_block r{std::vector<uint8_t>(in, in + size)};
  r.u32(srb_return, 0);
  const uint32_t code = in_field<uint32_t>(in, size, srb_code);
  if (raid && !c.raid) {
    r.u32(srb_return, 2);  // bad control code
  } else if (all && code == 1) {
    driver_info(c, r);
  } else if (all && code == 2) {
    controller_config(c, r);
  } else if (raid && code == 10) {
    r.u32(srb_size, uint32_t(c.sets.size()));
    r.u32(srb_size + 4, c.max_drives_per_set);
  } else if (raid && code == 11) {
    raid_config(c, in, size, r);
  } else if (sas && code == 20) {
    phy_info(c, r);
  } else if (sas && code == 25) {
    stp_pass_through(c, in, size, r);
  } else if (sas && code == 26) {
    sata_signature(c, in, size, r);
  } else {
    r.u32(srb_return, 2);
  }
  reply = fake_reply{r.b, 0};
  return true;
}

// --- CISS ---

void set_bit(reply_block& r, size_t map_at, uint32_t n) {
  if (n >= 128) return;
  const size_t at = map_at + n / 8;
  if (at < r.b.size()) r.b[at] |= uint8_t(1u << (n % 8));
}

void identify_controller(const fake_ciss& c, reply_block& r, size_t d) {
  r.u8(d, uint8_t(c.logical.size()));
  r.text(d + 5, c.running_firmware, 4, ' ');
  r.text(d + 9, c.stored_firmware, 4, ' ');
  r.u32(d + 26, c.board_id);
  r.u8(d + 44, 2);
  r.u8(d + 53, 16);
  for (const fake_ciss_physical& p : c.physical) set_bit(r, d + 54, p.number);
  r.u16(d + 152, c.max_logical);
  r.u16(d + 156, c.max_physical);
  r.text(d + 200, c.vendor, 8, ' ');
  r.text(d + 208, c.product, 16, ' ');
  r.text(d + 244, c.timestamp, 24);
}

const fake_ciss_physical* physical_numbered(const fake_ciss& c, uint32_t n) {
  for (const fake_ciss_physical& p : c.physical)
    if (p.number == n) return &p;
  return nullptr;
}

// False: the controller has no such logical or physical drive.
bool bmic_data(const fake_ciss& c, uint8_t command, size_t logical, uint32_t physical, reply_block& r, size_t d) {
  if (command == 0x11) {
    identify_controller(c, r, d);
    return true;
  }
  if (command == 0x10 || command == 0x12 || command == 0x50) {
    if (logical >= c.logical.size()) return false;
    const fake_ciss_logical& l = c.logical[logical];
    if (command == 0x12) {
      r.u8(d, l.status);
    } else if (command == 0x10) {
      r.u16(d, l.block_size);
      r.u32(d + 2, uint32_t(std::min<uint64_t>(l.blocks, 0xFFFFFFFFu)));
      r.u8(d + 22, l.fault_tolerance);
      r.u32(d + 26, l.volume_id);
      r.text(d + 30, l.label, 64, ' ');
      r.u64(d + 94, l.blocks);
    } else {
      r.put(d, l.page83.data(), 16);
      r.u32(d + 16, l.stripe_blocks);
      for (uint32_t n : l.drives) set_bit(r, d + 32, n);
      for (uint32_t n : l.spares) set_bit(r, d + 48, n);
    }
    return true;
  }
  const fake_ciss_physical* p = physical_numbered(c, physical);
  if (!p || (command != 0x15 && command != 0x78)) return false;
  if (command == 0x15) {
    r.u8(d, 0);
    r.u8(d + 1, uint8_t(p->number));
    r.u16(d + 2, p->block_size);
    r.u32(d + 4, uint32_t(std::min<uint64_t>(p->blocks, 0xFFFFFFFFu)));
    r.text(d + 12, p->model, 40, ' ');
    r.text(d + 52, p->serial, 40, ' ');
    r.text(d + 92, p->firmware, 8, ' ');
    r.u8(d + 103, 0x01);
    r.text(d + 112, p->connector, 2);
    r.u8(d + 114, p->box);
    r.u8(d + 115, p->bay);
    r.u32(d + 116, p->rpm);
    r.u64(d + 122, p->blocks);
    r.put(d + 142, p->wwid.data(), 8);
    r.u8(d + 1792, p->temperature);
    r.u8(d + 1793, p->threshold);
    r.u8(d + 1794, p->max_temperature);
  } else {
    for (size_t i = 0; i < p->counters.size(); ++i) r.u32(d + 4 * i, p->counters[i]);
    r.u32(d + 64, p->power_on_minutes);
  }
  return true;
}

bool ciss_reply(const fake_ciss& c, const uint8_t* in, DWORD size, fake_reply& reply) {
  if (!signed_as(in, size, "CPQCISS")) return false;
  reply_block r{std::vector<uint8_t>(in, in + size)};
  r.u32(srb_return, 0);
  const size_t cmd = srb_size, cdb = cmd + 12, data = cmd + 80;
  const uint8_t command = in_field<uint8_t>(in, size, cdb + 6);
  const size_t logical = in_field<uint8_t>(in, size, cdb + 1);
  const uint32_t physical = in_field<uint8_t>(in, size, cdb + 2) | in_field<uint8_t>(in, size, cdb + 9) << 8;
  if (in_field<uint32_t>(in, size, srb_code) != 0xCC01 || in_field<uint8_t>(in, size, cdb) != 0x26) {
    r.u32(srb_return, 1);
  } else if (!bmic_data(c, command, logical, physical, r, data)) {
    r.u16(cmd + 30, 4);  // invalid command
  }
  reply = fake_reply{r.b, 0};
  return true;
}

fake_reply fails(DWORD error) { return fake_reply{{}, error}; }
}  // namespace

sas_address port_address(uint8_t port) { return {{0, 0, 0, 0, 0, 0, 0, port}}; }

fake_csmi_phy sata_phy(uint8_t id, const sas_address& address, const fake_health& health) {
  fake_csmi_phy p;
  p.phy_id = id;
  p.port = id;
  p.address = address;
  p.health = health;
  return p;
}

fake_health sata_health(const std::string& model, const std::string& serial, uint64_t sectors, bool ssd,
                        uint64_t hours) {
  fake_health h;
  h.has_identify = true;
  h.identify = identify_block({model, serial, "SN03", sectors, uint16_t(ssd ? 1 : 7200), ssd, true});
  h.has_smart = true;
  h.attributes = attributes_block({{1, 0x000F, 200, 200, 0},
                                   {3, 0x0027, 180, 178, 5975},
                                   {4, 0x0032, 100, 100, 412},
                                   {5, 0x0033, 200, 200, 0},
                                   {9, 0x0032, 71, 71, hours},
                                   {10, 0x0032, 100, 100, 0},
                                   {12, 0x0032, 100, 100, 409},
                                   {194, 0x0022, 113, 101, 37},
                                   {197, 0x0032, 200, 200, 0},
                                   {199, 0x0032, 200, 200, 0}});
  h.thresholds = thresholds_block({{1, 51}, {3, 21}, {4, 0}, {5, 140}, {9, 0}, {10, 0}, {12, 0}, {194, 0},
                                   {197, 0}, {199, 0}});
  return h;
}

void add_adapter(fake_machine& machine, const fake_adapter& adapter) {
  fake_interface i;
  i.path = adapter.interface_path;
  i.devinst = adapter.devinst;
  if (!adapter.friendly_name.empty()) i.registry[SPDRP_FRIENDLYNAME] = reg_string(adapter.friendly_name);
  if (!adapter.device_desc.empty()) i.registry[SPDRP_DEVICEDESC] = reg_string(adapter.device_desc);
  machine.adapter_interfaces.push_back(i);
  machine.nodes[adapter.devinst] = fake_node{adapter.instance_id, 0, 0, {}};
  fake_device& d = machine.devices[adapter.interface_path];
  d.accepted_access = {GENERIC_READ | GENERIC_WRITE};
  d.replies[IOCTL_SCSI_GET_INQUIRY_DATA] = fake_reply{inquiry_reply(), 0};
  auto a = std::make_shared<const fake_adapter>(adapter);
  d.handler = [a](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    if (code != scsi_miniport) return false;
    if (a->has_csmi && csmi_reply(a->csmi, in, size, reply)) return true;
    if (a->has_ciss && ciss_reply(a->ciss, in, size, reply)) return true;
    reply = fails(ERROR_INVALID_FUNCTION);  // no miniport of this kind
    return true;
  };
}

fake_device& adapter_device(fake_machine& machine, const fake_adapter& adapter) {
  return machine.devices.at(adapter.interface_path);
}
