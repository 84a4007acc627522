#pragma once

#include <cstdint>
#include <string>

class api_error_cb;

// MD5 of the binary MachineGuid as 32 lower-case hex digits; "-" on any failure.
std::string machine_id_digest();
std::string machine_id_digest_of(const std::wstring& machine_guid);

struct file_version {
  uint32_t major = 0, minor = 0, build = 0, revision = 0;
  std::string full() const;
  std::string short_form() const;
};
bool program_version(file_version& version, api_error_cb* errors);
