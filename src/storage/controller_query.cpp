#include <windows.h>

#include "storage/controllers.h"
#include "storage/drive_steps.h"
#include "support/text.h"

namespace {
// Both interfaces answered: CISS when it reports at least as many RAID volumes.
const controller_info& chosen(const controller_info& csmi, const controller_info& ciss) {
  return ciss.raid_volumes.size() >= csmi.raid_volumes.size() ? ciss : csmi;
}
}  // namespace

bool query_controller(device_api& api, controller_info& controller, const scan_options& options,
                      indenting_logger* log) {
  device_query query(api, log);
  api_handle opened = 0;
  DWORD error = 0;
  if (!api.create_file(controller.interface_path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       OPEN_EXISTING, 0, opened, error)) {
    query.errors()->report_api_error("CreateFile", error, controller.interface_path.c_str());
    return false;
  }
  scoped_api_handle h(api, opened);
  query_inquiry_data(query, h.get());
  controller_info csmi = controller, ciss = controller;
  csmi.protocol = controller_protocol::csmi;
  ciss.protocol = controller_protocol::ciss;
  const bool has_csmi = query_csmi(query, h.get(), options, csmi);
  const bool has_ciss = query_ciss(query, h.get(), options, ciss);
  h.reset();
  if (has_csmi) dump_controller_summary(csmi, log);
  if (has_ciss) dump_controller_summary(ciss, log);
  query.log_timings();
  if (has_csmi && has_ciss) controller = chosen(csmi, ciss);
  else if (has_csmi || has_ciss) controller = has_csmi ? csmi : ciss;
  return has_csmi || has_ciss;
}

void dump_controller_summary(const controller_info& c, indenting_logger* log) {
  log->log(2, "--- Controller summary ---\n");
  log->log(2, "Description                    %s\n", c.description.c_str());
  log->log(2, "Device ID                      %s\n", to_utf8(c.instance_id).c_str());
  log->log(2, "Drives:\n");
  for (const phy_drive& p : c.phys) {
    log->log(2, "%2zu. Serial                     [%s]\n", size_t(p.number), p.serial.c_str());
    log->indent(4);
    log->log(2, "Model                      [%s]\n", p.model.c_str());
    log->log(2, "Firmware                   [%s]\n", p.firmware.c_str());
    log->log(2, "Capacity                   %I64u bytes\n", (unsigned long long)p.capacity);
    log->log(2, "Address                    %s\n", p.address.c_str());
    log->unindent(4);
  }
  if (c.phys.empty()) log->log_indented(2, 2, "<none>\n");
  log->log(2, "Volumes:\n");
  for (const raid_volume& v : c.raid_volumes) {
    log->log(2, "%2zu. Label                      [%s]\n", size_t(v.number), v.label.c_str());
    log->indent(4);
    log->log(2, "Level                      %02x\n", unsigned(v.raid_level));
    log->log(2, "Capacity                   %I64u bytes\n", (unsigned long long)v.capacity);
    log->log(2, "StripeSize                 %u bytes\n", unsigned(v.stripe_size));
    log->log(2, "Drives                     %s\n", number_list(v.drives).c_str());
    log->log(2, "Spares                     %s\n", number_list(v.spares).c_str());
    log->unindent(4);
  }
}

std::string number_list(const std::vector<uint32_t>& numbers) {
  std::string text;
  for (uint32_t n : numbers) text += std::to_string(n) + " ";
  return text;
}

std::string reply_text(const char* field, size_t size, bool trim) {
  std::string text;
  for (size_t i = 0; i < size && field[i]; ++i) {
    const unsigned char c = static_cast<unsigned char>(field[i]);
    text += c >= 0x20 && c < 0x7F ? char(c) : '?';
  }
  if (!trim) return text;
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
