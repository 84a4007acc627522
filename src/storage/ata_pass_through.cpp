#include "storage/ata_pass_through.h"

#include <cstring>
#include <string>
#include <vector>

#include "storage/ata_requests.h"
#include "storage/sat_translation.h"
#include "support/fatal.h"

namespace {
const char* const path_names[ata_path_count] = {"SMART_RCV_DRIVE_DATA", "IOCTL_ATA_PASS_THROUGH",
                                                "IOCTL_SCSI_PASS_THROUGH", "IOCTL_SCSI_PASS_THROUGH_DIRECT"};
constexpr uint32_t ata_status_error = 0x01, ata_status_data_request = 0x08;

bool has_data(const ata_task_file& t) { return t.direction != ata_direction::none; }

// What every path reports when the reply is not the size the command gives.
bool check_size(api_error_cb* errors, uint64_t returned, uint32_t minimum, uint32_t maximum) {
  if (minimum <= returned && returned <= maximum) return true;
  errors->report_api_error("CheckResponseSize", no_error_code, "%I64u %lu %lu", (unsigned long long)returned,
                           (unsigned long)minimum, (unsigned long)maximum);
  return false;
}

void report_call(api_error_cb* errors, DWORD error, DWORD returned, DWORD code, const ata_task_file& t) {
  errors->report_api_error("DeviceIoControl", error, "%I64u %lu %lu", (unsigned long long)returned, (unsigned long)code,
                           (unsigned long)t.command);
}

ide_registers to_ide(const ata_task_file& t) {
  return {uint8_t(t.features),
          uint8_t(t.sector_count),
          uint8_t(t.lba),
          uint8_t(t.lba >> 8),
          uint8_t(t.lba >> 16),
          t.device,
          t.command,
          0};
}

// SMART_RCV_DRIVE_DATA for commands that read a block, SMART_SEND_DRIVE_COMMAND for the others.
// A command without data gets the registers back instead of a block.
bool send_smart_ioctl(device_query& q, api_handle h, ata_exchange& x, const char* timing_name) {
  api_error_cb* errors = q.errors();
  if (x.task.is48) {
    errors->report_api_error("CheckTaskFile", no_error_code, "%lu", (unsigned long)x.task.command);
    return false;
  }
  const bool in = x.task.direction == ata_direction::in, out = x.task.direction == ata_direction::out;
  std::vector<uint8_t> request(offsetof(smart_command_in, buffer) + ata_block_size, 0);
  smart_command_in header{};
  header.buffer_size = has_data(x.task) ? uint32_t(ata_block_size) : 0;
  header.registers = to_ide(x.task);
  std::memcpy(request.data(), &header, offsetof(smart_command_in, buffer));
  if (out) std::memcpy(request.data() + offsetof(smart_command_in, buffer), x.data.data(), ata_block_size);
  const DWORD in_size = out ? DWORD(request.size()) : DWORD(sizeof(smart_command_in));
  const DWORD expected = DWORD(sizeof(smart_command_out_header) + (in ? ata_block_size : sizeof(ide_registers)));
  std::vector<uint8_t> reply(expected, 0);
  const DWORD code = in ? ioctl_smart_rcv_drive_data : ioctl_smart_send_drive_command;
  DWORD returned = 0, error = 0;
  if (!q.timed_ioctl(h, code, timing_name, request.data(), in_size, reply.data(), expected, returned, error)) {
    report_call(errors, error, returned, code, x.task);
    return false;
  }
  smart_command_out_header status{};
  if (returned >= sizeof status) {
    std::memcpy(&status, reply.data(), sizeof status);
    if (status.status.driver_error != 0) {
      const uint32_t error_code = (uint32_t(status.status.driver_error) | 0xFF000) << 8 | status.status.ide_error;
      errors->report_api_error("CheckDriverStatus", error_code, "%I64u %lu %lu", (unsigned long long)returned,
                               (unsigned long)code, (unsigned long)x.task.command);
      // Set after the report, which may make calls of its own.
      q.api().set_last_error(error_code);
      return false;
    }
  }
  if (!check_size(errors, returned, expected, expected)) return false;
  const uint8_t* buffer = reply.data() + sizeof(smart_command_out_header);
  if (in) {
    std::memcpy(x.data.data(), buffer, ata_block_size);
  } else {
    ide_registers r;
    std::memcpy(&r, buffer, sizeof r);
    x.returned = {true, r.features, r.sector_count, r.lba_low, r.lba_mid, r.lba_high, r.device, r.command};
  }
  return true;
}

bool send_ata_pass_through(device_query& q, api_handle h, ata_exchange& x, uint32_t timeout, const char* timing_name) {
  api_error_cb* errors = q.errors();
  const bool data = has_data(x.task);
  ata_pass_through_request r{};
  ata_pass_through_ex& a = r.header;
  a.length = sizeof a;
  a.ata_flags = ata_flags_drdy_required;
  if (x.task.direction == ata_direction::in) a.ata_flags |= ata_flags_data_in;
  if (x.task.direction == ata_direction::out) a.ata_flags |= ata_flags_data_out;
  if (x.task.is48) a.ata_flags |= ata_flags_48bit_command;
  a.data_transfer_length = data ? uint32_t(ata_block_size) : 0;
  a.timeout_value = timeout;
  a.data_buffer_offset = data ? offsetof(ata_pass_through_request, data) : 0;
  const ide_registers now = to_ide(x.task);
  std::memcpy(a.current_task_file, &now, sizeof now);
  const ata_task_file& t = x.task;
  const uint8_t previous[8] = {uint8_t(t.features >> 8),
                               uint8_t(t.sector_count >> 8),
                               uint8_t(t.lba >> 24),
                               uint8_t(t.lba >> 32),
                               uint8_t(t.lba >> 40),
                               0,
                               0,
                               0};
  if (t.is48) std::memcpy(a.previous_task_file, previous, sizeof previous);
  if (t.direction == ata_direction::out) std::memcpy(r.data, x.data.data(), ata_block_size);
  const DWORD size = data ? DWORD(sizeof r) : DWORD(sizeof a);
  DWORD returned = 0, error = 0;
  if (!q.timed_ioctl(h, ioctl_ata_pass_through, timing_name, &r, size, &r, size, returned, error)) {
    report_call(errors, error, returned, ioctl_ata_pass_through, t);
    return false;
  }
  const uint8_t status = a.current_task_file[6];
  if (returned >= sizeof a && (status & (ata_status_error | ata_status_data_request))) {
    errors->report_api_error("AtaPassThrough", status, "%I64u %lu %lu", (unsigned long long)returned,
                             (unsigned long)ioctl_ata_pass_through, (unsigned long)t.command);
    return false;
  }
  // Without data the reply is the structure alone.
  if (!check_size(errors, returned, size, size)) return false;
  if (t.direction == ata_direction::in) std::memcpy(x.data.data(), r.data, ata_block_size);
  const uint8_t* f = a.current_task_file;
  x.returned = {true, f[0], f[1], f[2], f[3], f[4], f[5], f[6]};
  return true;
}

// The SCSI paths wrap the command in ATA PASS-THROUGH. A command without data asks for its
// registers back (CK_COND): the drive's health is in them.
template <typename request_t>
void prepare_scsi(request_t& r, const ata_task_file& t, uint32_t timeout) {
  auto& s = r.header;
  s.length = sizeof s;
  s.sense_info_length = scsi_sense_size;
  s.sense_info_offset = offsetof(request_t, sense);
  s.timeout_value = timeout;
  s.data_in = t.direction == ata_direction::in    ? scsi_data_in
              : t.direction == ata_direction::out ? scsi_data_out
                                                  : scsi_data_unspecified;
  s.data_transfer_length = has_data(t) ? uint32_t(ata_block_size) : 0;
  s.cdb_length = uint8_t(ata_pass_through_cdb(t, !has_data(t), s.cdb));
}

// Status, sense and transfer length of a finished SCSI request.
template <typename header_t>
bool check_scsi(api_error_cb* errors, const header_t& s, const uint8_t* sense, const ata_task_file& t,
                ata_registers& registers) {
  const size_t sense_length = s.sense_info_length < scsi_sense_size ? s.sense_info_length : scsi_sense_size;
  const bool have_registers = ata_registers_from_sense(sense, sense_length, registers);
  // The registers asked for come with CHECK CONDITION; the command still succeeded.
  const bool answered =
      s.scsi_status == scsi_status_good || (s.scsi_status == scsi_status_check_condition && !has_data(t) &&
                                            have_registers && !(registers.status & ata_status_error));
  if (!answered) {
    errors->report_api_error("CheckScsiStatus", s.scsi_status, "%lu", (unsigned long)t.command);
    return false;
  }
  if (has_data(t) && s.data_transfer_length != ata_block_size)
    return check_size(errors, s.data_transfer_length, uint32_t(ata_block_size), uint32_t(ata_block_size));
  return true;
}

void report_scsi_call(api_error_cb* errors, DWORD error, DWORD code, const ata_task_file& t) {
  errors->report_api_error("DeviceIoControl", error, "%lu %lu", (unsigned long)code, (unsigned long)t.command);
}

bool send_scsi_pass_through(device_query& q, api_handle h, ata_exchange& x, uint32_t timeout, const char* timing_name) {
  api_error_cb* errors = q.errors();
  const ata_task_file& t = x.task;
  scsi_pass_through_request r{};
  prepare_scsi(r, t, timeout);
  r.header.data_buffer = has_data(t) ? offsetof(scsi_pass_through_request, data) : 0;
  if (t.direction == ata_direction::out) std::memcpy(r.data, x.data.data(), ata_block_size);
  const DWORD in_size = DWORD(t.direction == ata_direction::out ? sizeof r : offsetof(scsi_pass_through_request, data));
  DWORD returned = 0, error = 0;
  if (!q.timed_ioctl(h, ioctl_scsi_pass_through, timing_name, &r, in_size, &r, sizeof r, returned, error)) {
    report_scsi_call(errors, error, ioctl_scsi_pass_through, t);
    return false;
  }
  // The status first: a failed command comes back without its data.
  if (!check_size(errors, returned, sizeof r.header, sizeof r)) return false;
  ata_registers registers;
  if (!check_scsi(errors, r.header, r.sense, t, registers)) return false;
  if (t.direction == ata_direction::in) {
    const uint32_t with_data = uint32_t(offsetof(scsi_pass_through_request, data) + ata_block_size);
    if (!check_size(errors, returned, with_data, sizeof r)) return false;
    std::memcpy(x.data.data(), r.data, ata_block_size);
  }
  x.returned = registers;
  return true;
}

// The direct path transfers straight into the caller's buffer, which the adapter may want aligned.
class aligned_block {
 public:
  aligned_block() : storage_(ata_block_size + alignment, 0) {}
  uint8_t* data() {
    const uintptr_t at = reinterpret_cast<uintptr_t>(storage_.data());
    return storage_.data() + ((alignment - at % alignment) % alignment);
  }

 private:
  static constexpr size_t alignment = 4096;
  std::vector<uint8_t> storage_;
};

bool send_scsi_pass_through_direct(device_query& q, api_handle h, ata_exchange& x, uint32_t timeout,
                                   const char* timing_name) {
  api_error_cb* errors = q.errors();
  const ata_task_file& t = x.task;
  aligned_block buffer;
  scsi_pass_through_direct_request r{};
  prepare_scsi(r, t, timeout);
  r.header.data_buffer = has_data(t) ? buffer.data() : nullptr;
  if (t.direction == ata_direction::out) std::memcpy(buffer.data(), x.data.data(), ata_block_size);
  DWORD returned = 0, error = 0;
  if (!q.timed_ioctl(h, ioctl_scsi_pass_through_direct, timing_name, &r, sizeof r, &r, sizeof r, returned, error)) {
    report_scsi_call(errors, error, ioctl_scsi_pass_through_direct, t);
    return false;
  }
  if (!check_size(errors, returned, sizeof r.header, sizeof r)) return false;
  ata_registers registers;
  if (!check_scsi(errors, r.header, r.sense, t, registers)) return false;
  if (t.direction == ata_direction::in) std::memcpy(x.data.data(), buffer.data(), ata_block_size);
  x.returned = registers;
  return true;
}
}  // namespace

const char* ata_path_name(int path) {
  if (path < 0 || path >= ata_path_count) fatal("ata_path_name");
  return path_names[path];
}

source_mask ata_path_source(int path) {
  if (path < 0 || path >= ata_path_count) fatal("ata_path_source");
  return source_mask(1) << path;
}

bool ata_command(int path, device_query& query, api_handle h, ata_exchange& x, uint32_t timeout,
                 const char* timing_name) {
  x.returned = ata_registers{};
  switch (path) {
    case path_smart_ioctl: return send_smart_ioctl(query, h, x, timing_name);
    case path_ata_pass_through: return send_ata_pass_through(query, h, x, timeout, timing_name);
    case path_scsi_pass_through: return send_scsi_pass_through(query, h, x, timeout, timing_name);
    case path_scsi_pass_through_direct: return send_scsi_pass_through_direct(query, h, x, timeout, timing_name);
  }
  fatal("ata_command");
}

bool pass_through_channel::send(ata_exchange& x, const char* step) {
  const std::string timing = std::string(name()) + " / " + step;
  return ata_command(path_, query_, h_, x, timeout_, timing.c_str());
}
