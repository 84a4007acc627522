#include "storage/storage_model.h"

std::string source_mask_text(source_mask mask) {
  if (mask == 0) return "-";
  static const char* const names[] = {"ATA", "ATA/PT", "SCSI/PT", "SCSI/PT-DT", "CTRL", "NVME", "OS"};
  std::string text;
  for (unsigned bit = 0; bit < 7; ++bit) {
    if (!(mask & (1u << bit))) continue;
    if (!text.empty()) text += ' ';
    text += names[bit];
  }
  return text;  // bits 7 and up have no names
}
