#pragma once

#include <windows.h>
#include <devpropdef.h>

#include <cstdint>
#include <string>
#include <vector>

// Every operating-system call of the storage scan, and nothing else. The scan logic above it is
// the same for the real machine and for the synthetic machines of the tests.
//
// Each call returns whether it succeeded; on failure `error` holds the GetLastError value (the
// CONFIGRET for the CM_ calls). Handles are opaque numbers, 0 never being a valid one.

using api_handle = uintptr_t;

struct volume_information_reply {
  std::wstring label;
  uint32_t serial = 0;
  uint32_t flags = 0;
  std::wstring file_system;
};

struct free_space_reply {
  uint64_t free_for_caller = 0;
  uint64_t total_for_caller = 0;
  uint64_t total_free = 0;
};

struct host_header {
  SYSTEMTIME local_time{};
  LONG tz_bias = 0;
  std::wstring computer_name;  // empty when unknown
  OSVERSIONINFOEXW os_version{};
};

class device_api {
 public:
  virtual ~device_api() = default;

  // SetupDiGetClassDevsW(class, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE).
  virtual bool open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) = 0;
  // SetupDiEnumDeviceInterfaces: false past the last interface.
  virtual bool has_interface(api_handle set, DWORD index) = 0;
  // SetupDiGetDeviceInterfaceDetailW: the interface path and its device node.
  virtual bool interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) = 0;
  // SetupDiGetDeviceRegistryPropertyW of the interface's device (SPDRP_*), raw bytes.
  virtual bool registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) = 0;
  virtual void close_interface_set(api_handle set) = 0;

  virtual bool device_id(DWORD devinst, std::wstring& id, DWORD& error) = 0;  // CM_Get_Device_IDW
  virtual bool parent_node(DWORD devinst, DWORD& parent, DWORD& error) = 0;   // CM_Get_Parent
  // CM_Get_DevNode_Registry_PropertyW(CM_DRP_ADDRESS) as a 4-byte number: a USB device's hub port.
  virtual bool node_address(DWORD devinst, DWORD& address, DWORD& error) = 0;
  virtual bool has_node_properties() = 0;  // CM_Get_DevNode_PropertyW could be loaded
  // CM_Get_DevNode_PropertyW of a string property, into 256 characters.
  virtual bool node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) = 0;

  // CreateFileW for devices and volumes.
  virtual bool create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                           api_handle& handle, DWORD& error) = 0;
  virtual bool device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out,
                                 DWORD out_size, DWORD& returned, DWORD& error) = 0;
  virtual void close_handle(api_handle handle) = 0;

  // QueryDosDeviceW into `max_chars`; the reply as the list of its strings.
  virtual bool query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                                DWORD& error) = 0;

  virtual bool find_first_volume(std::wstring& name, api_handle& find, DWORD& error) = 0;
  virtual bool find_next_volume(api_handle find, std::wstring& name) = 0;
  virtual void find_volume_close(api_handle find) = 0;
  virtual bool volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) = 0;
  virtual bool disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) = 0;
  // GetVolumePathNamesForVolumeNameW: the mount points of a volume.
  virtual bool volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) = 0;

  virtual int64_t performance_counter() = 0;
  virtual int64_t performance_frequency() = 0;
  virtual int os_version_index() = 0;
  // SetLastError: a driver's failure that arrived inside a successful call, handed on as the
  // thread's error.
  virtual void set_last_error(DWORD code) = 0;
  virtual host_header read_host_header() = 0;
};

// The real machine.
device_api& win32_device_api();

// A handle of the seam that is closed with its owner.
class scoped_api_handle {
 public:
  explicit scoped_api_handle(device_api& api, api_handle h = 0) : api_(api), h_(h) {}
  ~scoped_api_handle() { reset(); }
  scoped_api_handle(const scoped_api_handle&) = delete;
  scoped_api_handle& operator=(const scoped_api_handle&) = delete;
  void reset(api_handle h = 0) {
    if (h_) api_.close_handle(h_);
    h_ = h;
  }
  api_handle get() const { return h_; }
  explicit operator bool() const { return h_ != 0; }

 private:
  device_api& api_;
  api_handle h_;
};
