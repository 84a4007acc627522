#include "screen_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "support/text.h"
#include "toolkit/sfc_gdi.h"
#include "window_find.h"

namespace {
using unix_name_fn = char*(__cdecl*)(const wchar_t*);

template <typename F>
F function_of(const wchar_t* module, const char* name) {
  // A symbol's address is untyped until it is given its type.
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

bool under_wine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The Linux path of a Windows one, from Wine's kernel32.
std::string unix_path(const std::wstring& path) {
  const auto to_unix = function_of<unix_name_fn>(L"kernel32.dll", "wine_get_unix_file_name");
  if (!to_unix) return {};
  char* name = to_unix(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Runs a Linux shell command; Wine starts a program given by its Linux path but gives no handle
// to wait on, so the command ends by creating `done` and this waits for that file.
bool run_unix(const std::string& command, const std::wstring& done, std::string& error) {
  std::wstring line = L"/bin/sh -c \"" + from_utf8(command) + L"\"";
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) {
    error = "cannot start " + command;
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  for (int waited = 0; waited < 30000; waited += 20) {
    if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(20);
  }
  error = command + " did not end";
  return false;
}

std::string read_file(const std::wstring& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(_wfopen(path.c_str(), L"rb"), fclose);
  std::string bytes;
  if (!f) return bytes;
  char chunk[65536];
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, f.get())) > 0;) bytes.append(chunk, n);
  return bytes;
}

// A binary PPM (P6, 8 bits a channel) into 0xAARRGGBB pixels.
bool parse_ppm(const std::string& bytes, captured_image& image) {
  int width = 0, height = 0, maximum = 0, header = 0;
  if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &header) != 3 || maximum != 255)
    return false;
  const size_t start = size_t(header) + 1;  // one white-space character ends the header
  if (width <= 0 || height <= 0 || bytes.size() < start + size_t(width) * size_t(height) * 3) return false;
  image.width = width;
  image.height = height;
  image.pixels.resize(size_t(width) * size_t(height));
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + start);
  for (uint32_t& pixel : image.pixels) {
    pixel = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    p += 3;
  }
  return true;
}

bool x_screen_image(const RECT& r, captured_image& image, std::string& error) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  wchar_t file[MAX_PATH] = {};
  GetTempFileNameW(folder, L"xsh", 0, file);
  const std::wstring done = std::wstring(file) + L".done";
  const std::string target = unix_path(file), marker = unix_path(done);
  if (target.empty() || marker.empty()) {
    error = "no Linux path for the screenshot";
    return false;
  }
  char geometry[64];
  std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", r.right - r.left, r.bottom - r.top, r.left, r.top);
  // The marker tells that import has ended, whether or not it wrote the picture.
  const bool ended = run_unix("import -silent -window root -crop " + std::string(geometry) +
                                  " +repage -depth 8 'ppm:" + target + "'; touch '" + marker + "'",
                              done, error);
  const std::string bytes = read_file(file);
  DeleteFileW(file);
  DeleteFileW(done.c_str());
  if (!ended) return false;
  if (!parse_ppm(bytes, image) || image.width != r.right - r.left || image.height != r.bottom - r.top) {
    error = "import gave no picture of the window";
    return false;
  }
  return true;
}

bool dc_screen_image(const RECT& r, captured_image& image, std::string& error) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  const sfc_window_dc screen(nullptr);
  sfc_memory_dc copy(screen.handle(), width, height);
  if (!copy.ok() || !BitBlt(copy.handle(), 0, 0, width, height, screen.handle(), r.left, r.top, SRCCOPY)) {
    error = "no copy of the screen";
    return false;
  }
  GdiFlush();
  image.width = width;
  image.height = height;
  image.pixels.assign(copy.pixels(), copy.pixels() + size_t(width) * size_t(height));
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;
  return true;
}
}  // namespace

bool screen_image(const RECT& r, captured_image& image, std::string& error) {
  return under_wine() ? x_screen_image(r, image, error) : dc_screen_image(r, image, error);
}

bool settled_screen_image(HWND window, captured_image& image, std::string& error, bool afresh) {
  RECT frame{};
  GetWindowRect(window, &frame);
  if (afresh) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  captured_image previous;
  for (int i = 0; i < 40; ++i) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(window, WM_NULL, 0, 0);  // the window's thread has painted
    if (!screen_image(frame, image, error)) return false;
    if (image.pixels == previous.pixels) return true;
    previous = std::move(image);
    Sleep(100);
  }
  error = "the window was still changing on the screen";
  return false;
}

seen_control::seen_control(HWND window, bool afresh) {
  RECT frame{};
  GetWindowRect(window, &frame);
  ClientToScreen(window, &at);
  at = {at.x - frame.left, at.y - frame.top};
  std::string error;
  EXPECT_TRUE(settled_screen_image(window, image, error, afresh)) << error;
}

COLORREF seen_control::frame_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return CLR_INVALID;
  const uint32_t p = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
  return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}

int seen_control::count_near(const RECT& r, COLORREF colour, int tolerance) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += near_colour(pixel(x, y), colour, tolerance);
  return n;
}

bool seen_until(HWND window, const std::function<bool(const seen_control&)>& ready) {
  for (int i = 0; i < 20; ++i)
    if (ready(seen_control(window))) return true;
  return false;
}

bool near_colour(COLORREF a, COLORREF b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

std::wstring save_image(const captured_image& image, const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = folder + name;
  const std::string bytes = bmp_file(image);
  std::unique_ptr<FILE, int (*)(FILE*)> f(_wfopen(path.c_str(), L"wb"), fclose);
  if (f && !bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f.get());
  return path;
}

bool find_black_square(const captured_image& image, int size, RECT& where) {
  // Per column, how many black pixels end at the current row; a row with `size` neighbouring
  // columns of at least `size` holds a square.
  std::vector<int> height(size_t(image.width), 0);
  for (int y = 0; y < image.height; ++y) {
    int run = 0;
    for (int x = 0; x < image.width; ++x) {
      const bool black = (image.pixels[size_t(y) * size_t(image.width) + size_t(x)] & 0xFFFFFF) == 0;
      height[size_t(x)] = black ? height[size_t(x)] + 1 : 0;
      run = height[size_t(x)] >= size ? run + 1 : 0;
      if (run == size) {
        where = {x - size + 1, y - size + 1, x + 1, y + 1};
        return true;
      }
    }
  }
  return false;
}

window_looks watch_window(HWND window, const std::function<bool()>& enough, unsigned limit_ms) {
  window_looks result;
  result.appeared = IsWindowVisible(window) != 0;
  const DWORD start = GetTickCount();
  std::string error;
  while (GetTickCount() - start < limit_ms && !enough()) {
    RECT r{};
    if (!GetWindowRect(window, &r)) break;
    captured_image look;
    if (!dc_screen_image(r, look, error)) continue;
    ++result.looks;
    RECT block{};
    if (find_black_square(look, 8, block) && result.black_looks++ == 0) {
      result.first_black_ms = int(GetTickCount() - start);
      result.first_black = block;
      result.first_black_look = look;
    }
    result.last_look = std::move(look);
  }
  return result;
}

window_looks watch_window_opening(const std::string& title, unsigned duration_ms) {
  window_query query;
  query.title = title;
  query.pid = GetCurrentProcessId();
  std::vector<HWND> found;
  const DWORD give_up = GetTickCount() + 30000;
  while ((found = find_top_level_windows(query)).empty() && GetTickCount() < give_up) Sleep(1);
  if (found.empty()) return {};
  return watch_window(
      found.front(), [] { return false; }, duration_ms);
}
