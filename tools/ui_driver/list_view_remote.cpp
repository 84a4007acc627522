#include "list_view_remote.h"

#include <commctrl.h>

#include "support/format_string.h"
#include "support/scoped_win.h"
#include "window_find.h"
#include "window_io.h"

namespace {
constexpr size_t cell_chars = 4096;

// Memory in another process, freed on every path.
class remote_block {
 public:
  remote_block(HANDLE process, size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~remote_block() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  remote_block(const remote_block&) = delete;
  remote_block& operator=(const remote_block&) = delete;
  char* get() const { return static_cast<char*>(address_); }

 private:
  HANDLE process_;
  void* address_;
};

bool same_bitness(HANDLE process) {
  BOOL mine = FALSE, theirs = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &mine) || !IsWow64Process(process, &theirs)) return true;
  return mine == theirs;
}

int column_count(HWND list, std::string& error) {
  LRESULT header = 0;
  if (!ask_window(list, LVM_GETHEADER, 0, 0, header, error)) return -1;
  if (!header) return 1;
  LRESULT columns = 0;
  if (!ask_window(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, columns, error)) return -1;
  return columns > 0 ? int(columns) : 1;
}
}  // namespace

bool list_view_rows(HWND list, std::vector<std::vector<std::wstring>>& rows, std::string& error) {
  rows.clear();
  if (_stricmp(class_of(list).c_str(), WC_LISTVIEWA) != 0) {
    error = "not a list view (class " + class_of(list) + ")";
    return false;
  }
  scoped_handle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                  process_of(list)));
  if (!process.valid()) {
    error = format_string("OpenProcess failed with %lu", (unsigned long)GetLastError());
    return false;
  }
  if (!same_bitness(process.get())) {
    error = "the list view's process has another bitness than the driver";
    return false;
  }
  const int columns = column_count(list, error);
  if (columns < 0) return false;
  LRESULT count = 0;
  if (!ask_window(list, LVM_GETITEMCOUNT, 0, 0, count, error)) return false;

  remote_block block(process.get(), sizeof(LVITEMW) + cell_chars * sizeof(wchar_t));
  if (!block.get()) {
    error = format_string("VirtualAllocEx failed with %lu", (unsigned long)GetLastError());
    return false;
  }
  auto* remote_text = reinterpret_cast<wchar_t*>(block.get() + sizeof(LVITEMW));
  std::vector<wchar_t> text(cell_chars);
  for (LRESULT row = 0; row < count; ++row) {
    std::vector<std::wstring> cells;
    for (int column = 0; column < columns; ++column) {
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = remote_text;
      item.cchTextMax = int(cell_chars);
      if (!WriteProcessMemory(process.get(), block.get(), &item, sizeof item, nullptr)) {
        error = format_string("WriteProcessMemory failed with %lu", (unsigned long)GetLastError());
        return false;
      }
      LRESULT length = 0;
      if (!ask_window(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(block.get()), length, error))
        return false;
      if (length < 0 || size_t(length) >= cell_chars) length = 0;
      if (length > 0 &&
          !ReadProcessMemory(process.get(), remote_text, text.data(), size_t(length) * sizeof(wchar_t), nullptr)) {
        error = format_string("ReadProcessMemory failed with %lu", (unsigned long)GetLastError());
        return false;
      }
      cells.emplace_back(text.data(), size_t(length));
    }
    rows.push_back(cells);
  }
  return true;
}
