#include "results/report_host.h"

#include "support/host_info.h"
#include "support/optional_functions.h"
#include "support/os_version.h"

report_host read_report_host(api_error_cb* errors) {
  report_host host;
  file_version version;
  if (program_version(version, errors)) host.version = version.full();
  host.os_name = os_name();
  host.os_version = os_version_string();
  host.wow64 = is_64bit_os();
  host.machine_id = machine_id_digest();
  return host;
}
