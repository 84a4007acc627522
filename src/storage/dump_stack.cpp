#include <string>

#include "storage/drive_identify.h"
#include "storage/drive_kinds.h"
#include "storage/smart_table.h"
#include "storage/storage_scan.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
const char* entry_title(const stack_entry& e) {
  if (!e.drive) return "Drive (inaccessible)";
  return e.raid ? "Array" : "Drive";
}

std::string oem_value(const oem_attribute& a) {
  if (a.numeric) return format_string("%I64u", (unsigned long long)a.value);
  std::string text;
  for (size_t i = 0; i < a.raw.size(); ++i) {
    if (i) text += ':';
    text += format_string("%02x", unsigned(a.raw[i]));
  }
  return text;
}

// A controller-side drive, its labels padded to `width` (members sit two deeper than entries).
void dump_phy(const phy_drive& p, indenting_logger* log, int width) {
  const display_names n = normalize_phy_names(p);
  log->log(2, "%-*s[%s]\n", width, "Vendor", n.vendor.c_str());
  log->log(2, "%-*s[%s], org [%s]\n", width, "Model", n.model.c_str(), p.model.c_str());
  log->log(2, "%-*s[%s]\n", width, "Serial", p.serial.c_str());
  log->log(2, "%-*s%I64u\n", width, "Capacity", (unsigned long long)p.capacity);
  log->log(2, "%-*s%u\n", width, "SSD", is_phy_ssd(p) ? 1u : 0u);
  log->log(2, "%-*s%s\n", width, "Address", p.address.c_str());
  if (p.has_smart) dump_smart_table(smart_rows(p.smart, is_phy_ssd(p), n.vendor, n.model), log);
  if (p.oem_attributes.empty()) return;
  log->log(2, "%-*s%zu entries\n", width, "OEM attributes", p.oem_attributes.size());
  for (size_t i = 0; i < p.oem_attributes.size(); ++i) {
    const oem_attribute& a = p.oem_attributes[i];
    const std::string name = a.name.empty() ? format_string("Enumerated <%u>", unsigned(a.id)) : a.name;
    log->log(2, "%2zu. %-30s     %s\n", i + 1, name.c_str(), oem_value(a).c_str());
  }
}

void dump_inaccessible(const stack_entry& e, indenting_logger* log) {
  log->log(2, "Controller                 %s\n", e.controller->description.c_str());
  dump_phy(*e.members.at(0), log, 27);
}

void dump_drive(const stack_entry& e, indenting_logger* log) {
  const drive_info& d = *e.drive;
  const display_names n = normalize_drive_names(d);
  log->log(2, "Description                [%s]\n", to_utf8(d.description).c_str());
  log->log(2, "Vendor                     [%s], org [%s]\n", n.vendor.c_str(), d.vendor_org.c_str());
  log->log(2, "Model                      [%s], org [%s]\n", n.model.c_str(), d.product_org.c_str());
  log->log(2, "Serial                     [%s]\n", d.serial.c_str());
  log->log(2, "Capacity                   %I64u\n", (unsigned long long)d.capacity);
  log->log(2, "SSD                        %u\n", is_ssd(d) ? 1u : 0u);
  log->log(2, "Bus types                  %u %u\n", unsigned(d.bus_type), unsigned(d.adapter_bus_type));
  log->log(2, "Info sources               %s\n", source_mask_text(d.identify_source).c_str());
  if (!e.raid) {
    dump_drive_health(d, n.vendor, n.model, log);
    return;
  }
  log->log(2, "Mode                       RAID 0x%02x\n", unsigned(e.raid->raid_level));
  for (size_t j = 0; j < e.members.size(); ++j) {
    log->log(2, "Drive %2zu\n", j + 1);
    log->indent(2);
    dump_phy(*e.members[j], log, 25);
    log->unindent(2);
  }
}
}  // namespace

void dump_stack(const storage_stack& model, logger* target) {
  indenting_logger* log = new indenting_logger(target ? target : &a_null_logger::instance);
  log->log(2, "Storage stack:\n");
  for (size_t i = 0; i < model.stack.size(); ++i) {
    const stack_entry& e = model.stack[i];
    log->log(2, "%2zu. %s\n", i + 1, entry_title(e));
    log->indent(6);
    if (!e.drive) dump_inaccessible(e, log);
    else dump_drive(e, log);
    log->unindent(6);
  }
  log->release();
}
