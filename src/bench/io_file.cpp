#include "bench/io_file.h"

#include <atomic>
#include <cstdarg>

#include "support/fatal.h"
#include "support/long_path.h"
#include "support/text.h"

namespace {
std::atomic<uint32_t> strict_sector{0};

uint64_t overlapped_offset(const OVERLAPPED& ov) { return uint64_t(ov.OffsetHigh) << 32 | ov.Offset; }

bool privilege_enabled(const wchar_t* name) {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
      !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  PRIVILEGE_SET wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Control = PRIVILEGE_SET_ALL_NECESSARY;
  BOOL held = FALSE;
  const bool ok =
      LookupPrivilegeValueW(nullptr, name, &wanted.Privilege[0].Luid) && PrivilegeCheck(token, &wanted, &held);
  CloseHandle(token);
  return ok && held;
}
}  // namespace

void set_strict_io_rules(uint32_t sector_size) { strict_sector = sector_size; }
uint32_t strict_io_sector_size() { return strict_sector; }

// Sets the error as the system would; true when Windows would refuse the request.
bool io_file::refused_unaligned(const void* buffer, uint64_t offset, DWORD length) const {
  const uint32_t sector = strict_sector;
  if (sector == 0 || !unbuffered_) return false;
  if (uintptr_t(buffer) % sector == 0 && offset % sector == 0 && length % sector == 0) return false;
  SetLastError(ERROR_INVALID_PARAMETER);
  return true;
}

bool io_file::refused_valid_data() const {
  if (strict_sector == 0 || privilege_enabled(L"SeManageVolumePrivilege")) return false;
  SetLastError(ERROR_PRIVILEGE_NOT_HELD);
  return true;
}

io_file::~io_file() {
  if (close_on_destroy) close();
}

void io_file::require_open(const char* operation) const {
  if (!is_open()) fatal(operation);
}

void io_file::report(const char* api, uint32_t code, const char* format, ...) {
  if (!api) {
    last_api = nullptr;
    last_error = 0;
    return;
  }
  if (error_cb) {
    va_list args;
    va_start(args, format);
    error_cb->on_api_error(api, code, format, args);
    va_end(args);
  }
  last_api = api;
  last_error = code;
}

bool io_file::open(const std::wstring& file_path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                   api_error_cb* cb) {
  if (is_open()) fatal("io_file::open");
  path = file_path;
  path_utf8 = to_utf8(file_path);
  error_cb = cb;
  position = 0;
  unbuffered_ = (flags & FILE_FLAG_NO_BUFFERING) != 0;
  report(nullptr, 0);
  handle = CreateFileW(long_path(file_path).c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    report("CreateFile", GetLastError(), "%s %08x %08x %08x %08x", path_utf8.c_str(), unsigned(access), unsigned(share),
           unsigned(disposition), unsigned(flags));
    return false;
  }
  return true;
}

void io_file::close() {
  if (is_open()) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
  report(nullptr, 0);
}

bool io_file::get_size(uint64_t& size) {
  require_open("io_file::get_size");
  LARGE_INTEGER li;
  if (!GetFileSizeEx(handle, &li)) {
    report("GetFileSize", GetLastError());
    return false;
  }
  size = uint64_t(li.QuadPart);
  return true;
}

bool io_file::read(void* buffer, DWORD length) {
  require_open("io_file::read");
  DWORD done = 0;
  if (refused_unaligned(buffer, position, length) || !ReadFile(handle, buffer, length, &done, nullptr)) {
    report("ReadFile", GetLastError());
    return false;
  }
  position += done;
  return done == length;
}

bool io_file::write(const void* buffer, DWORD length) {
  require_open("io_file::write");
  DWORD done = 0;
  if (refused_unaligned(buffer, position, length) || !WriteFile(handle, buffer, length, &done, nullptr)) {
    report("WriteFile", GetLastError(), "%lu", (unsigned long)length);
    return false;
  }
  position += done;
  if (done != length) {
    report("CheckFileWrite", no_error_code, "%lu", (unsigned long)length);
    return false;
  }
  return true;
}

namespace {
constexpr uint32_t status_end_of_file = 0xC0000011;
constexpr ULONG_PTR status_pending = 0x103;
}  // namespace

bool io_file::read_async(void* buffer, DWORD length, OVERLAPPED& ov, bool& pending) {
  require_open("io_file::read_async");
  pending = false;
  if (!refused_unaligned(buffer, overlapped_offset(ov), length) && ReadFile(handle, buffer, length, nullptr, &ov))
    return true;
  const DWORD error = GetLastError();
  if (error == ERROR_IO_PENDING) {
    pending = true;
    return true;
  }
  last_api = "ReadFile";
  last_error = error;
  if (error == ERROR_HANDLE_EOF) {
    // A request refused at the end of the file may leave no status and no signal behind; the
    // caller's look, wait and result must still see it finished, with no bytes.
    if (!request_finished(ov)) {
      ov.InternalHigh = 0;
      ov.Internal = ULONG_PTR(status_end_of_file);
    }
    SetEvent(plain_event(ov));
    return true;
  }
  report("ReadFile", error, "%I64u %lu", (unsigned long long)overlapped_offset(ov), (unsigned long)length);
  return false;
}

bool io_file::write_async(const void* buffer, DWORD length, OVERLAPPED& ov, bool& pending) {
  require_open("io_file::write_async");
  pending = false;
  if (!refused_unaligned(buffer, overlapped_offset(ov), length) && WriteFile(handle, buffer, length, nullptr, &ov))
    return true;
  const DWORD error = GetLastError();
  if (error == ERROR_IO_PENDING) {
    pending = true;
    return true;
  }
  report("WriteFile", error, "%I64u %lu", (unsigned long long)overlapped_offset(ov), (unsigned long)length);
  return false;
}

bool io_file::overlapped_result(OVERLAPPED& ov, uint32_t& transferred) {
  require_open("io_file::overlapped_result");
  DWORD done = 0;
  if (GetOverlappedResult(handle, &ov, &done, FALSE)) {
    transferred = done;
    return true;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_HANDLE_EOF) {
    transferred = 0;
    return true;
  }
  if (error == ERROR_IO_INCOMPLETE) {
    transferred = transfer_in_flight;
    return true;
  }
  report("GetOverlappedResult", error);
  return false;
}

bool io_file::seek(uint64_t offset) {
  require_open("io_file::seek");
  LARGE_INTEGER to, now;
  to.QuadPart = LONGLONG(offset);
  if (!SetFilePointerEx(handle, to, &now, FILE_BEGIN)) {
    report("SetFilePointerEx", GetLastError(), "%d %I64u", 0, (unsigned long long)position);
    return false;
  }
  position = uint64_t(now.QuadPart);
  return true;
}

bool io_file::set_end() {
  require_open("io_file::set_end");
  if (!SetEndOfFile(handle)) {
    report("SetEndOfFile", GetLastError());
    return false;
  }
  return true;
}

bool io_file::set_valid_data(uint64_t length) {
  require_open("io_file::set_valid_data");
  if (refused_valid_data() || !SetFileValidData(handle, LONGLONG(length))) {
    report("SetFileValidData", GetLastError(), "%I64u", (unsigned long long)length);
    return false;
  }
  return true;
}

bool io_file::flush() {
  require_open("io_file::flush");
  if (!FlushFileBuffers(handle)) {
    report("FlushFileBuffer", GetLastError());
    return false;
  }
  return true;
}

void set_overlapped_offset(OVERLAPPED& ov, uint64_t offset, event_reset reset) {
  ov.Internal = 0;
  ov.InternalHigh = 0;
  ov.Offset = DWORD(offset);
  ov.OffsetHigh = DWORD(offset >> 32);
  if (ov.hEvent && reset == event_reset::now) ResetEvent(plain_event(ov));
}

HANDLE no_port_event(HANDLE event) { return HANDLE(ULONG_PTR(event) | 1); }

HANDLE plain_event(const OVERLAPPED& ov) { return HANDLE(ULONG_PTR(ov.hEvent) & ~ULONG_PTR(1)); }

bool request_finished(const OVERLAPPED& ov) {
  // The system writes the status behind the compiler's back.
  return *static_cast<const volatile ULONG_PTR*>(&ov.Internal) != status_pending;
}
