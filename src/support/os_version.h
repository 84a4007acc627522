#pragma once

#include <cstdint>
#include <string>

class api_error_cb;

// What the version query reports, before it is classified.
struct os_version_facts {
  uint32_t platform_id;
  uint32_t major, minor, build;
  uint8_t product_type;  // VER_NT_WORKSTATION = 1
  bool server_r2;        // SM_SERVERR2
};

int classify_os_version(const os_version_facts& facts);
// "platform.major.minor.build.type.kernel.registry": the kernel's and the registry's product
// types ("x" where unknown) follow the query's.
std::string os_version_text(const os_version_facts& facts, const std::string& kernel_type,
                            const std::string& registry_type);
const char* os_name_of_index(int index);

// The running system, computed once.
int os_version_index();
const char* os_name();
std::string os_version_string();

// Sum of the upper-cased characters' codes of a ProductType text, low 16 bits: 400 -> 1,
// 601 -> 2, 633 -> 3; 0 for anything else.
unsigned product_type_code(const std::wstring& text);
