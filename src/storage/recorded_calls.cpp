#include "storage/recorded_calls.h"

#include <cstring>
#include <string>

const recorded_call recorded_calls[] = {
    {"interface_set", {"class"}, {"ok", "error"}},
    {"has_interface", {"class", "index"}, {"ok"}},
    {"interface_detail", {"class", "index"}, {"ok", "error", "path", "devinst"}},
    {"registry_property", {"class", "index", "property"}, {"ok", "data"}},
    {"device_id", {"devinst"}, {"ok", "error", "id"}},
    {"parent_node", {"devinst"}, {"ok", "error", "parent"}},
    {"node_address", {"devinst"}, {"ok", "error", "address"}},
    {"has_node_properties", {}, {"ok"}},
    {"node_property", {"devinst", "key"}, {"ok", "text"}},
    {"create_file", {"path", "access", "share", "disposition", "flags"}, {"ok", "error"}},
    {"ioctl", {"path", "code", "in", "out_size", "sent*"}, {"ok", "error", "returned", "out", "received*"}},
    {"query_dos_device", {"name", "max_chars"}, {"ok", "error", "target*"}},
    {"find_first_volume", {}, {"ok", "error", "name"}},
    {"find_next_volume", {"index"}, {"ok", "name"}},
    {"volume_information", {"root"}, {"ok", "error", "label", "serial", "flags", "file_system"}},
    {"disk_free_space", {"root"}, {"ok", "error", "free_for_caller", "total_for_caller", "total_free"}},
    {"volume_path_names", {"volume"}, {"ok", "error", "path*"}},
    {"performance_counter", {}, {"value"}},
    {"performance_frequency", {}, {"value"}},
    {"os_version_index", {}, {"value"}},
    {"host_header",
     {},
     {"local_time", "tz_bias", "computer_name", "os_major", "os_minor", "os_build", "os_platform", "os_csd",
      "os_service_pack", "os_suite", "os_product"}},
    {"vds_loader", {}, {"hr"}},
    {"os_name", {}, {"text"}},
    {"vds_interface", {"object", "iid"}, {"hr"}},
    {"vds_call", {"object", "method"}, {"hr", "fetched*", "count*", "string*", "record*", "extents*"}},
};
const int recorded_call_count = int(sizeof recorded_calls / sizeof recorded_calls[0]);

namespace {
const char* const text_fields[] = {"class",      "path",   "name",   "root",        "volume",        "key",
                                   "id",         "target", "label",  "file_system", "computer_name", "os_csd",
                                   "local_time", "text",   "object", "method",      "iid",           "string"};
const char* const binary_fields[] = {"in", "out", "data", "sent", "received", "record", "extents"};

bool listed(const char* const* names, size_t count, const std::string& name) {
  for (size_t i = 0; i < count; ++i)
    if (name == names[i]) return true;
  return false;
}
}  // namespace

field_kind kind_of_field(const std::string& name) {
  if (listed(text_fields, sizeof text_fields / sizeof *text_fields, name)) return field_kind::text;
  if (listed(binary_fields, sizeof binary_fields / sizeof *binary_fields, name)) return field_kind::binary;
  return field_kind::number;
}

const recorded_call* find_recorded_call(const char* name) {
  for (const recorded_call& c : recorded_calls)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}
