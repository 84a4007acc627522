#include "storage/csmi_channel.h"

#include <cstring>

#include "storage/miniport_request.h"

namespace {
constexpr uint8_t fis_host_to_device = 0x27, fis_command_bit = 0x80;
constexpr uint8_t ata_status_error = 0x01;

// The drives' step names as the controller's log calls them.
const struct {
  const char* step;
  const char* csmi_step;
} step_names[] = {
    {"ATA_IDENTIFY", "ATA_IDENTIFY"},
    {"SMART_GET_ATTRIBUTES", "SMART_ATTRIB"},
    {"SMART_GET_THRESHOLDS", "SMART_THRESH"},
    {"SMART_GET_PREDICTION", "SMART_HEALTH"},
};

// The host-to-device register FIS of the command.
void command_fis(const ata_task_file& t, uint8_t fis[20]) {
  std::memset(fis, 0, 20);
  fis[0] = fis_host_to_device;
  fis[1] = fis_command_bit;
  fis[2] = t.command;
  fis[3] = uint8_t(t.features);
  for (int i = 0; i < 3; ++i) {
    fis[4 + i] = uint8_t(t.lba >> (8 * i));
    fis[8 + i] = uint8_t(t.lba >> (8 * (i + 3)));
  }
  fis[7] = t.device;
  fis[11] = uint8_t(t.features >> 8);
  fis[12] = uint8_t(t.sector_count);
  fis[13] = uint8_t(t.sector_count >> 8);
}
}  // namespace

void csmi_channel::log_step(indenting_logger* log, const char* step) const {
  const char* csmi_step = step;
  for (const auto& n : step_names)
    if (std::strcmp(n.step, step) == 0) csmi_step = n.csmi_step;
  if (target_.by_address) {
    log->log(2, "%s / %s, sas %s\n", name(), csmi_step, target_.address.c_str());
    log->log_indented(2, 2, "SrcPort                    %u\n", unsigned(target_.port_identifier));
  } else if (std::strcmp(step, "ATA_IDENTIFY") == 0) {
    log->log(2, "%s / %s, phy %zu / %s \n", name(), csmi_step, target_.number, target_.address.c_str());
  } else {
    log->log(2, "%s / %s, phy %zu\n", name(), csmi_step, target_.number);
  }
}

bool csmi_channel::send(ata_exchange& x, const char*) {
  api_error_cb* errors = query_.errors();
  if (x.task.direction == ata_direction::out) {
    errors->report_api_error("CheckTaskFile", no_error_code, "%lu", (unsigned long)x.task.command);
    return false;
  }
  const bool in = x.task.direction == ata_direction::in;
  const size_t data_size = in ? ata_block_size : 0;
  miniport_request r(csmi_sas_signature, csmi_stp_pass_through, timeout_,
                     sizeof(csmi_stp_parameters) + sizeof(csmi_stp_status) + data_size);
  csmi_stp_parameters p{};
  p.phy_identifier = target_.phy_identifier;
  p.port_identifier = target_.port_identifier;
  std::memcpy(p.destination_sas_address, target_.sas_address, sizeof p.destination_sas_address);
  command_fis(x.task, p.command_fis);
  p.flags = in ? csmi_stp_read | csmi_stp_pio : csmi_stp_unspecified;
  p.data_length = uint32_t(data_size);
  std::memcpy(r.payload(), &p, sizeof p);
  if (!r.send(query_, h_, name(), "CsmiIoctl", false)) return false;
  const size_t data_at = sizeof p + sizeof(csmi_stp_status);
  if (!query_.check_response_size(r.returned(), uint32_t(data_at), uint32_t(r.payload_size()))) return false;
  const csmi_stp_status status = r.read<csmi_stp_status>(sizeof p);
  if (status.connection_status != 0) {
    errors->report_api_error("CsmiPassThrough_ConnStatus", status.connection_status, "%lu",
                             (unsigned long)x.task.command);
    return false;
  }
  const uint8_t* fis = status.status_fis;
  if (fis[2] & ata_status_error) {
    errors->report_api_error("CsmiPassThrough_FisStatus", uint32_t(fis[2]) << 8 | fis[3], "%lu",
                             (unsigned long)x.task.command);
    return false;
  }
  x.returned = {true, fis[3], fis[12], fis[4], fis[5], fis[6], fis[7], fis[2]};
  if (!in) return true;
  const uint64_t delivered = r.returned() - data_at < status.data_bytes ? r.returned() - data_at : status.data_bytes;
  if (!query_.check_response_size(delivered, uint32_t(ata_block_size), uint32_t(ata_block_size))) return false;
  std::memcpy(x.data.data(), r.reply() + data_at, ata_block_size);
  return true;
}
