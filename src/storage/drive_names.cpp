#include "storage/drive_names.h"

#include "storage/drive_name_tables.h"
#include "storage/drive_name_text.h"

// The rules are ordered: a rule returning true has settled both names and ends the chain.

namespace {

std::string from(const std::string& text, size_t index) {
  return index < text.size() ? text.substr(index) : std::string();
}

// Drops the exact word found at p > 0, keeping the blank before it.
bool cut_word(std::string& model, const char* word) {
  size_t p = model.find(word);
  if (p == std::string::npos || p == 0) return false;
  model = model.substr(0, p + 1) + from(model, p + std::char_traits<char>::length(word));
  return true;
}

void apply_enclosure_rule(std::string& model, std::string& vendor) {
  for (const enclosure_row& row : enclosure_table) {
    if (!iequals(vendor, row.reported)) continue;
    std::string inner_vendor;
    guess_vendor_and_model(model, inner_vendor);
    vendor = row.display;
    if (!inner_vendor.empty()) vendor += " / " + inner_vendor;
    return;
  }
  if (iequals(vendor, "Seagate") && istarts_with(model, "WD")) vendor = "Seagate / Western Digital";
  else if (iequals(vendor, "ADATA") && istarts_with(model, "TOSHIBA")) vendor = "ADATA / Toshiba";
  else if (iequals(vendor, "Samsung") && istarts_with(model, "ST")) vendor = "Samsung / Seagate";
}

bool pattern_matches(const model_pattern_row& row, const std::string& model) {
  if (!istarts_with(model, row.prefix)) return false;
  size_t n = std::char_traits<char>::length(row.prefix);
  if (row.next_chars) {
    if (model.size() <= n) return false;
    char next = model[n];
    if (next >= 'a' && next <= 'z') next = char(next - 'a' + 'A');
    if (std::char_traits<char>::find(row.next_chars, std::char_traits<char>::length(row.next_chars), next) == nullptr)
      return false;
  }
  return !ends_with_exact(model, row.excluded_ending);
}

void apply_model_prefix_rules(std::string& model, std::string& vendor) {
  if (model.size() < 3) return;
  for (const model_pattern_row& row : model_pattern_table) {
    if (!pattern_matches(row, model)) continue;
    if (vendor.empty()) vendor = row.vendor;
    return;
  }
  for (const model_prefix_row& row : model_prefix_table) {
    for (const char* prefix : row.prefixes) {
      if (!istarts_with(model, prefix)) continue;
      model = from(model, std::char_traits<char>::length(prefix));
      if (vendor.empty()) vendor = row.vendor;
      return;
    }
  }
}

void apply_vendor_name_rules(std::string& vendor) {
  for (const vendor_name_row& row : vendor_name_table) {
    if (!iequals(vendor, row.name)) continue;
    vendor = row.name;
    return;
  }
  if (iequals(vendor, "Msft")) vendor = "Microsoft";
  else if (iequals(vendor, "HP")) vendor = "Hewlett Packard";
  else if (istarts_with(vendor, "INTEL")) vendor = "Intel";
  else if (istarts_with(vendor, "WDC WD") || iequals(vendor, "WDC")) vendor = "Western Digital";
  else if (iequals(vendor, "XENSRC")) vendor = "Xen Project";
  else if (iequals(vendor, "JMCR")) vendor = "JMicron";
}

void apply_family_name(std::string& model) {
  for (const model_family_row& row : model_family_table) {
    if (!istarts_with(model, row.name)) continue;
    size_t n = std::char_traits<char>::length(row.name);
    std::string rest = from(model, n);
    model = row.name;
    if (!rest.empty() && rest[0] != ' ') model += ' ';
    model += rest;
    return;
  }
}

void apply_model_rules(std::string& model, const std::string& vendor) {
  if (vendor == "OCZ" || vendor == "HDC") {
    apply_family_name(model);
  } else if (vendor == "Intel") {
    size_t p = model.find(" SATA");
    if (istarts_with(model, "SSD") && p != std::string::npos) model.resize(p);
  } else {
    for (const flash_name_row& row : flash_name_table) {
      if (!iequals(model, row.name)) continue;
      model = row.name;
      break;
    }
    if (model == "Card  Reader" || model == "CARD-READER") model = "Card Reader";
  }
}

void apply_final_steps(std::string& model, std::string& vendor) {
  apply_enclosure_rule(model, vendor);
  if (!vendor.empty()) {
    if (vendor.back() == ',' || vendor.back() == '_') vendor.pop_back();
    if (ends_with_exact(vendor, " -")) vendor.resize(vendor.size() - 2);
  }
  apply_model_prefix_rules(model, vendor);
  apply_vendor_name_rules(vendor);
  apply_model_rules(model, vendor);
  model = trimmed(model);
  vendor = trimmed(vendor);
}

// Names a bridge or a virtual disk puts in place of the drive's own (rules 1 to 5).
bool bridge_rules(std::string& model, std::string& vendor) {
  if (istarts_with(vendor, "TS-RDF")) {
    model = vendor;
    vendor = "Transcend";
    return true;
  }
  if (iequals(vendor, "JetFlash") && istarts_with(model, "Transcend")) {
    model = "JetFlash" + from(model, 9);
    vendor = "Transcend";
    return true;
  }
  if (iequals(model, "VBOX HARDDISK")) {
    model = "VirtualBox HardDisk";
    vendor = "Oracle";
    return true;
  }
  if ((vendor == "USB" && istarts_with(model, "DISK")) || (vendor == "USB3.0" && istarts_with(model, "FLASH ")) ||
      (vendor == "USB Mass" && model == "Storage Device")) {
    model = vendor + " " + model;
    vendor.clear();
    return true;
  }
  if (istarts_with(model, "Toshiba-TR")) {
    model = "OCZ" + from(model, 7);
    vendor = "Toshiba";
    return true;
  }
  return false;
}

// Some bridges report "VID:" and a number; a few models still tell the maker.
bool vid_rule(const std::string& model, std::string& vendor) {
  if (!istarts_with(vendor, "VID:")) return false;
  if (model == "BGND3R") vendor = "Samsung";
  else if (model == "DF4064") vendor = "SanDisk";
  else if (model == "HCG4a2") vendor = "SK hynix";
  else return false;
  return true;
}

// The ATA model split over the SCSI vendor and product fields (rules 6 to 15).
bool split_model_rules(std::string& model, std::string& vendor) {
  if (vendor == "Micron 1") vendor = "Micron";
  if (vid_rule(model, vendor)) return true;
  if (istarts_with(vendor, "IC25N0") && (istarts_with(model, "ATCS") || istarts_with(model, "ATMR"))) {
    model = vendor + model;
    vendor = "Hitachi";
    return true;
  }
  if (istarts_with(vendor, "SSD2SC")) vendor.clear();
  if (istarts_with(vendor, "WDC WD") && !istarts_with(model, "WD")) model = vendor + model;
  if (iequals(vendor, "Maxtor 6") && !model.empty() && is_digit(model[0])) {
    model = "6" + model;
    vendor = "Maxtor";
  }
  if (istarts_with(vendor, "TOR STM")) vendor = "Maxtor";
  if (ends_with_exact(model, "   LENOVO")) model = trimmed(model.substr(0, model.size() - 6));
  if (istarts_with(vendor, "C300-") && !istarts_with(model, "C300-")) {
    model = vendor + model;
    vendor = "Crucial";
    return true;
  }
  if (iequals(vendor, "ADATA SP")) {
    vendor = "ADATA";
    if (!istarts_with(model, "SP")) model = "SP" + model;
  }
  return false;
}

// Makers named inside the model, and brand-specific fixes (rules 16 to 23).
bool brand_rules(std::string& model, std::string& vendor) {
  if (ends_with_exact(model, " NVMe SAMSU")) {
    model.resize(model.size() - 11);
    vendor = "Samsung";
    return true;
  }
  if (cut_word(model, " NVMe SAMSUNG ")) {
    vendor = "Samsung";
    return true;
  }
  if (ends_with_exact(model, " TOSHIBA")) model.resize(model.size() - 8);
  if (cut_word(model, " NVMe TOSHIBA ")) {
    vendor = "Toshiba";
    return true;
  }
  if (iequals(vendor, "COVECUBE")) {
    if (istarts_with(model, "CoveFs")) model = "DrivePool";
    vendor = "StableBit";
    return true;
  }
  if (istarts_with(vendor, "HzW RAID")) vendor = "HornetTek";
  if (istarts_with(model, "Bell ") && iequals(vendor, "Packard")) {
    vendor = "Packard Bell";
    model = from(model, 5);
    return true;
  }
  if (istarts_with(model, "Silicon-Power") && !istarts_with(vendor, "Silicon")) {
    // Without a reported vendor there is nothing to glue: no leading blank.
    if (!vendor.empty()) model = vendor + " " + model;
    vendor = "Silicon Power";
    return true;
  }
  if (istarts_with(vendor, "PHD ")) {
    vendor = "Silicon Power";
    apply_enclosure_rule(model, vendor);
    return true;
  }
  return false;
}

bool is_generic_vendor(const std::string& model, const std::string& vendor) {
  for (const generic_vendor_row& row : generic_vendor_table) {
    if (row.vendor_equals && !iequals(vendor, row.vendor_equals)) continue;
    if (row.vendor_starts && !istarts_with(vendor, row.vendor_starts)) continue;
    if (row.model_starts && !istarts_with(model, row.model_starts)) continue;
    return true;
  }
  return false;
}

// Vendor fields that say nothing about the maker (rules 24 to 32).
void generic_name_rules(std::string& model, std::string& vendor) {
  if (istarts_with(model, "ATA ")) model = trimmed(model.substr(4));
  if (istarts_with(model, "Backup+")) vendor = "Seagate";
  if (iequals(model, "Patriot Memory")) {
    vendor = "Patriot";
    model = "Flash storage";
  }
  if (istarts_with(vendor, "Generic") || istarts_with(vendor, "General") || iequals(vendor, "H/W RAID")) vendor.clear();
  if (iequals(vendor, "Ext Hard")) vendor.clear();
  if (istarts_with(vendor, "ST") && vendor.size() > 2 && is_digit(vendor[2])) {
    if (!istarts_with(model, vendor.c_str())) model = vendor + model;
    vendor.clear();
  }
  if (is_generic_vendor(model, vendor)) vendor.clear();
  if (vendor == "INTEL SS" && istarts_with(model, "D")) {
    model = vendor + model;
    vendor.clear();
  }
  if (vendor == "INTEL SS" && istarts_with(model, vendor.c_str())) vendor.clear();
}

}  // namespace

void guess_vendor_and_model(std::string& model, std::string& vendor) {
  if (bridge_rules(model, vendor)) return;
  if (split_model_rules(model, vendor)) return;
  if (brand_rules(model, vendor)) return;
  generic_name_rules(model, vendor);
  apply_final_steps(model, vendor);
}
