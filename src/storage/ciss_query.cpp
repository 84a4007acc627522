#include <algorithm>
#include <cstring>

#include "storage/ata_blocks.h"
#include "storage/ciss_requests.h"
#include "storage/controllers.h"
#include "storage/miniport_request.h"
#include "storage/raid_levels.h"
#include "support/format_string.h"
#include "support/hex_dump.h"
#include "support/hex_text.h"

namespace {
// The counters of the physical drive statistics, in their order in the reply.
const char* const statistics_names[ciss_statistics_counters] = {
    "Predictive failure errors",
    "Drive rebuild count",
    "Reallocated sectors",
    "Spin-up failures",
    "Hardware errors",
    "Media failures",
    "Self-test failures",
    "Not ready failures",
    "Aborted command failures",
    "Bus faults",
    "Read errors, hard",
    "Read errors, recovered",
    "Read errors, ECC corrected",
    "Write errors, hard",
    "Write errors, recovered",
    "Seek errors",
};

// The drive numbers of a bit map, ascending.
std::vector<uint32_t> drives_of(const uint8_t (&map)[16]) {
  std::vector<uint32_t> drives;
  for (uint32_t n = 0; n < ciss_max_drives; ++n)
    if (map[n / 8] & (1u << (n % 8))) drives.push_back(n);
  return drives;
}

char printable(char c) { return c >= 0x20 && c < 0x7F ? c : '?'; }

class ciss_walk {
 public:
  ciss_walk(device_query& q, api_handle h, const scan_options& options, controller_info& c)
      : q_(q), h_(h), timeout_(options.timeout), c_(c), log_(q.log()) {}

  bool run() {
    ciss_controller_identity id{};
    if (!identify_controller(id)) return false;
    const size_t logical =
        id.extended_logical_unit_count ? id.extended_logical_unit_count : id.configured_logical_drives;
    for (size_t n = 0; n < std::min<size_t>(logical, 256); ++n) logical_drive(n);
    for (uint32_t n : drives_of(id.drive_present_map)) physical_drive(n);
    return true;
  }

 private:
  // One BMIC command to the controller, its reply into the request's data buffer.
  bool bmic(miniport_request& r, const std::string& name, uint8_t command, size_t logical, size_t physical,
            size_t size) {
    ciss_command cmd{};
    cmd.cdb_length = 10;
    cmd.type_attr_dir = ciss_type_attr_dir_read;
    cmd.timeout = uint16_t(std::min<uint32_t>(timeout_, 0xFFFF));
    cmd.cdb[0] = ciss_array_controller_read;
    cmd.cdb[1] = uint8_t(logical);
    cmd.cdb[2] = uint8_t(physical);
    cmd.cdb[6] = command;
    cmd.cdb[7] = uint8_t(size >> 8);
    cmd.cdb[8] = uint8_t(size);
    cmd.cdb[9] = uint8_t(physical >> 8);
    cmd.buffer_size = uint32_t(size);
    std::memcpy(r.payload(), &cmd, sizeof cmd);
    if (!r.send(q_, h_, name, "CissIoctl")) return false;
    const ciss_error_info error = r.read<ciss_command>().error;
    if (error.command_status != ciss_status_success && error.command_status != ciss_status_data_underrun) {
      q_.errors()->report_api_error("CissCommandStatus", error.command_status, "%lu", (unsigned long)command);
      return false;
    }
    return true;
  }

  // The data part of a reply: what came back past the command.
  template <typename T>
  T data(const miniport_request& r) const {
    return r.read<T>(sizeof(ciss_command));
  }
  size_t data_size(const miniport_request& r) const {
    return r.returned() > sizeof(ciss_command) ? r.returned() - sizeof(ciss_command) : 0;
  }
  void dump_data(const char* label, const miniport_request& r) {
    log_->log(2, "%s\n", label);
    hex_dump(log_, r.reply() + sizeof(ciss_command), data_size(r));
  }

  miniport_request request(size_t size) {
    return miniport_request(ciss_signature, ciss_control_pass_through, timeout_, sizeof(ciss_command) + size);
  }

  bool identify_controller(ciss_controller_identity& id) {
    miniport_request r = request(sizeof id);
    if (!bmic(r, "CISS_IDENTIFY_CONTROLLER", bmic_identify_controller, 0, 0, sizeof id) ||
        !not_all_zeroes(r.reply() + sizeof(ciss_command), data_size(r), q_.errors()))
      return false;
    id = data<ciss_controller_identity>(r);
    const std::string vendor = reply_text(id.vendor, sizeof id.vendor, false);
    const std::string product = reply_text(id.product, 8, false);
    const std::string running = reply_text(id.running_firmware, 4, false);
    const std::string stored = reply_text(id.stored_firmware, 4, false);
    const std::string stamp = reply_text(id.firmware_timestamp, sizeof id.firmware_timestamp, false);
    const uint32_t logical =
        id.extended_logical_unit_count ? id.extended_logical_unit_count : id.configured_logical_drives;
    log_->indent(2);
    log_->log(2, "[%u bytes]\n", unsigned(data_size(r)));
    log_->log(2, "Board ID                   0x%08x\n", unsigned(id.board_id));
    log_->log(2, "Vendor                     [%s]\n", vendor.c_str());
    log_->log(2, "Product                    [%s]\n", product.c_str());
    log_->log(2, "Firmware version           [%s] [%s]\n", running.c_str(), stored.c_str());
    log_->log(2, "Firmware timestamp         [%s]\n", stamp.c_str());
    log_->log(2, "SCSI chip (bus) count      %u\n", unsigned(id.scsi_chip_count));
    log_->log(2, "Logical drives             %u / %u max\n", unsigned(logical), unsigned(id.max_logical_units));
    log_->log(2, "Physical drives            %zu / %u max\n", drives_of(id.drive_present_map).size(),
              unsigned(id.max_physical_devices));
    dump_data("Raw:", r);
    log_->unindent(2);
    c_.identification = format_string("CISS board 0x%08x, %s %s, firmware %s, built %s", unsigned(id.board_id),
                                      vendor.c_str(), product.c_str(), running.c_str(), stamp.c_str());
    return true;
  }

  void logical_drive(size_t n) {
    miniport_request status = request(sizeof(ciss_logical_drive_status));
    if (!bmic(status, format_string("CISS_QUERY_LOGICAL_DRIVE_STATUS / %zu", n), bmic_logical_drive_status, n, 0,
              sizeof(ciss_logical_drive_status)))
      return;
    const uint8_t unit_status = data<ciss_logical_drive_status>(status).status;
    if (unit_status == ciss_logical_not_configured) {
      log_->log_indented(2, 2, "Not configured\n");
      return;
    }
    log_->indent(2);
    dump_data("Raw LogicalDriveStatus:", status);
    log_->unindent(2);
    miniport_request identity = request(sizeof(ciss_logical_drive_identity));
    if (!bmic(identity, format_string("CISS_IDENTIFY_LOGICAL_DRIVE / %zu", n), bmic_identify_logical_drive, n, 0,
              sizeof(ciss_logical_drive_identity)))
      return;
    log_->indent(2);
    dump_data("Raw LogicalDriveId:", identity);
    log_->unindent(2);
    miniport_request config = request(sizeof(ciss_logical_drive_config));
    if (!bmic(config, format_string("CISS_QUERY_LOGICAL_DRIVE_CONFIG / %zu", n), bmic_logical_drive_config, n, 0,
              sizeof(ciss_logical_drive_config)))
      return;
    add_volume(n, unit_status, data<ciss_logical_drive_identity>(identity), config);
  }

  void add_volume(size_t n, uint8_t unit_status, const ciss_logical_drive_identity& id,
                  const miniport_request& config_reply) {
    const auto config = data<ciss_logical_drive_config>(config_reply);
    raid_volume v;
    v.number = uint32_t(n);
    v.label = reply_text(id.label, sizeof id.label);
    v.unique_id.assign(reinterpret_cast<const char*>(config.page83_id), sizeof config.page83_id);
    const uint64_t blocks = id.big_blocks_available ? id.big_blocks_available : id.blocks_available;
    v.capacity = blocks * id.block_size;
    v.stripe_size = uint32_t(std::min<uint64_t>(uint64_t(config.stripe_blocks) * id.block_size, 0xFFFFFFFFu));
    v.drives = drives_of(config.drive_map);
    v.spares = drives_of(config.spare_map);
    v.raid_level = raid_level_of_ciss_fault_tolerance(id.fault_tolerance, v.drives.size());
    log_->indent(2);
    log_->log(2, "%2zu. Volume label           [%s]\n", n, reply_text(id.label, sizeof id.label, false).c_str());
    log_->indent(4);
    log_->log(2, "Volume ID              0x%08x\n", unsigned(id.volume_id));
    log_->log(2, "Page 83 ID             %s\n", to_hex(config.page83_id, sizeof config.page83_id, true).c_str());
    log_->log(2, "Block size             %hu\n", id.block_size);
    log_->log(2, "Block count            %I64u / %u\n", (unsigned long long)id.big_blocks_available,
              unsigned(id.blocks_available));
    log_->log(2, "Stripe size            %u\n", unsigned(v.stripe_size));
    log_->log(2, "Fault tolerance        %u\n", unsigned(id.fault_tolerance));
    log_->log(2, "Unit status            %u\n", unsigned(unit_status));
    log_->log(2, "Drives                 %s\n", number_list(v.drives).c_str());
    log_->log(2, "Spares                 %s\n", number_list(v.spares).c_str());
    dump_data("Raw LogicalDriveConfig:", config_reply);
    log_->unindent(6);
    c_.raid_volumes.push_back(std::move(v));
  }

  void physical_drive(uint32_t n) {
    miniport_request status = request(sizeof(ciss_physical_drive_identity));
    if (!bmic(status, format_string("CISS_QUERY_PHYSICAL_DRIVE_STATUS / %zu", size_t(n)), bmic_identify_physical_drive,
              0, n, sizeof(ciss_physical_drive_identity)))
      return;
    miniport_request stats = request(sizeof(ciss_physical_drive_statistics));
    const bool has_stats = bmic(stats, format_string("CISS_QUERY_PHYSICAL_DRIVE_STATISTICS / %zu", size_t(n)),
                                bmic_physical_drive_statistics, 0, n, sizeof(ciss_physical_drive_statistics));
    const auto id = data<ciss_physical_drive_identity>(status);
    const auto st = data<ciss_physical_drive_statistics>(stats);
    phy_drive p;
    p.number = n;
    p.model = reply_text(id.model, sizeof id.model);
    p.serial = reply_text(id.serial, sizeof id.serial);
    p.firmware = reply_text(id.firmware, sizeof id.firmware);
    p.capacity = (id.big_total_blocks ? id.big_total_blocks : id.total_blocks) * id.block_size;
    p.address = format_string("%c%c:%u:%u", printable(id.connector[0]), printable(id.connector[1]), unsigned(id.box),
                              unsigned(id.bay));
    if (has_stats) {
      for (size_t i = 0; i < ciss_statistics_counters; ++i)
        p.oem_attributes.push_back({statistics_names[i], uint32_t(i + 1), true, st.counters[i], {}});
    }
    log_->indent(2);
    log_->log(2, "%2zu. SCSI bus/ID            %u/%u\n", size_t(n), unsigned(id.scsi_bus), unsigned(id.scsi_id));
    log_->indent(4);
    log_->log(2, "Drive flags            %02x %02x %02x %02x\n", unsigned(id.flags), unsigned(id.more_flags),
              unsigned(id.yet_more_flags), unsigned(id.even_more_flags));
    log_->log(2, "Phy port:box:bay       %s\n", p.address.c_str());
    log_->log(2, "Model                  [%s]\n", reply_text(id.model, sizeof id.model, false).c_str());
    log_->log(2, "Serial                 [%s]\n", reply_text(id.serial, sizeof id.serial, false).c_str());
    log_->log(2, "Firmware               [%s]\n", reply_text(id.firmware, sizeof id.firmware, false).c_str());
    log_->log(2, "WWID                   %s\n", to_hex(id.wwid, 8, true).c_str());
    log_->log(2, "Speed                  %u rpm\n", unsigned(id.rpm));
    log_->log(2, "Temperature            %u now, %u max, %u thresh\n", unsigned(id.current_temperature),
              unsigned(id.max_temperature), unsigned(id.temperature_threshold));
    log_->log(2, "Power on minutes       %u\n", unsigned(st.power_on_minutes));
    dump_data("Raw PhysicalDriveStatus:", status);
    if (has_stats) dump_data("Raw PhysicalDriveStats:", stats);
    log_->unindent(6);
    c_.phys.push_back(std::move(p));
  }

  device_query& q_;
  api_handle h_;
  uint32_t timeout_;
  controller_info& c_;
  indenting_logger* log_;
};
}  // namespace

bool query_ciss(device_query& query, api_handle h, const scan_options& options, controller_info& controller) {
  return ciss_walk(query, h, options, controller).run();
}
