#include <algorithm>
#include <cstring>
#include <set>

#include "storage/ata_blocks.h"
#include "storage/ata_health.h"
#include "storage/controllers.h"
#include "storage/csmi_channel.h"
#include "storage/drive_identify.h"
#include "storage/miniport_request.h"
#include "storage/raid_levels.h"
#include "support/format_string.h"
#include "support/hex_dump.h"
#include "support/hex_text.h"

namespace {
constexpr uint64_t mib = 1ull << 20;

std::string version_text(const uint16_t v[4]) { return format_string("%hu.%hu.%hu.%hu", v[0], v[1], v[2], v[3]); }

std::string address_text(const uint8_t address[8]) { return to_hex(address, 8, false); }

// A phy with a device behind it, and what the controller's RAID sets say of it.
struct candidate {
  csmi_phy_entity entity;
  phy_drive phy;
  bool in_set = false;
};

// A RAID set's drive that no phy leads to.
struct phyless_drive {
  uint8_t sas_address[8];
  phy_drive phy;
};

// The capacity an IDENTIFY block gives: the 48-bit sector count when there is one, in the
// logical sector size when the block states it.
uint64_t identify_capacity(const std::array<uint8_t, 512>& id) {
  auto word = [&](size_t n) { return uint32_t(id[2 * n] | id[2 * n + 1] << 8); };
  uint64_t sectors =
      uint64_t(word(100)) | uint64_t(word(101)) << 16 | uint64_t(word(102)) << 32 | uint64_t(word(103)) << 48;
  if (!(word(83) & 0x0400) || sectors == 0) sectors = word(60) | word(61) << 16;
  uint64_t sector_size = 512;
  const uint32_t w106 = word(106);
  if ((w106 & 0xC000) == 0x4000 && (w106 & 0x1000)) {
    const uint64_t words = word(117) | word(118) << 16;
    if (words >= 256) sector_size = words * 2;
  }
  return sectors * sector_size;
}

class csmi_walk {
 public:
  csmi_walk(device_query& q, api_handle h, const scan_options& options, controller_info& c)
      : q_(q), h_(h), options_(options), c_(c), log_(q.log()) {}

  bool run() {
    if (!driver_info()) return false;
    controller_config();
    phy_info();
    for (candidate& k : candidates_) phy_health(k);
    raid_sets();
    keep_phys();
    query_phyless();
    return true;
  }

 private:
  miniport_request request(const char* signature, uint32_t code, size_t size) {
    return miniport_request(signature, code, options_.timeout, size);
  }

  bool driver_info() {
    miniport_request r = request(csmi_all_signature, csmi_get_driver_info, sizeof(csmi_driver_info));
    if (!r.send(q_, h_, "CSMI_SAS_GET_DRIVER_INFO", "CsmiIoctl") ||
        !not_all_zeroes(r.reply(), r.returned(), q_.errors()))
      return false;
    const auto d = r.read<csmi_driver_info>();
    const std::string name = reply_text(d.name, sizeof d.name);
    const std::string version = format_string("%hu.%hu.%hu.%hu", d.major, d.minor, d.build, d.release);
    log_->indent(2);
    log_->log(2, "Name                       [%s]\n", name.c_str());
    log_->log(2, "Description                [%s]\n", reply_text(d.description, sizeof d.description).c_str());
    log_->log(2, "DriverVersion              %s\n", version.c_str());
    log_->log(2, "CsmiVersion                %hu.%hu\n", d.csmi_major, d.csmi_minor);
    log_->unindent(2);
    c_.identification = "CSMI driver " + name + " " + version;
    return true;
  }

  void controller_config() {
    miniport_request r = request(csmi_all_signature, csmi_get_controller_config, sizeof(csmi_controller_config));
    if (!r.send(q_, h_, "CSMI_SAS_GET_CONTROLLER_CONFIG", "CsmiIoctl")) return;
    const auto k = r.read<csmi_controller_config>();
    log_->indent(2);
    log_->log(2, "BaseIoAddress              0x%08x\n", unsigned(k.base_io_address));
    log_->log(2, "BaseMemoryAddress          0x%08x%08x\n", unsigned(k.base_memory_high), unsigned(k.base_memory_low));
    log_->log(2, "BoardId                    0x%08x\n", unsigned(k.board_id));
    log_->log(2, "SlotNumber                 %u\n", unsigned(k.slot_number));
    log_->log(2, "ControllerClass            %u\n", unsigned(k.controller_class));
    log_->log(2, "BusType                    %u\n", unsigned(k.io_bus_type));
    log_->log(2, "BusAddress                 bus %u, device %u, function %u\n", unsigned(k.bus_address[0]),
              unsigned(k.bus_address[1]), unsigned(k.bus_address[2]));
    log_->log(2, "Serial                     [%s]\n", reply_text(k.serial, sizeof k.serial).c_str());
    log_->log(2, "Firmware                   %s\n", version_text(k.firmware).c_str());
    log_->log(2, "BIOS                       %s\n", version_text(k.bios).c_str());
    log_->log(2, "ControllerFlags            0x%08x\n", unsigned(k.controller_flags));
    log_->log(2, "Firmware/Red               %s\n", version_text(k.redundant_firmware).c_str());
    log_->log(2, "BIOS/Red                   %s\n", version_text(k.redundant_bios).c_str());
    log_->unindent(2);
    c_.identification += format_string(", board 0x%08x, firmware %s, BIOS %s", unsigned(k.board_id),
                                       version_text(k.firmware).c_str(), version_text(k.bios).c_str());
  }

  void phy_info() {
    miniport_request r = request(csmi_sas_signature, csmi_get_phy_info, sizeof(csmi_phy_info));
    if (!r.send(q_, h_, "CSMI_SAS_GET_PHY_INFO", "CsmiIoctl")) return;
    const auto info = r.read<csmi_phy_info>();
    const size_t held = r.returned() < offsetof(csmi_phy_info, phy)
                            ? 0
                            : (r.returned() - offsetof(csmi_phy_info, phy)) / sizeof(csmi_phy_entity);
    const size_t count = std::min({size_t(info.number_of_phys), csmi_max_phys, held});
    log_->indent(2);
    log_->log(2, "PhyCount                   %u\n", unsigned(info.number_of_phys));
    for (size_t i = 0; i < count; ++i) {
      const csmi_phy_entity& e = info.phy[i];
      const csmi_identify &a = e.attached, &l = e.local;
      log_->log(2, "%2zu. Port                   %02x\n", i + 1, unsigned(e.port_identifier));
      log_->indent(4);
      log_->log(2, "LinkRate               %02x %02x %02x\n", unsigned(e.negotiated_link_rate),
                unsigned(e.minimum_link_rate), unsigned(e.maximum_link_rate));
      log_->log(2, "PhyChanges             %u\n", unsigned(e.phy_change_count));
      log_->log(2, "AutoDiscover           %u\n", unsigned(e.auto_discover));
      log_->log(2, "Type                   %02x | %02x\n", unsigned(a.device_type), unsigned(l.device_type));
      log_->log(2, "PhyId                  %02x | %02x\n", unsigned(a.phy_identifier), unsigned(l.phy_identifier));
      log_->log(2, "IniProto               %02x | %02x\n", unsigned(a.initiator_protocols),
                unsigned(l.initiator_protocols));
      log_->log(2, "TgtProto               %02x | %02x\n", unsigned(a.target_protocols), unsigned(l.target_protocols));
      log_->log(2, "SasAddress             %s | %s\n", address_text(a.sas_address).c_str(),
                address_text(l.sas_address).c_str());
      log_->unindent(4);
      if (a.device_type == 0) continue;  // nothing attached
      candidate k{e, {}, false};
      k.phy.number = uint32_t(candidates_.size());
      k.phy.address = address_text(a.sas_address);
      candidates_.push_back(k);
    }
    log_->unindent(2);
  }

  csmi_target target_of(const candidate& k) const {
    csmi_target t;
    t.phy_identifier = k.entity.local.phy_identifier;
    t.port_identifier = k.entity.port_identifier;
    std::memcpy(t.sas_address, k.entity.attached.sas_address, sizeof t.sas_address);
    t.number = k.phy.number;
    t.address = k.phy.address;
    return t;
  }

  // A packet device (signature LBA mid/high 14/EB) has no ATA IDENTIFY to give.
  bool is_packet_device(const candidate& k) {
    miniport_request r = request(csmi_sas_signature, csmi_get_sata_signature, sizeof(csmi_sata_signature));
    csmi_sata_signature s{};
    s.phy_identifier = k.entity.local.phy_identifier;
    std::memcpy(r.payload(), &s, sizeof s);
    if (!r.send(q_, h_, format_string("CSMI_SAS_GET_SATA_SIGNATURE, phy %zu", size_t(k.phy.number)), "CsmiIoctl"))
      return false;
    s = r.read<csmi_sata_signature>();
    log_->log_indented(2, 2, "Signature FIS:\n");
    log_->indent(2);
    hex_dump(log_, s.signature_fis, sizeof s.signature_fis);
    log_->unindent(2);
    if (s.signature_fis[5] != 0x14 || s.signature_fis[6] != 0xEB) return false;
    log_->log_indented(2, 2, "Packet device, no ATA IDENTIFY\n");
    return true;
  }

  void phy_health(candidate& k) {
    if (!(k.entity.attached.target_protocols & (csmi_protocol_sata | csmi_protocol_stp))) return;
    if (is_packet_device(k)) return;
    csmi_channel channel(q_, h_, target_of(k), options_.timeout);
    take_identify(channel, q_.errors(), log_, k.phy.identify, k.phy.has_identify);
    if (options_.query_smart)
      take_smart(channel, options_, q_.errors(), log_, k.phy.smart, k.phy.has_smart, smart_order::health_first);
  }

  void raid_sets() {
    miniport_request r = request(csmi_raid_signature, csmi_get_raid_info, sizeof(csmi_raid_info));
    if (!r.send(q_, h_, "CSMI_SAS_GET_RAID_INFO", "CsmiIoctl")) return;
    const auto info = r.read<csmi_raid_info>();
    log_->indent(2);
    log_->log(2, "SetCount                   %u\n", unsigned(info.number_of_sets));
    log_->log(2, "MaxDrivesPerSet            %u\n", unsigned(info.max_drives_per_set));
    log_->unindent(2);
    const size_t sets = std::min(size_t(info.number_of_sets), csmi_max_sets);
    const size_t per_set = std::max<size_t>(1, std::min(size_t(info.max_drives_per_set), csmi_max_drives_per_set));
    for (size_t i = 0; i < sets; ++i) raid_set(uint32_t(i), per_set);
  }

  void raid_set(uint32_t index, size_t per_set) {
    miniport_request r = request(csmi_raid_signature, csmi_get_raid_config,
                                 sizeof(csmi_raid_config) + per_set * sizeof(csmi_raid_drive));
    csmi_raid_config asked{};
    asked.set_index = index;
    std::memcpy(r.payload(), &asked, sizeof asked);
    if (!r.send(q_, h_, "CSMI_SAS_GET_RAID_CONFIG", "CsmiIoctl")) return;
    const auto k = r.read<csmi_raid_config>();
    const size_t held = r.returned() < sizeof k ? 0 : (r.returned() - sizeof k) / sizeof(csmi_raid_drive);
    const size_t drives = std::min({size_t(k.drive_count), per_set, held});
    log_->indent(2);
    log_->log(2, "%2u. Capacity               %u\n", unsigned(index), unsigned(k.capacity));
    log_->indent(4);
    log_->log(2, "StripeSize             %u\n", unsigned(k.stripe_size));
    log_->log(2, "Type                   %u\n", unsigned(k.raid_type));
    log_->log(2, "Status                 %u\n", unsigned(k.status));
    log_->log(2, "Information            %u\n", unsigned(k.information));
    log_->log(2, "DriveCount             %u\n", unsigned(k.drive_count));
    raid_volume v;
    v.number = index;
    v.raid_level = raid_level_of_csmi_type(k.raid_type);
    v.capacity = uint64_t(k.capacity) * mib;
    v.stripe_size = uint32_t(std::min<uint64_t>(uint64_t(k.stripe_size) * 1024, 0xFFFFFFFFu));
    std::set<size_t> seen;
    for (size_t j = 0; j < drives; ++j)
      set_drive(r.read<csmi_raid_drive>(sizeof k + j * sizeof(csmi_raid_drive)), j, seen, v);
    log_->unindent(6);
    c_.raid_volumes.push_back(std::move(v));
  }

  void set_drive(const csmi_raid_drive& d, size_t j, std::set<size_t>& seen, raid_volume& v) {
    log_->log(2, "%2zu. Model              [%s]\n", j + 1, reply_text(d.model, sizeof d.model).c_str());
    log_->indent(4);
    log_->log(2, "Firmware           [%s]\n", reply_text(d.firmware, sizeof d.firmware).c_str());
    log_->log(2, "Serial             [%s]\n", reply_text(d.serial, sizeof d.serial).c_str());
    log_->log(2, "SasAddress         %s\n", address_text(d.sas_address).c_str());
    log_->log(2, "LunAddress         %s\n", address_text(d.sas_lun).c_str());
    log_->log(2, "Status             %u\n", unsigned(d.status));
    log_->log(2, "Usage              %u\n", unsigned(d.usage));
    log_->log(2, "Reserved:\n");
    hex_dump(log_, d.reserved, sizeof d.reserved);
    phy_drive* phy = phy_for(d, seen);
    log_->unindent(4);
    if (!phy) return;
    if (phy->model.empty()) phy->model = reply_text(d.model, sizeof d.model);
    if (phy->serial.empty()) phy->serial = reply_text(d.serial, sizeof d.serial);
    if (phy->firmware.empty()) phy->firmware = reply_text(d.firmware, sizeof d.firmware);
    if (d.usage == csmi_drive_member) v.drives.push_back(phy->number);
    if (d.usage == csmi_drive_spare || d.usage == csmi_drive_active_spare) v.spares.push_back(phy->number);
  }

  // The phy of a set drive, paired by SAS address; a drive without one gets a record of its own.
  phy_drive* phy_for(const csmi_raid_drive& d, std::set<size_t>& seen) {
    for (size_t k = 0; k < candidates_.size(); ++k) {
      if (std::memcmp(candidates_[k].entity.attached.sas_address, d.sas_address, sizeof d.sas_address) != 0) continue;
      if (!seen.insert(k).second) {
        log_->log(2, "Bogus entry for already seen phy - IGNORED\n");
        return nullptr;
      }
      candidates_[k].in_set = true;
      return &candidates_[k].phy;
    }
    log_->log(2, "NO MATCHING PHY DEVICE!\n");
    for (phyless_drive& p : phyless_)
      if (std::memcmp(p.sas_address, d.sas_address, sizeof d.sas_address) == 0) return &p.phy;
    phyless_drive p{};
    std::memcpy(p.sas_address, d.sas_address, sizeof p.sas_address);
    p.phy.number = uint32_t(candidates_.size() + phyless_.size());
    p.phy.address = address_text(d.sas_address);
    phyless_.push_back(p);
    return &phyless_.back().phy;
  }

  void update_from_identify(phy_drive& p) {
    const uint64_t capacity = identify_capacity(p.identify);
    const std::string model = ata_string(p.identify.data(), 54, 40);
    const std::string serial = ata_string(p.identify.data(), 20, 20);
    const std::string firmware = ata_string(p.identify.data(), 46, 8);
    log_->log(2, "Updating %s phy info from its IDENTIFY block\n", p.address.c_str());
    log_->indent(2);
    log_->log(2, "Capacity                   %I64u -> %I64u\n", (unsigned long long)p.capacity,
              (unsigned long long)capacity);
    log_->log(2, "Model                      [%s] -> [%s]\n", p.model.c_str(), model.c_str());
    log_->log(2, "Serial                     [%s] -> [%s]\n", p.serial.c_str(), serial.c_str());
    log_->log(2, "Firmware                   [%s] -> [%s]\n", p.firmware.c_str(), firmware.c_str());
    log_->unindent(2);
    p.capacity = capacity;
    p.model = model;
    p.serial = serial;
    p.firmware = firmware;
  }

  void keep_phys() {
    for (candidate& k : candidates_) {
      if (!k.in_set && !k.phy.has_identify) {
        log_->log(2, "Discarding %s phy as unused and with no IDENTIFY support\n", k.phy.address.c_str());
        continue;
      }
      if (k.phy.has_identify) update_from_identify(k.phy);
      c_.phys.push_back(k.phy);
    }
  }

  void query_phyless() {
    if (phyless_.empty()) return;
    log_->log(2, "Querying PHY-less RAID drives...\n");
    for (phyless_drive& p : phyless_) {
      csmi_target t;
      std::memcpy(t.sas_address, p.sas_address, sizeof t.sas_address);
      t.number = p.phy.number;
      t.address = p.phy.address;
      t.by_address = true;
      csmi_channel channel(q_, h_, t, options_.timeout);
      if (take_identify(channel, q_.errors(), log_, p.phy.identify, p.phy.has_identify)) update_from_identify(p.phy);
      c_.phys.push_back(p.phy);
    }
  }

  device_query& q_;
  api_handle h_;
  const scan_options& options_;
  controller_info& c_;
  indenting_logger* log_;
  std::vector<candidate> candidates_;
  std::vector<phyless_drive> phyless_;
};
}  // namespace

bool query_csmi(device_query& query, api_handle h, const scan_options& options, controller_info& controller) {
  return csmi_walk(query, h, options, controller).run();
}
