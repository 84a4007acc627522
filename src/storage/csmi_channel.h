#pragma once

#include <cstdint>
#include <string>

#include "storage/ata_command.h"
#include "storage/csmi_requests.h"
#include "storage/device_query.h"

// Where a CSMI pass-through goes: a phy of the controller, or a SAS address the controller finds
// by itself (a RAID member no phy leads to).
struct csmi_target {
  uint8_t phy_identifier = csmi_use_port_identifier;
  uint8_t port_identifier = csmi_ignore_port;
  uint8_t sas_address[8] = {};
  size_t number = 0;    // the phy's number, named in the log
  std::string address;  // the SAS address as text
  bool by_address = false;
};

// ATA commands to a drive behind a CSMI controller, through the STP pass-through, so the IDENTIFY
// and SMART steps of the drives work on the controller's phys as they stand.
class csmi_channel final : public ata_channel {
 public:
  csmi_channel(device_query& query, api_handle h, const csmi_target& target, uint32_t timeout)
      : query_(query), h_(h), target_(target), timeout_(timeout) {}
  const char* name() const override { return "CSMI_SAS_STP_PASSTHRU"; }
  bool send(ata_exchange& x, const char* step) override;
  void log_step(indenting_logger* log, const char* step) const override;

 private:
  device_query& query_;
  api_handle h_;
  csmi_target target_;
  uint32_t timeout_;
};
