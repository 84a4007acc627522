#include "console_link.h"

#include "support/format_string.h"
#include "support/scoped_win.h"

namespace {
std::string failure(const char* call) {
  return format_string("%s failed with %lu", call, (unsigned long)GetLastError());
}

// Attached to another process's console for as long as it lives.
class console_attachment {
 public:
  explicit console_attachment(DWORD pid) {
    FreeConsole();
    attached_ = AttachConsole(pid) != 0;
    error_ = GetLastError();
  }
  ~console_attachment() {
    if (attached_) FreeConsole();
  }
  console_attachment(const console_attachment&) = delete;
  console_attachment& operator=(const console_attachment&) = delete;
  bool attached(DWORD pid, std::string& error) const {
    if (!attached_)
      error = format_string("process %lu has no console to attach to (AttachConsole failed with %lu)",
                            (unsigned long)pid, (unsigned long)error_);
    return attached_;
  }

 private:
  bool attached_;
  DWORD error_;
};

HANDLE open_console(const wchar_t* name) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

void add_key(std::vector<INPUT_RECORD>& records, WORD virtual_key, wchar_t c) {
  for (BOOL down : {TRUE, FALSE}) {
    INPUT_RECORD r{};
    r.EventType = KEY_EVENT;
    r.Event.KeyEvent.bKeyDown = down;
    r.Event.KeyEvent.wRepeatCount = 1;
    r.Event.KeyEvent.wVirtualKeyCode = virtual_key;
    r.Event.KeyEvent.wVirtualScanCode = WORD(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC));
    r.Event.KeyEvent.uChar.UnicodeChar = c;
    records.push_back(r);
  }
}
}  // namespace

std::vector<std::wstring> trimmed_rows(const std::vector<std::wstring>& screen) {
  std::vector<std::wstring> rows;
  for (const std::wstring& row : screen) {
    const size_t end = row.find_last_not_of(L' ');
    rows.push_back(end == std::wstring::npos ? std::wstring() : row.substr(0, end + 1));
  }
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

std::vector<INPUT_RECORD> key_presses(const std::wstring& text) {
  std::vector<INPUT_RECORD> records;
  for (wchar_t c : text) {
    if (c == L'\n') {
      add_key(records, VK_RETURN, L'\r');
      continue;
    }
    const SHORT scan = VkKeyScanW(c);
    add_key(records, scan == -1 ? 0 : WORD(scan & 0xFF), c);
  }
  return records;
}

bool read_console(DWORD pid, std::vector<std::wstring>& rows, std::string& error) {
  console_attachment attachment(pid);
  if (!attachment.attached(pid, error)) return false;
  scoped_handle out(open_console(L"CONOUT$"));
  if (!out.valid()) {
    error = failure("CreateFile(CONOUT$)");
    return false;
  }
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(out.get(), &info)) {
    error = failure("GetConsoleScreenBufferInfo");
    return false;
  }
  // Rows below the cursor have not been written yet.
  std::vector<std::wstring> screen;
  std::vector<wchar_t> row(size_t(info.dwSize.X > 0 ? info.dwSize.X : 1));
  for (SHORT y = 0; y <= info.dwCursorPosition.Y && y < info.dwSize.Y; ++y) {
    DWORD got = 0;
    if (!ReadConsoleOutputCharacterW(out.get(), row.data(), DWORD(row.size()), COORD{0, y}, &got)) {
      error = failure("ReadConsoleOutputCharacter");
      return false;
    }
    screen.emplace_back(row.data(), got);
  }
  rows = trimmed_rows(screen);
  return true;
}

bool type_into_console(DWORD pid, const std::wstring& text, std::string& error) {
  console_attachment attachment(pid);
  if (!attachment.attached(pid, error)) return false;
  scoped_handle in(open_console(L"CONIN$"));
  if (!in.valid()) {
    error = failure("CreateFile(CONIN$)");
    return false;
  }
  const std::vector<INPUT_RECORD> records = key_presses(text);
  DWORD written = 0;
  if (!records.empty() &&
      (!WriteConsoleInputW(in.get(), records.data(), DWORD(records.size()), &written) || written != records.size())) {
    error = failure("WriteConsoleInput");
    return false;
  }
  return true;
}
