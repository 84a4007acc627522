// The real machine behind the storage scan's seam: every call is the Win32 call it names.

#include <windows.h>
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>

#include <vector>

#include "storage/device_api.h"
#include "support/optional_functions.h"
#include "support/os_version.h"

namespace {

// SetupDiEnumDeviceInterfaces needs the class again, so a set's handle carries it, and the device
// of the interface last detailed: its properties are read right after, without a second lookup.
struct interface_set {
  HDEVINFO info;
  GUID interface_class;
  DWORD device_index = MAXDWORD;
  SP_DEVINFO_DATA device{};
};
interface_set* as_set(api_handle h) { return reinterpret_cast<interface_set*>(h); }
HANDLE as_handle(api_handle h) { return reinterpret_cast<HANDLE>(h); }
api_handle from_handle(HANDLE h) { return reinterpret_cast<api_handle>(h); }

std::vector<std::wstring> split_multi_string(const wchar_t* text, size_t chars) {
  std::vector<std::wstring> strings;
  size_t at = 0;
  while (at < chars && text[at]) {
    size_t end = at;
    while (end < chars && text[end]) ++end;
    strings.emplace_back(text + at, end - at);
    at = end + 1;
  }
  return strings;
}

class win32_api final : public device_api {
 public:
  bool open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) override {
    HDEVINFO h = SetupDiGetClassDevsW(&interface_class, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (h == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return false;
    }
    set = reinterpret_cast<api_handle>(new interface_set{h, interface_class, MAXDWORD, {}});
    return true;
  }

  bool has_interface(api_handle set, DWORD index) override {
    SP_DEVICE_INTERFACE_DATA data{};
    return enum_interface(set, index, data);
  }

  bool interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) override {
    SP_DEVINFO_DATA info{};
    if (!detail(set, index, &path, info, error)) return false;
    devinst = info.DevInst;
    return true;
  }

  bool registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) override {
    interface_set* s = as_set(set);
    SP_DEVINFO_DATA info = s->device;
    DWORD error = 0;
    if (s->device_index != index && !detail(set, index, nullptr, info, error)) return false;
    DWORD type = 0, needed = 0;
    value.assign(4096, 0);
    if (!SetupDiGetDeviceRegistryPropertyW(as_set(set)->info, &info, property, &type, value.data(), DWORD(value.size()),
                                           &needed)) {
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
      value.assign(needed, 0);
      if (!SetupDiGetDeviceRegistryPropertyW(as_set(set)->info, &info, property, &type, value.data(),
                                             DWORD(value.size()), &needed))
        return false;
    }
    value.resize(needed);
    return true;
  }

  void close_interface_set(api_handle set) override {
    interface_set* s = as_set(set);
    SetupDiDestroyDeviceInfoList(s->info);
    delete s;
  }

  bool device_id(DWORD devinst, std::wstring& id, DWORD& error) override {
    wchar_t buffer[256] = {};
    CONFIGRET cr = CM_Get_Device_IDW(devinst, buffer, 256, 0);
    if (cr != CR_SUCCESS) {
      error = cr;
      return false;
    }
    id = buffer;
    return true;
  }

  bool parent_node(DWORD devinst, DWORD& parent, DWORD& error) override {
    DEVINST p = 0;
    CONFIGRET cr = CM_Get_Parent(&p, devinst, 0);
    if (cr != CR_SUCCESS) {
      error = cr;
      return false;
    }
    parent = p;
    return true;
  }

  bool node_address(DWORD devinst, DWORD& address, DWORD& error) override {
    ULONG type = 0, size = sizeof address;
    DWORD value = 0;
    CONFIGRET cr = CM_Get_DevNode_Registry_PropertyW(devinst, CM_DRP_ADDRESS, &type, &value, &size, 0);
    if (cr != CR_SUCCESS || size != sizeof value) {
      error = cr != CR_SUCCESS ? cr : ERROR_INVALID_DATA;
      return false;
    }
    address = value;
    return true;
  }

  bool has_node_properties() override { return load_optional_functions().CM_Get_DevNode_PropertyW != nullptr; }

  bool node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) override {
    auto get = load_optional_functions().CM_Get_DevNode_PropertyW;
    if (!get) return false;
    wchar_t buffer[256] = {};
    ULONG type = 0, size = sizeof buffer;
    if (get(devinst, &key, &type, reinterpret_cast<BYTE*>(buffer), &size, 0) != CR_SUCCESS) return false;
    if (type != DEVPROP_TYPE_STRING) return false;
    buffer[255] = 0;
    value = buffer;
    return true;
  }

  bool create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                   api_handle& handle, DWORD& error) override {
    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return false;
    }
    handle = from_handle(h);
    return true;
  }

  bool device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out, DWORD out_size,
                         DWORD& returned, DWORD& error) override {
    returned = 0;
    if (!DeviceIoControl(as_handle(handle), code, const_cast<void*>(in), in_size, out, out_size, &returned, nullptr)) {
      error = GetLastError();
      return false;
    }
    return true;
  }

  void close_handle(api_handle handle) override { CloseHandle(as_handle(handle)); }

  bool query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                        DWORD& error) override {
    std::vector<wchar_t> buffer(max_chars + 2, 0);
    DWORD chars = QueryDosDeviceW(name.c_str(), buffer.data(), max_chars);
    if (chars == 0) {
      error = GetLastError();
      return false;
    }
    targets = split_multi_string(buffer.data(), chars);
    return true;
  }

  bool find_first_volume(std::wstring& name, api_handle& find, DWORD& error) override {
    wchar_t buffer[1024] = {};
    HANDLE h = FindFirstVolumeW(buffer, 1024);
    if (h == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return false;
    }
    name = buffer;
    find = from_handle(h);
    return true;
  }

  bool find_next_volume(api_handle find, std::wstring& name) override {
    wchar_t buffer[1024] = {};
    if (!FindNextVolumeW(as_handle(find), buffer, 1024)) return false;
    name = buffer;
    return true;
  }

  void find_volume_close(api_handle find) override { FindVolumeClose(as_handle(find)); }

  bool volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) override {
    wchar_t label[261] = {}, file_system[261] = {};
    DWORD serial = 0, flags = 0;
    if (!GetVolumeInformationW(root.c_str(), label, 261, &serial, nullptr, &flags, file_system, 261)) {
      error = GetLastError();
      return false;
    }
    reply.label = label;
    reply.serial = serial;
    reply.flags = flags;
    reply.file_system = file_system;
    return true;
  }

  bool disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) override {
    ULARGE_INTEGER caller{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &caller, &total, &free)) {
      error = GetLastError();
      return false;
    }
    reply.free_for_caller = caller.QuadPart;
    reply.total_for_caller = total.QuadPart;
    reply.total_free = free.QuadPart;
    return true;
  }

  bool volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) override {
    std::vector<wchar_t> buffer(65536, 0);
    DWORD needed = 0;
    if (!GetVolumePathNamesForVolumeNameW(volume.c_str(), buffer.data(), DWORD(buffer.size()), &needed)) {
      error = GetLastError();
      return false;
    }
    paths = split_multi_string(buffer.data(), buffer.size());
    return true;
  }

  int64_t performance_counter() override {
    LARGE_INTEGER v{};
    QueryPerformanceCounter(&v);
    return v.QuadPart;
  }

  int64_t performance_frequency() override {
    LARGE_INTEGER v{};
    QueryPerformanceFrequency(&v);
    return v.QuadPart ? v.QuadPart : 1;
  }

  int os_version_index() override { return ::os_version_index(); }
  void set_last_error(DWORD code) override { ::SetLastError(code); }

  host_header read_host_header() override {
    host_header h;
    GetLocalTime(&h.local_time);
    TIME_ZONE_INFORMATION tz{};
    GetTimeZoneInformation(&tz);
    h.tz_bias = tz.Bias;
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 2] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(name, &size)) h.computer_name = name;
    h.os_version.dwOSVersionInfoSize = sizeof h.os_version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&h.os_version));
#pragma GCC diagnostic pop
    return h;
  }

 private:
  bool enum_interface(api_handle set, DWORD index, SP_DEVICE_INTERFACE_DATA& data) {
    data.cbSize = sizeof data;
    interface_set* s = as_set(set);
    return SetupDiEnumDeviceInterfaces(s->info, nullptr, &s->interface_class, index, &data);
  }

  bool detail(api_handle set, DWORD index, std::wstring* path, SP_DEVINFO_DATA& info, DWORD& error) {
    SP_DEVICE_INTERFACE_DATA data{};
    if (!enum_interface(set, index, data)) {
      error = GetLastError();
      return false;
    }
    std::vector<uint8_t> buffer(65536, 0);
    auto* d = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    d->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    info.cbSize = sizeof info;
    if (!SetupDiGetDeviceInterfaceDetailW(as_set(set)->info, &data, d, DWORD(buffer.size()), nullptr, &info)) {
      error = GetLastError();
      return false;
    }
    if (path) *path = d->DevicePath;
    as_set(set)->device_index = index;
    as_set(set)->device = info;
    return true;
  }
};

}  // namespace

device_api& win32_device_api() {
  static win32_api api;
  return api;
}
