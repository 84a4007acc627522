#include "health_replies.h"

#include <winioctl.h>

#include <cstring>
#include <memory>

namespace {
// What the drive does with one ATA command arriving over a path (0 to 3): a block, or registers
// (SMART RETURN STATUS), or an abort.
struct ata_answer {
  bool ok = false;
  bool data = false;
  ata_block block{};
  uint8_t lba_mid = 0, lba_high = 0;
};
ata_answer answer_ata(const fake_health& h, int path, uint8_t command, uint8_t features);

constexpr DWORD smart_send = 0x7C084, smart_receive = 0x7C088, ata_pass_through = 0x4D02C, scsi_pass_through = 0x4D004,
                scsi_pass_through_direct = 0x4D014, scsi_miniport = 0x4D008, predict_failure = 0x2D1100;
constexpr bool wide = sizeof(void*) == 8;
constexpr uint8_t status_ready = 0x50, status_error = 0x51, error_aborted = 0x04;

// ATA_PASS_THROUGH_EX and SCSI_PASS_THROUGH(_DIRECT) field offsets: the pointer-sized field moves.
constexpr size_t apt_flags = 2, apt_transfer = 8, apt_data_offset = wide ? 24 : 20, apt_current = wide ? 40 : 32,
                 apt_size = wide ? 48 : 40;
constexpr size_t spt_status = 2, spt_sense_length = 7, spt_transfer = 12, spt_data = wide ? 24 : 20,
                 spt_sense_offset = wide ? 32 : 24, spt_cdb = wide ? 36 : 28, spt_size = wide ? 56 : 44;

template <typename T>
T field(const uint8_t* in, DWORD size, size_t offset) {
  T v{};
  if (in && offset + sizeof v <= size) std::memcpy(&v, in + offset, sizeof v);
  return v;
}

uint64_t pointer_field(const uint8_t* in, DWORD size, size_t offset) {
  return wide ? field<uint64_t>(in, size, offset) : field<uint32_t>(in, size, offset);
}

void put(std::vector<uint8_t>& b, size_t offset, const void* data, size_t size) {
  if (b.size() < offset + size) b.resize(offset + size, 0);
  std::memcpy(b.data() + offset, data, size);
}

fake_reply fails(DWORD error) { return fake_reply{{}, error}; }

// SENDCMDOUTPARAMS: the buffer size, DRIVERSTATUS, then the block or the registers.
fake_reply smart_ioctl(const fake_health& h, DWORD code, const uint8_t* in, DWORD size) {
  if (!h.paths[0]) return fails(ERROR_INVALID_FUNCTION);
  const ata_answer a = answer_ata(h, 0, field<uint8_t>(in, size, 10), field<uint8_t>(in, size, 4));
  reply_writer w;
  if (!a.ok) return fake_reply{w.u32(0).u8(1).u8(error_aborted).zeros(10).done(), 0};
  if (code == smart_receive) {
    if (!a.data) return fails(ERROR_INVALID_PARAMETER);
    w.u32(512).zeros(12).bytes(a.block.data(), a.block.size());
  } else {
    w.u32(8).zeros(12).u8(0).u8(0).u8(0).u8(a.lba_mid).u8(a.lba_high).u8(0xA0).u8(status_ready).u8(0);
  }
  return fake_reply{w.done(), 0};
}

// IOCTL_ATA_PASS_THROUGH: the structure comes back with the registers, the data after it.
fake_reply ata_pt(const fake_health& h, const uint8_t* in, DWORD size) {
  if (!h.paths[1]) return fails(ERROR_NOT_SUPPORTED);
  if (size < apt_size) return fails(ERROR_INVALID_PARAMETER);
  const uint8_t* task = in + apt_current;
  const ata_answer a = answer_ata(h, 1, task[6], task[0]);
  std::vector<uint8_t> reply(in, in + apt_size);
  const uint8_t registers[8] = {uint8_t(a.ok ? 0 : error_aborted),
                                task[1],
                                task[2],
                                a.ok ? a.lba_mid : task[3],
                                a.ok ? a.lba_high : task[4],
                                task[5],
                                uint8_t(a.ok ? status_ready : status_error),
                                0};
  put(reply, apt_current, registers, sizeof registers);
  const bool data_in = field<uint16_t>(in, size, apt_flags) & 0x02;
  if (data_in) {
    const size_t at = size_t(pointer_field(in, size, apt_data_offset));
    put(reply, at, a.block.data(), field<uint32_t>(in, size, apt_transfer) < 512 ? 0 : 512);
  }
  return fake_reply{reply, 0};
}

struct cdb_fields {
  uint8_t command = 0, features = 0;
  bool check_condition = false;
};
cdb_fields read_cdb(const uint8_t* cdb) {
  if (cdb[0] == 0xA1) return {cdb[9], cdb[3], (cdb[2] & 0x20) != 0};
  if (cdb[0] == 0x85) return {cdb[14], cdb[4], (cdb[2] & 0x20) != 0};
  return {};
}

std::vector<uint8_t> sense_of(const fake_health& h, const ata_answer& a, bool check_condition) {
  reply_writer w;
  if (!a.ok) return w.u8(0x72).u8(0x0B).u8(0).u8(0).zeros(3).u8(0).done();  // aborted command
  if (!check_condition || h.sense == sense_style::none) return {};
  if (h.sense == sense_style::descriptor) {
    w.u8(0x72).u8(0x01).u8(0x00).u8(0x1D).zeros(3).u8(14);
    w.u8(0x09).u8(0x0C).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(a.lba_mid).u8(0).u8(a.lba_high);
    w.u8(0xA0).u8(status_ready);
  } else {
    w.u8(0x70).u8(0).u8(0x01).u8(0).u8(status_ready).u8(0xA0).u8(0).u8(10);
    w.u8(0).u8(0).u8(a.lba_mid).u8(a.lba_high).u8(0x00).u8(0x1D).zeros(4);
  }
  return w.done();
}

// IOCTL_SCSI_PASS_THROUGH(_DIRECT): status and sense into the structure; the data after it at its
// offset, or through the caller's pointer.
fake_reply scsi_pt(const fake_health& h, int path, const uint8_t* in, DWORD size) {
  if (!h.paths[path]) return fails(ERROR_INVALID_FUNCTION);
  if (size < spt_size) return fails(ERROR_INVALID_PARAMETER);
  const cdb_fields c = read_cdb(in + spt_cdb);
  const ata_answer a = answer_ata(h, path, c.command, c.features);
  const std::vector<uint8_t> sense = sense_of(h, a, c.check_condition);
  const uint32_t sense_at = field<uint32_t>(in, size, spt_sense_offset);
  std::vector<uint8_t> reply(in, in + (size < sense_at ? size : sense_at));
  reply[spt_status] = (!a.ok || !sense.empty()) ? 2 : 0;
  reply[spt_sense_length] = uint8_t(sense.size());
  put(reply, sense_at, sense.data(), sense.size());
  const uint32_t transfer = a.ok && a.data ? 512 : 0;
  put(reply, spt_transfer, &transfer, sizeof transfer);
  if (transfer) {
    const uint64_t data = pointer_field(in, size, spt_data);
    if (path == 2) put(reply, size_t(data), a.block.data(), 512);
    else std::memcpy(reinterpret_cast<void*>(uintptr_t(data)), a.block.data(), 512);
  }
  if (path == 3 && reply.size() < sense_at + 64) reply.resize(sense_at + 64, 0);
  return fake_reply{reply, 0};
}

// STORAGE_PROTOCOL_DATA_DESCRIPTOR with the block after its protocol data.
bool protocol_query(const fake_health& h, const uint8_t* in, DWORD size, fake_reply& reply) {
  const uint32_t property = field<uint32_t>(in, size, 0);
  if (property != 49 && property != 50) return false;
  const uint32_t data_type = field<uint32_t>(in, size, 12), value = field<uint32_t>(in, size, 16);
  const bool identify = data_type == 1 && value == 1 && property == 49 && !h.nvme_identify.empty();
  const bool log = data_type == 2 && value == 2 && property == 50;
  if (!h.nvme_protocol || (!identify && !log)) {
    reply = fails(ERROR_NOT_SUPPORTED);
    return true;
  }
  const uint8_t* block = identify ? h.nvme_identify.data() : h.nvme_log.data();
  const uint32_t length = identify ? 4096 : 512;
  reply_writer w;
  w.u32(48).u32(48 + length).u32(3).u32(data_type).u32(value).u32(0).u32(40).u32(length).zeros(16);
  w.bytes(block, length);
  reply = fake_reply{w.done(), 0};
  return true;
}

// The NvmeMini pass-through: the header comes back with its return code and completion entry.
fake_reply miniport(const fake_health& h, const uint8_t* in, DWORD size) {
  if (!h.nvme_miniport) return fails(ERROR_INVALID_FUNCTION);
  if (size < 152 || std::memcmp(in + 4, "NvmeMini", 8) != 0) return fails(ERROR_INVALID_PARAMETER);
  const uint32_t opcode = field<uint32_t>(in, size, 52) & 0xFF, cdw10 = field<uint32_t>(in, size, 92);
  std::vector<uint8_t> reply(in, in + size);
  const uint8_t* block = nullptr;
  size_t length = 0;
  if (opcode == 0x06 && cdw10 == 1 && !h.nvme_identify.empty()) {
    block = h.nvme_identify.data();
    length = 4096;
  } else if (opcode == 0x02 && (cdw10 & 0xFF) == 2) {
    block = h.nvme_log.data();
    length = 512;
  }
  if (!block) {
    const uint32_t invalid_field = 0x02u << 17;  // generic status: invalid field in command
    put(reply, 116 + 12, &invalid_field, 4);
  } else {
    put(reply, 152, block, length);
  }
  return fake_reply{reply, 0};
}

ata_answer answer_ata(const fake_health& h, int path, uint8_t command, uint8_t features) {
  ata_answer a;
  auto pick = [&](const std::map<int, ata_block>& on_path, const ata_block& block) {
    auto it = on_path.find(path);
    a.block = it != on_path.end() ? it->second : block;
    a.ok = a.data = true;
  };
  if (command == 0xEC && h.has_identify) pick(h.identify_on_path, h.identify);
  if (command != 0xB0 || !h.has_smart) return a;
  if (features == 0xD0) pick(h.attributes_on_path, h.attributes);
  if (features == 0xD1) pick(h.thresholds_on_path, h.thresholds);
  if (features == 0xDA) {
    a.ok = true;
    a.lba_mid = h.status_mid;
    a.lba_high = h.status_high;
  }
  return a;
}

// The SCSI port device an NVMe disk's miniport requests go to.
std::wstring scsi_port_path(const fake_disk& disk) { return L"\\\\.\\Scsi" + std::to_wstring(disk.port) + L":"; }
}  // namespace

void add_health(fake_machine& machine, const fake_disk& disk, const fake_health& health) {
  auto h = std::make_shared<const fake_health>(health);
  disk_device(machine, disk).handler = [h](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    switch (code) {
      case smart_receive:
      case smart_send: reply = smart_ioctl(*h, code, in, size); return true;
      case ata_pass_through: reply = ata_pt(*h, in, size); return true;
      case scsi_pass_through: reply = scsi_pt(*h, 2, in, size); return true;
      case scsi_pass_through_direct: reply = scsi_pt(*h, 3, in, size); return true;
      case predict_failure:
        if (h->predict_failure < 0) return false;
        reply =
            fake_reply{reply_writer().u32(uint32_t(h->predict_failure)).bytes(h->predict_vendor.data(), 512).done(), 0};
        return true;
      case IOCTL_STORAGE_QUERY_PROPERTY: return protocol_query(*h, in, size, reply);
    }
    return false;
  };
  if (!health.nvme_miniport && health.nvme_identify.empty()) return;
  fake_device& port = machine.devices[scsi_port_path(disk)];
  port.handler = [h](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    if (code != scsi_miniport) return false;
    reply = miniport(*h, in, size);
    return true;
  };
}
