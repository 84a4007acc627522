// A small window with one control of each kind the driver reads and drives; its answers show in
// the status line (id 100), Apply's saying whether Ctrl was held. Esc ends it with 2, the close
// box with 3. "--exit N" ends it with N at once; "--start-copy ARGUMENT..." starts a copy of it
// with the arguments and ends with 60.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {
enum control_id {
  IDC_MAIN_STATUS = 100,
  id_edit,
  id_apply,
  id_option,
  id_profile,
  id_list,
  id_disabled,
  id_panel,
  id_token,
  id_show_command = 200,
  id_second_window = 201
};
const COLORREF background = RGB(0x20, 0x80, 0xC0);
const COLORREF panel = RGB(0xFF, 0x00, 0x00);
HBRUSH panel_brush;
int exit_code = 0;

const wchar_t* token_kind() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"unknown";
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  const BOOL ok = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size);
  CloseHandle(token);
  if (!ok) return L"unknown";
  return type == TokenElevationTypeFull ? L"full" : type == TokenElevationTypeLimited ? L"limited" : L"default";
}

HWND add(HWND parent, const wchar_t* klass, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
  return CreateWindowExW(0, klass, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
}

std::wstring text_of(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

void fill_list(HWND list) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 120;
  column.pszText = const_cast<wchar_t*>(L"Size");
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  column.pszText = const_cast<wchar_t*>(L"Rate");
  SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  const wchar_t* rows[][2] = {{L"4 KiB", L"12.5"}, {L"1 MiB", L"950.0"}, {L"Gr\u00f6\u00dfe", L"tab\there"}};
  for (int i = 0; i < 3; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(rows[i][0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(rows[i][1]);
    SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void create_controls(HWND window) {
  add(window, L"STATIC", L"Ready", 0, IDC_MAIN_STATUS, 10, 10, 400, 20);
  HWND edit = add(window, L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, id_edit, 10, 40, 200, 22);
  add(window, L"BUTTON", L"Apply", WS_TABSTOP | BS_PUSHBUTTON, id_apply, 220, 40, 80, 24);
  add(window, L"BUTTON", L"Disabled", WS_DISABLED | BS_PUSHBUTTON, id_disabled, 310, 40, 80, 24);
  add(window, L"BUTTON", L"Option", WS_TABSTOP | BS_AUTOCHECKBOX, id_option, 10, 70, 120, 20);
  HWND combo = add(window, L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST, id_profile, 10, 100, 150, 200);
  for (const wchar_t* item : {L"Quick", L"Standard", L"Extended"})
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  fill_list(add(window, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, id_list, 10, 135, 260, 110));
  add(window, L"STATIC", L"", 0, id_panel, 300, 135, 100, 60);
  add(window, L"STATIC", (std::wstring(L"Token: ") + token_kind()).c_str(), 0, id_token, 10, 260, 200, 20);
  SetFocus(edit);
}

void set_status(HWND window, const std::wstring& text) { SetDlgItemTextW(window, IDC_MAIN_STATUS, text.c_str()); }

LRESULT CALLBACK second_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

void on_command(HWND window, int id, int code) {
  switch (id) {
    case id_apply:
      set_status(window, L"Applied: " + text_of(GetDlgItem(window, id_edit)) +
                             (GetKeyState(VK_CONTROL) < 0 ? L" with Ctrl" : L""));
      break;
    case id_profile:
      if (code == CBN_SELCHANGE) set_status(window, L"Profile: " + text_of(GetDlgItem(window, id_profile)));
      break;
    case id_show_command: set_status(window, L"Command 200"); break;
    case id_second_window:
      CreateWindowExW(0, L"FolviHarnessSecond", L"Second window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 40, 240, 160,
                      window, nullptr, GetModuleHandleW(nullptr), nullptr);
      break;
    case IDOK: set_status(window, L"OK pressed"); break;
    case IDCANCEL:
      exit_code = 2;
      DestroyWindow(window);
      break;
  }
}

LRESULT CALLBACK probe_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: create_controls(window); return 0;
    case WM_COMMAND: on_command(window, LOWORD(wparam), HIWORD(wparam)); return 0;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == id_panel) return reinterpret_cast<LRESULT>(panel_brush);
      break;
    case WM_CLOSE:
      exit_code = 3;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(exit_code); return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
}  // namespace

// The arguments' modes; true when one of them decided the exit code.
bool argument_mode(int& code) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"--exit" && argc == 3) {
    code = _wtoi(argv[2]);
  } else if (mode == L"--start-copy") {
    // Everything after the mode, as it stands on this command line.
    std::wstring line = GetCommandLineW();
    line = L"\"" + std::wstring(argv[0]) + L"\"" + line.substr(line.find(L"--start-copy") + 12);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    code = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) ? 60 : 12;
    if (code == 60) {
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  } else if (!mode.empty()) {
    code = 13;
  }
  LocalFree(argv);
  return !mode.empty();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int code = 0;
  if (argument_mode(code)) return code;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  panel_brush = CreateSolidBrush(panel);
  WNDCLASSW probe{};
  probe.lpfnWndProc = probe_proc;
  probe.hInstance = instance;
  probe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  probe.hbrBackground = CreateSolidBrush(background);
  probe.lpszClassName = L"FolviHarnessProbe";
  WNDCLASSW second = probe;
  second.lpfnWndProc = second_proc;
  second.lpszClassName = L"FolviHarnessSecond";
  if (!RegisterClassW(&probe) || !RegisterClassW(&second)) return 10;
  HWND window = CreateWindowExW(0, L"FolviHarnessProbe", L"Harness probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                460, 330, nullptr, nullptr, instance, nullptr);
  if (!window) return 11;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return int(msg.wParam);
}
