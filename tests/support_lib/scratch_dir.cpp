#include "scratch_dir.h"

#include <windows.h>

#include <cstring>

scratch_dir::scratch_dir(const wchar_t* name) {
  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  path_ = std::wstring(cwd) + L"\\" + name;
  CreateDirectoryW(path_.c_str(), nullptr);
}

scratch_dir::~scratch_dir() {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring leaf = found.cFileName;
      if (leaf != L"." && leaf != L"..") DeleteFileW((path_ + L"\\" + leaf).c_str());
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  RemoveDirectoryW(path_.c_str());
}

std::wstring scratch_dir::file(const wchar_t* leaf, const char* text) const {
  const std::wstring name = path_ + L"\\" + leaf;
  if (text) {
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(h, text, DWORD(std::strlen(text)), &done, nullptr);
    CloseHandle(h);
  }
  return name;
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
