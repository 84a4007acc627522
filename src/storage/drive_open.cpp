#include "storage/drive_ioctls.h"

#include "storage/drives.h"

namespace {
// Strongest first: the later tries still let the descriptors and layout through on locked-down disks.
const DWORD open_tries[] = {
    GENERIC_READ | GENERIC_WRITE,
    GENERIC_READ,
    FILE_READ_DATA | FILE_READ_ATTRIBUTES,
    FILE_READ_ATTRIBUTES,
};
}  // namespace

api_handle open_drive(device_query& query, drive_info& drive, bool report) {
  indenting_logger* log = query.log();
  log->log(2, "Opening device...\n");
  for (DWORD access : open_tries) {
    api_handle h = 0;
    DWORD error = 0;
    if (query.api().create_file(drive.device_path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, h,
                                error)) {
      drive.open_access = access;
      log->log_indented(3, 2, "OK, with [%s] access\n", access_text(access).c_str());
      return h;
    }
    if (report) query.errors()->report_api_error("CreateFile", error, "%s", access_text(access).c_str());
  }
  drive.open_access = unknown_u32;
  log->log_indented(3, 2, "Failed\n");
  return 0;
}

std::string descriptor_string(const uint8_t* reply, size_t size, size_t offset, bool trim) {
  if (offset == 0 || offset >= size) return std::string();
  size_t end = offset;
  while (end < size && reply[end] != 0) ++end;
  std::string text(reinterpret_cast<const char*>(reply + offset), end - offset);
  for (unsigned char c : text)
    if (c < 0x20 || c >= 0x7F) return std::string();
  if (!trim) return text;
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
