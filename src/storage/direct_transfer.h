#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A request whose data moves through the caller's own buffer, named by a pointer inside the
// input (SCSI_PASS_THROUGH_DIRECT). A recording keeps the pointer as 0 and the buffer's bytes
// beside the request, so the same question asked from another address is the same question.
struct direct_transfer {
  size_t pointer_offset = 0;
  uint8_t* buffer = nullptr;
  size_t size = 0;
  bool to_device = false;
};

// False for requests without such a buffer.
bool find_direct_transfer(DWORD code, const void* in, DWORD in_size, direct_transfer& t);
// A copy of the bytes; with a transfer, its pointer cleared where the bytes reach that far.
std::vector<uint8_t> without_pointer(const void* bytes, size_t size, const direct_transfer* t);
