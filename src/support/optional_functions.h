#pragma once

#include <windows.h>

class api_error_cb;

// System functions that exist only on some releases; null when missing.
struct optional_functions {
  LONG(WINAPI* NtQueryVolumeInformationFile)(HANDLE, void*, void*, ULONG, ULONG) = nullptr;
  LONG(WINAPI* NtSetSystemInformation)(ULONG, void*, ULONG) = nullptr;
  LONG(WINAPI* NtFsControlFile)(HANDLE, HANDLE, void*, void*, void*, ULONG, void*, ULONG, void*, ULONG) = nullptr;
  ULONG(WINAPI* RtlNtStatusToDosError)(LONG) = nullptr;
  BOOL(WINAPI* IsWow64Process)(HANDLE, BOOL*) = nullptr;
  BOOL(WINAPI* GetFileInformationByHandleEx)(HANDLE, int, void*, DWORD) = nullptr;
  HRESULT(WINAPI* SHCreateItemFromIDList)(const void*, const IID&, void**) = nullptr;
  DWORD(WINAPI* CM_Get_DevNode_PropertyW)(DWORD, const void*, ULONG*, BYTE*, ULONG*, ULONG) = nullptr;
  HRESULT(WINAPI* DwmGetWindowAttribute)(HWND, DWORD, void*, DWORD) = nullptr;
};

// Loads once; a library that does not load is reported as "GetModuleHandle".
const optional_functions& load_optional_functions(api_error_cb* errors = nullptr);
bool is_wow64();
// A 64-bit system: this process runs under WOW64, or is itself 64-bit.
bool is_64bit_os();
