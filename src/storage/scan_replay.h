#pragma once

#include <map>
#include <set>

#include "storage/device_api.h"
#include "storage/scan_recording.h"
#include "storage/vds_api.h"
#include "support/logger.h"

// Answers the scan from a recording instead of the system. A question asked again gets the
// recorded answers in order, the last one once they run out. A question the recording lacks is
// answered as the system answers for a device that is not there, and named once in the log.
class scan_replay final : public device_api, public vds_api {
 public:
  explicit scan_replay(scan_recording recording);
  // Where the missing questions are named; not owned, may be null.
  void set_logger(logger* log) { log_ = log; }
  // The questions that were not in the recording, each once.
  const std::vector<std::string>& missing() const { return missing_; }

  bool open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) override;
  bool has_interface(api_handle set, DWORD index) override;
  bool interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) override;
  bool registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) override;
  void close_interface_set(api_handle set) override { handles_.erase(set); }
  bool device_id(DWORD devinst, std::wstring& id, DWORD& error) override;
  bool parent_node(DWORD devinst, DWORD& parent, DWORD& error) override;
  bool node_address(DWORD devinst, DWORD& address, DWORD& error) override;
  bool has_node_properties() override;
  bool node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) override;
  bool create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                   api_handle& handle, DWORD& error) override;
  bool device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out, DWORD out_size,
                         DWORD& returned, DWORD& error) override;
  void close_handle(api_handle handle) override { handles_.erase(handle); }
  bool query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                        DWORD& error) override;
  bool find_first_volume(std::wstring& name, api_handle& find, DWORD& error) override;
  bool find_next_volume(api_handle find, std::wstring& name) override;
  void find_volume_close(api_handle find) override { handles_.erase(find); }
  bool volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) override;
  bool disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) override;
  bool volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) override;
  int64_t performance_counter() override;
  int64_t performance_frequency() override;
  int os_version_index() override;
  void set_last_error(DWORD code) override { ::SetLastError(code); }
  host_header read_host_header() override;

  HRESULT create_loader(vds_com::IVdsServiceLoader** loader) override;

  // Handles still open: 0 once the scan has closed all it opened.
  size_t open_handles() const { return handles_.size(); }
  // The service's objects not yet released.
  int vds_objects = 0;
  // The recorded answer to a question of the service's objects, or null after naming it.
  const recorded_entry* answer_to(recorded_entry question, const char* call, const std::string& shown) {
    question.call = call;
    return answer(question, shown);
  }

 private:
  struct answers {
    std::vector<const recorded_entry*> entries;
    size_t next = 0;
  };
  // The recorded answer, or null after naming the question as missing.
  const recorded_entry* answer(const recorded_entry& question, const std::string& shown);
  bool ok_or(const recorded_entry* a, DWORD& error, DWORD missing_error);
  api_handle open(const std::string& what);

  scan_recording recording_;
  std::map<std::string, answers> answers_;
  std::map<api_handle, std::string> handles_;
  api_handle last_handle_ = 0;
  std::map<api_handle, DWORD> finds_;
  std::set<std::string> named_;
  std::vector<std::string> missing_;
  logger* log_ = nullptr;
};

// Reads a recording file; false with the reason ("FILE: line N: why") in `error`.
bool load_recording(const std::wstring& path, scan_recording& recording, std::string& error);
