#include "app/cli_checks.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "bench/io_file.h"
#include "bench/profile_limits.h"
#include "support/long_path.h"
#include "support/paths.h"
#include "support/text.h"

namespace {
std::wstring full_path(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::vector<wchar_t> buffer(size + 1);
  const DWORD n = GetFullPathNameW(path.c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
  return n == 0 || n >= buffer.size() ? path : std::wstring(buffer.data(), n);
}

std::string quoted(const std::wstring& path) { return "\"" + to_utf8(path) + "\""; }

bool is_missing(uint32_t code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_NOT_READY ||
         code == ERROR_INVALID_DRIVE || code == ERROR_BAD_NETPATH || code == ERROR_BAD_NET_NAME ||
         code == ERROR_DEV_NOT_EXIST || code == ERROR_INVALID_NAME;
}

std::string failure_of(const api_error_info& e) { return e.api + "() " + failure_text(e.code); }

bool check_writable(const char* option, const std::wstring& path, std::string& error) {
  api_error_logger errors;
  {
    io_file existing;
    if (existing.open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                      &errors))
      return true;
  }
  if (errors.last_error().code == ERROR_FILE_NOT_FOUND) {
    io_file created;  // deleted again when it is closed
    if (created.open(path, GENERIC_WRITE | DELETE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                     &errors))
      return true;
  }
  error = std::string(option) + ": " + quoted(path) + " cannot be written: " + failure_of(errors.last_error());
  return false;
}
}  // namespace

bool resolve_location(std::wstring& location, std::string& error) {
  const std::wstring full = full_path(location);
  api_error_logger errors;
  DWORD attributes = 0;
  if (!path_attributes(long_path(full), attributes, &errors)) {
    const api_error_info e = errors.last_error();
    error = "LOCATION: " + quoted(location) +
            (is_missing(e.code) ? std::string(" does not exist") : " cannot be reached: " + failure_of(e));
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error = "LOCATION: " + quoted(location) + " is not a folder";
    return false;
  }
  location = full;
  return true;
}

bool check_output_files(const cli_options& options, std::string& error) {
  const std::pair<const char*, const std::wstring*> outputs[] = {{"--report", &options.report_path},
                                                                 {"--csv", &options.csv_path},
                                                                 {"--json", &options.json_path},
                                                                 {"--record", &options.record_path}};
  for (size_t i = 0; i < sizeof outputs / sizeof outputs[0]; ++i) {
    const std::wstring& path = *outputs[i].second;
    if (path.empty()) continue;
    for (size_t j = 0; j < i; ++j) {
      const std::wstring& other = *outputs[j].second;
      if (!other.empty() && _wcsicmp(full_path(path).c_str(), full_path(other).c_str()) == 0) {
        error = std::string(outputs[i].first) + ": " + quoted(path) + " is the file of " + outputs[j].first;
        return false;
      }
    }
    if (!check_writable(outputs[i].first, path, error)) return false;
  }
  return true;
}

bool check_raw_sizes(const cli_options& options, std::string& error, std::string& note) {
  const uint32_t sector = location_sector_size(options.profile.path);
  const std::vector<uint64_t> sizes = unaligned_raw_sizes(options.profile, sector);
  note.clear();
  if (sizes.empty()) return true;
  const std::string list = size_list_text(sizes), sector_text = std::to_string(sector) + "-byte sector";
  if (!options.sizes_given) {
    // A preset's small raw sizes: the run goes on, and those tests fail without running.
    note = "Raw (unbuffered) tests of " + list + " fail without running: the location's " + sector_text +
           " does not divide them";
    return true;
  }
  error = "--sizes: " + list + (sizes.size() == 1 ? " is not a multiple" : " are not multiples") +
          " of the location's " + sector_text + ", which raw (unbuffered) tests need";
  return false;
}
