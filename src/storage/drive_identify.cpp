#include "storage/drive_identify.h"

#include "storage/drive_name_text.h"
#include "storage/drive_names.h"

namespace {

constexpr size_t ata_model_offset = 54, ata_serial_offset = 20, ata_firmware_offset = 46;
constexpr size_t nvme_model_offset = 24, nvme_serial_offset = 4, nvme_firmware_offset = 64;
constexpr size_t model_length = 40, serial_length = 20, firmware_length = 8;

std::string trimmed_field(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

void replace_if_newer(std::string& field, const std::string& value, const char* format, indenting_logger* log) {
  if (value.empty() || value == field) return;
  if (log) log->log(2, format, field.c_str(), value.c_str());
  field = value;
}

bool starts_with_maker(const std::string& description) {
  return istarts_with(description, "Samsung ") || istarts_with(description, "Toshiba ") ||
         istarts_with(description, "Hynix ");
}

}  // namespace

std::string ata_string(const uint8_t* block, size_t offset, size_t length) {
  std::string text(reinterpret_cast<const char*>(block + offset), length);
  for (size_t i = 0; i + 1 < length; i += 2) std::swap(text[i], text[i + 1]);
  return trimmed_field(text);
}

std::string nvme_string(const uint8_t* block, size_t offset, size_t length) {
  return trimmed_field(std::string(reinterpret_cast<const char*>(block + offset), length));
}

display_names normalize_drive_names(const drive_info& drive) {
  std::string model;
  if (drive.identify_source != 0) model = ata_string(drive.identify.data(), ata_model_offset, model_length);
  if (model.empty()) model = drive.product_org;
  model = trimmed(model);
  std::string vendor = trimmed(drive.vendor_org);
  if (model.empty() && vendor.empty() && icontains(narrow_ascii(drive.instance_id), "dataram_ramdisk"))
    return {"Dataram", "RAMDisk"};
  if (drive.description == L"SanDisk Extreme USB Device") model = "Extreme";
  if (istarts_with(vendor, "VID:")) {
    std::string description = narrow_ascii(drive.description);
    vendor = starts_with_maker(description) ? description.substr(0, description.find(' ')) : std::string();
  }
  guess_vendor_and_model(model, vendor);
  return {vendor, model};
}

display_names normalize_phy_names(const phy_drive& phy) {
  std::string model;
  if (phy.has_identify) model = ata_string(phy.identify.data(), ata_model_offset, model_length);
  else model = phy.model;
  model = trimmed(model);
  std::string vendor;
  guess_vendor_and_model(model, vendor);
  return {vendor, model};
}

void update_names_from_identify(drive_info& drive, indenting_logger* log) {
  bool ata = drive.identify_source != 0;
  bool nvme = drive.has_nvme_identify && drive.nvme_identify.size() >= nvme_firmware_offset + firmware_length;
  if (!ata && !nvme) return;
  if (log) {
    log->log(2, "Updating drive info from its %s/IDENTIFY block...\n", ata ? "ATA" : "NVMe");
    log->indent(2);
  }
  std::string model, serial, firmware;
  if (ata) {
    const uint8_t* block = drive.identify.data();
    model = ata_string(block, ata_model_offset, model_length);
    serial = ata_string(block, ata_serial_offset, serial_length);
    firmware = ata_string(block, ata_firmware_offset, firmware_length);
  } else {
    const uint8_t* block = drive.nvme_identify.data();
    model = nvme_string(block, nvme_model_offset, model_length);
    serial = nvme_string(block, nvme_serial_offset, serial_length);
    firmware = nvme_string(block, nvme_firmware_offset, firmware_length);
  }
  replace_if_newer(drive.product_org, model, "Product                    [%s] -> [%s]\n", log);
  replace_if_newer(drive.serial, serial, "Serial                     [%s] -> [%s]\n", log);
  replace_if_newer(drive.revision_org, firmware, "Revision                   [%s] -> [%s]\n", log);
  if (log) log->unindent(2);
}
