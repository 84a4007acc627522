#pragma once

#include <map>

#include "storage/device_api.h"
#include "storage/scan_recording.h"
#include "storage/vds_api.h"

// Passes every request of the scan on to the system and keeps it with its answer. Handles are
// recorded as what they were opened for (a device's path, an interface class), never as numbers.
class scan_recorder final : public device_api, public vds_api {
 public:
  scan_recorder(device_api& system, vds_api& vds, const std::string& program_version);
  const scan_recording& recording() const { return recording_; }

  bool open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) override;
  bool has_interface(api_handle set, DWORD index) override;
  bool interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) override;
  bool registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) override;
  void close_interface_set(api_handle set) override;
  bool device_id(DWORD devinst, std::wstring& id, DWORD& error) override;
  bool parent_node(DWORD devinst, DWORD& parent, DWORD& error) override;
  bool node_address(DWORD devinst, DWORD& address, DWORD& error) override;
  bool has_node_properties() override;
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
  int64_t performance_counter() override;
  int64_t performance_frequency() override;
  int os_version_index() override;
  void set_last_error(DWORD code) override { system_.set_last_error(code); }
  host_header read_host_header() override;

  HRESULT create_loader(vds_com::IVdsServiceLoader** loader) override;

  // A new entry of the recording, for the service's objects as for the calls above.
  recorded_entry& add(const char* call);

 private:
  device_api& system_;
  vds_api& vds_;
  scan_recording recording_;
  std::map<api_handle, std::string> sets_, files_;
  std::map<api_handle, DWORD> finds_;
};

// The texts a recording keeps for GUIDs and property keys.
std::string recorded_guid(const GUID& guid);
std::string recorded_property_key(const DEVPROPKEY& key);
// The host header as recorded; the same fields are read back by the replay.
void record_host_header(recorded_entry& e, const host_header& h);
host_header replayed_host_header(const recorded_entry& e);
