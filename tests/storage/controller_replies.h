#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_machine.h"
#include "health_replies.h"

// RAID controllers as the test machines show them: a SCSI adapter interface whose miniport answers
// CSMI and/or CISS requests. Replies are written field by field at the documented offsets.

using sas_address = std::array<uint8_t, 8>;

struct fake_csmi_phy {
  uint8_t phy_id = 0;
  uint8_t port = 0;
  uint8_t attached_type = 0x10;     // an end device; 0: nothing attached
  uint8_t target_protocols = 0x01;  // SATA
  sas_address address{};
  bool packet_device = false;
  fake_health health;  // how the drive answers ATA commands through the pass-through
};

struct fake_csmi_set_drive {
  std::string model, firmware, serial;
  sas_address address{};
  uint8_t usage = 1;  // member
};

struct fake_csmi_set {
  uint32_t capacity_mb = 0;
  uint32_t stripe_kb = 0;
  uint8_t raid_type = 2;  // RAID 1
  std::vector<fake_csmi_set_drive> drives;
  uint8_t drive_count_claimed = 0;  // not 0: the count the reply states, whatever it holds
};

struct fake_csmi {
  std::string driver = "iaStorA";
  std::string description = "Intel(R) Rapid Storage Technology";
  std::array<uint16_t, 4> version{{13, 2, 0, 1022}};
  uint32_t board_id = 0x28228086;
  std::vector<fake_csmi_phy> phys;
  uint8_t phy_count_claimed = 0;  // not 0: the count the reply states
  bool raid = true;               // answers the RAID requests
  uint32_t max_drives_per_set = 8;
  std::vector<fake_csmi_set> sets;
  // Drives the controller reaches by SAS address only.
  std::vector<std::pair<sas_address, fake_health>> phyless;
};

struct fake_ciss_logical {
  std::string label;
  uint32_t volume_id = 0;
  std::array<uint8_t, 16> page83{};
  uint16_t block_size = 512;
  uint64_t blocks = 0;
  uint32_t stripe_blocks = 512;
  uint8_t fault_tolerance = 2;  // RAID 1
  uint8_t status = 0;           // 2: not configured
  std::vector<uint32_t> drives, spares;
};

struct fake_ciss_physical {
  uint32_t number = 0;  // its bit in the controller's drive map
  std::string model, serial, firmware;
  std::string connector = "1I";
  uint8_t box = 1, bay = 1;
  uint64_t blocks = 0;
  uint16_t block_size = 512;
  uint32_t rpm = 10000;
  uint8_t temperature = 30, max_temperature = 41, threshold = 60;
  sas_address wwid{};
  std::array<uint32_t, 16> counters{};
  uint32_t power_on_minutes = 0;
};

struct fake_ciss {
  uint32_t board_id = 0x3351103C;
  std::string vendor = "HP", product = "P420i", running_firmware = "8.32", stored_firmware = "8.32";
  std::string timestamp = "Jun 17 2014 14:24:03";
  uint16_t max_logical = 64, max_physical = 128;
  std::vector<fake_ciss_logical> logical;
  std::vector<fake_ciss_physical> physical;
};

struct fake_adapter {
  std::wstring interface_path;
  std::wstring instance_id;
  std::wstring friendly_name;
  std::wstring device_desc = L"RAID Controller";
  DWORD devinst = 5000;
  bool has_csmi = false;
  fake_csmi csmi;
  bool has_ciss = false;
  fake_ciss ciss;
};

void add_adapter(fake_machine& machine, const fake_adapter& adapter);
fake_device& adapter_device(fake_machine& machine, const fake_adapter& adapter);

// A SATA drive's IDENTIFY and SMART answers, for a phy: model, serial, capacity in sectors and
// power-on hours.
fake_health sata_health(const std::string& model, const std::string& serial, uint64_t sectors, bool ssd,
                        uint64_t hours = 21438);
// A phy (and port) with a SATA drive at a SAS address.
fake_csmi_phy sata_phy(uint8_t id, const sas_address& address, const fake_health& health);
// The phy's SAS address as the CSMI driver of a SATA controller makes it up: its port number.
sas_address port_address(uint8_t port);
