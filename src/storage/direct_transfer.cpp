#include "storage/direct_transfer.h"

#include <cstring>

#include "storage/ata_requests.h"

bool find_direct_transfer(DWORD code, const void* in, DWORD in_size, direct_transfer& t) {
  if (code != ioctl_scsi_pass_through_direct || !in || in_size < sizeof(scsi_pass_through_direct)) return false;
  scsi_pass_through_direct h;
  std::memcpy(&h, in, sizeof h);
  t.pointer_offset = offsetof(scsi_pass_through_direct, data_buffer);
  t.buffer = static_cast<uint8_t*>(h.data_buffer);
  t.size = t.buffer ? h.data_transfer_length : 0;
  t.to_device = h.data_in == scsi_data_out;
  return true;
}

std::vector<uint8_t> without_pointer(const void* bytes, size_t size, const direct_transfer* t) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  std::vector<uint8_t> copy(p, p + size);
  if (t && size >= t->pointer_offset + sizeof(void*)) std::memset(copy.data() + t->pointer_offset, 0, sizeof(void*));
  return copy;
}
