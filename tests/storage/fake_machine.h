#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fake_vds.h"
#include "storage/device_api.h"

// A machine described in test code, answering the storage scan's system calls.

struct fake_reply {
  std::vector<uint8_t> bytes;
  DWORD error = 0;  // not 0: the call fails with it
  // Bytes beyond the caller's buffer make the call fail with ERROR_MORE_DATA, as devices do.
};

struct fake_device {
  // The access masks that open it; empty: any.
  std::vector<DWORD> accepted_access;
  DWORD open_error = ERROR_ACCESS_DENIED;
  // Answers by control code; IOCTL_STORAGE_QUERY_PROPERTY answers by its property id instead.
  std::map<DWORD, fake_reply> replies;
  std::map<DWORD, fake_reply> property_replies;
  // Consulted first, for requests whose answer depends on their input; false: not handled.
  std::function<bool(DWORD code, const uint8_t* in, DWORD in_size, fake_reply& reply)> handler;
  // What the device answers a request: the handler, else the tables, else ERROR_INVALID_FUNCTION.
  fake_reply reply_to(DWORD code, const uint8_t* in, DWORD in_size) const;
};

struct fake_interface {
  std::wstring path;
  DWORD devinst = 0;
  DWORD detail_error = 0;                          // not 0: the detail call fails
  std::map<DWORD, std::vector<uint8_t>> registry;  // SPDRP_* -> raw value
  int passes = -1;                                 // how many enumerations list it; -1: all
};

struct fake_node {
  std::wstring id;
  DWORD parent = 0;  // 0: none
  DWORD id_error = 0;
  std::vector<std::pair<DEVPROPKEY, std::wstring>> properties;
  bool has_address = false;  // CM_DRP_ADDRESS: a USB device's port on its hub
  DWORD address = 0;
};

struct fake_volume {
  std::wstring name;  // \\?\Volume{...}\ as FindFirstVolume gives it
  // The replies of successive GetVolumeInformation calls; the last one repeats.
  std::vector<DWORD> info_errors{0};
  volume_information_reply info;
  DWORD free_error = 0;
  free_space_reply free;
  DWORD paths_error = 0;
  std::vector<std::wstring> mount_points;
  int passes = -1;  // how many FindFirstVolume walks list it; -1: all
};

class fake_machine final : public device_api {
 public:
  std::vector<fake_interface> disk_interfaces, volume_interfaces, adapter_interfaces;
  DWORD disk_set_error = 0, volume_set_error = 0, adapter_set_error = 0;
  std::map<DWORD, fake_node> nodes;
  bool node_properties_available = true;
  std::map<std::wstring, fake_device> devices;                    // by the path given to CreateFile
  std::map<std::wstring, std::vector<std::wstring>> dos_devices;  // QueryDosDevice name -> strings
  std::vector<fake_volume> volumes;
  DWORD find_volume_error = 0;
  int os_index = 8;
  fake_vds vds;  // the Virtual Disk Service; unreachable unless a test sets it up
  host_header header;
  int64_t ticks_per_call = 25;  // each counter reading advances the clock; frequency 1 MHz

  // Handles handed out and not closed yet, of every kind.
  int open_handles() const { return int(handles_.size()); }
  // The thread's error as the scan last set it.
  DWORD last_error_set = 0;
  // Each CreateFile, "path|access", in order.
  std::vector<std::wstring> opens;

  bool open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) override;
  bool has_interface(api_handle set, DWORD index) override;
  bool interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) override;
  bool registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) override;
  void close_interface_set(api_handle set) override;
  bool device_id(DWORD devinst, std::wstring& id, DWORD& error) override;
  bool parent_node(DWORD devinst, DWORD& parent, DWORD& error) override;
  bool node_address(DWORD devinst, DWORD& address, DWORD& error) override;
  bool has_node_properties() override { return node_properties_available; }
  bool node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) override;
  bool create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                   api_handle& handle, DWORD& error) override;
  bool device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out, DWORD out_size,
                         DWORD& returned, DWORD& error) override;
  void close_handle(api_handle handle) override;
  bool query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                        DWORD& error) override;
  bool find_first_volume(std::wstring& name, api_handle& find, DWORD& error) override;
  bool find_next_volume(api_handle find, std::wstring& name) override;
  void find_volume_close(api_handle find) override;
  bool volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) override;
  bool disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) override;
  bool volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) override;
  int64_t performance_counter() override { return clock_ += ticks_per_call; }
  int64_t performance_frequency() override { return 1000000; }
  int os_version_index() override { return os_index; }
  void set_last_error(DWORD code) override { last_error_set = code; }
  host_header read_host_header() override { return header; }

 private:
  struct open_thing {
    enum kind_t { interface_set, device, volume_walk } kind;
    std::vector<const fake_interface*> listed;  // interface sets: what this pass lists
    std::wstring path;                          // devices
    std::vector<std::wstring> names;            // volume walks
    size_t next = 0;
  };
  open_thing* find(api_handle h, open_thing::kind_t kind);
  api_handle add(open_thing thing);

  std::map<api_handle, open_thing> handles_;
  api_handle next_handle_ = 0x100;
  int disk_passes_ = 0, volume_passes_ = 0, adapter_passes_ = 0, volume_walks_ = 0;
  std::map<std::wstring, size_t> info_calls_;
  int64_t clock_ = 1000000;
};

// Little-endian byte replies, built field by field.
class reply_writer {
 public:
  reply_writer& u8(uint8_t v);
  reply_writer& u16(uint16_t v);
  reply_writer& u32(uint32_t v);
  reply_writer& u64(uint64_t v);
  reply_writer& bytes(const void* data, size_t size);
  reply_writer& text(const std::string& s, bool nul = true);  // narrow, NUL-terminated
  reply_writer& wtext(const std::wstring& s);                 // UTF-16 units, no terminator
  reply_writer& zeros(size_t n);
  reply_writer& guid(const GUID& g) { return bytes(&g, sizeof g); }
  // Pads with zeros to an offset.
  reply_writer& at(size_t offset);
  // Overwrites a 32-bit field already written (offsets known only later).
  reply_writer& patch32(size_t offset, uint32_t v);
  size_t size() const { return b_.size(); }
  std::vector<uint8_t> done() const { return b_; }

 private:
  std::vector<uint8_t> b_;
};

// A REG_SZ or REG_DWORD registry property value.
std::vector<uint8_t> reg_string(const std::wstring& s);
std::vector<uint8_t> reg_dword(DWORD v);
