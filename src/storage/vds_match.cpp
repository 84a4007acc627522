#include <cwchar>

#include "storage/vds.h"
#include "support/text.h"

namespace {
bool ends_with(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The N of "...\PhysicalDriveN"; false when the name has none.
bool physical_drive_number(const std::wstring& name, uint32_t& number) {
  static const wchar_t marker[] = L"\\PhysicalDrive";
  const size_t at = name.find(marker);
  if (at == std::wstring::npos) return false;
  const size_t digits = at + wcslen(marker);
  if (digits >= name.size() || !iswdigit(name[digits])) return false;
  uint64_t n = 0;
  for (size_t i = digits; i < name.size() && iswdigit(name[i]) && n <= 0xFFFFFFFFull; ++i)
    n = n * 10 + (name[i] - L'0');
  if (n > 0xFFFFFFFFull) return false;
  number = uint32_t(n);
  return true;
}

void match_extents(volume_info& v, const vds_item& item, indenting_logger* log) {
  for (size_t k = 0; k < item.extents.size(); ++k) {
    const vds_extent& x = item.extents[k];
    uint32_t disk = 0;
    if (x.disk_name.empty()) {
      volume_extent e;
      e.disk_number = unknown_u32;
      e.offset = x.offset;
      e.length = x.size;
      e.member_index = x.member_index;
      v.extents.push_back(e);
      log->log_indented(2, 4, "VDS extent %u - on a missing drive, added\n", unsigned(k));
    } else if (physical_drive_number(x.disk_name, disk)) {
      size_t found = v.extents.size();
      for (size_t i = 0; i < v.extents.size() && found == v.extents.size(); ++i) {
        const volume_extent& e = v.extents[i];
        if (e.disk_number == disk && e.offset == x.offset && e.length == x.size) found = i;
      }
      if (found < v.extents.size()) {
        v.extents[found].member_index = x.member_index;
        log->log_indented(2, 4, "VDS extent %u - matched to extent %u\n", unsigned(k), unsigned(found));
      } else {
        log->log_indented(2, 4, "VDS extent %u - disk %u, offset %I64u, size %I64u - NO MATCH\n", unsigned(k),
                          unsigned(disk), (unsigned long long)x.offset, (unsigned long long)x.size);
      }
    } else {
      log->log_indented(2, 4, "VDS extent %u - bad disk name [%s]\n", unsigned(k), to_utf8(x.disk_name).c_str());
    }
  }
}
}  // namespace

void match_vds(std::vector<volume_info>& volumes, std::vector<vds_item>& items, indenting_logger* log) {
  log->log(2, "Matching volumes to VDS info...\n");
  for (size_t vi = 0; vi < volumes.size(); ++vi) {
    volume_info& v = volumes[vi];
    if (v.nt_device_name.empty()) continue;
    for (size_t ii = 0; ii < items.size(); ++ii) {
      vds_item& item = items[ii];
      if (!ends_with(item.volume_name, v.nt_device_name)) continue;
      v.vds_matched = true;
      v.vds_volume_id = item.id;
      v.vds_volume_type = item.type;
      v.vds_status = item.status;
      v.vds_health = item.health;
      v.vds_transition_state = item.transition_state;
      v.vds_size = item.size;
      v.vds_flags = item.flags;
      v.vds_recommended_fs = item.recommended_file_system;
      item.used = true;
      log->log(2, "Volume %u matched to VDS item %u\n", unsigned(vi), unsigned(ii));
      log->log_indented(2, 2, "Matching volume extents...\n");
      match_extents(v, item, log);
      break;
    }
  }
  for (size_t ii = 0; ii < items.size(); ++ii)
    if (!items[ii].used)
      log->log(2, "Unused VDS item %u, [%s]\n", unsigned(ii), to_utf8(items[ii].volume_name).c_str());
}
