#include "storage/scan_replay.h"

#include <cstdio>
#include <cstring>

#include "storage/direct_transfer.h"
#include "storage/scan_recorder.h"
#include "storage/vds_recording.h"
#include "support/text.h"

namespace {
// What the system answers for a device, volume or node that is not there.
constexpr DWORD no_such_file = ERROR_FILE_NOT_FOUND;
constexpr DWORD no_such_request = ERROR_INVALID_FUNCTION;
constexpr DWORD no_such_node = 0x0D;  // CR_NO_SUCH_DEVNODE
constexpr DWORD no_more_items = ERROR_NO_MORE_ITEMS;

// The buffer as the system left it: the recorded bytes, zeros after them.
void fill(void* buffer, DWORD size, const std::vector<uint8_t>& bytes) {
  if (!buffer) return;
  std::memset(buffer, 0, size);
  std::memcpy(buffer, bytes.data(), bytes.size() < size ? bytes.size() : size);
}

recorded_entry question(const char* call) {
  recorded_entry e;
  e.call = call;
  return e;
}
}  // namespace

scan_replay::scan_replay(scan_recording recording) : recording_(std::move(recording)) {
  for (const recorded_entry& e : recording_.entries) answers_[e.key()].entries.push_back(&e);
}

const recorded_entry* scan_replay::answer(const recorded_entry& q, const std::string& shown) {
  auto it = answers_.find(q.key());
  if (it != answers_.end()) {
    answers& a = it->second;
    const recorded_entry* e = a.entries[a.next];
    if (a.next + 1 < a.entries.size()) ++a.next;
    return e;
  }
  if (named_.insert(q.key()).second) {
    missing_.push_back(shown);
    if (log_) log_->log(2, "Not in the recording, answered as a missing device: %s\n", shown.c_str());
  }
  return nullptr;
}

bool scan_replay::ok_or(const recorded_entry* a, DWORD& error, DWORD missing_error) {
  if (!a) {
    error = missing_error;
    return false;
  }
  if (a->number("ok")) return true;
  error = DWORD(a->number("error"));
  return false;
}

api_handle scan_replay::open(const std::string& what) {
  handles_[++last_handle_] = what;
  return last_handle_;
}

bool scan_replay::open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) {
  const std::string c = recorded_guid(interface_class);
  const recorded_entry* a = answer(question("interface_set").in_text("class", c), "interface_set " + c);
  // A class nobody recorded has no interfaces present: an empty set.
  if (a && !a->number("ok")) {
    error = DWORD(a->number("error"));
    return false;
  }
  set = open(c);
  return true;
}

bool scan_replay::has_interface(api_handle set, DWORD index) {
  const std::string& c = handles_[set];
  const recorded_entry* a = answer(question("has_interface").in_text("class", c).in_number("index", index),
                                   "has_interface " + c + " " + std::to_string(index));
  return a && a->number("ok");
}

bool scan_replay::interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) {
  const std::string& c = handles_[set];
  const recorded_entry* a = answer(question("interface_detail").in_text("class", c).in_number("index", index),
                                   "interface_detail " + c + " " + std::to_string(index));
  if (!ok_or(a, error, no_more_items)) return false;
  path = from_utf8(a->text("path"));
  devinst = DWORD(a->number("devinst"));
  return true;
}

bool scan_replay::registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) {
  const std::string& c = handles_[set];
  const recorded_entry* a = answer(
      question("registry_property").in_text("class", c).in_number("index", index).in_number("property", property),
      "registry_property " + c + " " + std::to_string(index) + " " + std::to_string(property));
  if (!a || !a->number("ok")) return false;
  value = a->bytes("data");
  return true;
}

bool scan_replay::device_id(DWORD devinst, std::wstring& id, DWORD& error) {
  const recorded_entry* a =
      answer(question("device_id").in_number("devinst", devinst), "device_id " + std::to_string(devinst));
  if (!ok_or(a, error, no_such_node)) return false;
  id = from_utf8(a->text("id"));
  return true;
}

bool scan_replay::parent_node(DWORD devinst, DWORD& parent, DWORD& error) {
  const recorded_entry* a =
      answer(question("parent_node").in_number("devinst", devinst), "parent_node " + std::to_string(devinst));
  if (!ok_or(a, error, no_such_node)) return false;
  parent = DWORD(a->number("parent"));
  return true;
}

bool scan_replay::node_address(DWORD devinst, DWORD& address, DWORD& error) {
  const recorded_entry* a =
      answer(question("node_address").in_number("devinst", devinst), "node_address " + std::to_string(devinst));
  if (!ok_or(a, error, no_such_node)) return false;
  address = DWORD(a->number("address"));
  return true;
}

bool scan_replay::has_node_properties() {
  const recorded_entry* a = answer(question("has_node_properties"), "has_node_properties");
  return a && a->number("ok");
}

bool scan_replay::node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) {
  const std::string k = recorded_property_key(key);
  const recorded_entry* a = answer(question("node_property").in_number("devinst", devinst).in_text("key", k),
                                   "node_property " + std::to_string(devinst) + " " + k);
  if (!a || !a->number("ok")) return false;
  value = from_utf8(a->text("text"));
  return true;
}

bool scan_replay::create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                              api_handle& handle, DWORD& error) {
  const std::string p = to_utf8(path);
  const recorded_entry* a = answer(question("create_file")
                                       .in_text("path", p)
                                       .in_number("access", access)
                                       .in_number("share", share)
                                       .in_number("disposition", disposition)
                                       .in_number("flags", flags),
                                   "create_file " + p);
  if (!ok_or(a, error, no_such_file)) return false;
  handle = open(p);
  return true;
}

bool scan_replay::device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out,
                                    DWORD out_size, DWORD& returned, DWORD& error) {
  const std::string& p = handles_[handle];
  direct_transfer direct;
  const bool is_direct = find_direct_transfer(code, in, in_size, direct);
  const std::vector<uint8_t> input = without_pointer(in, in ? in_size : 0, is_direct ? &direct : nullptr);
  recorded_entry q = question("ioctl");
  q.in_text("path", p)
      .in_number("code", code)
      .in_bytes("in", input.data(), input.size())
      .in_number("out_size", out ? out_size : 0);
  if (is_direct && direct.to_device) q.in_bytes("sent", direct.buffer, direct.size);
  char shown[32];
  snprintf(shown, sizeof shown, " 0x%08lX", (unsigned long)code);
  const recorded_entry* a = answer(q, "ioctl " + p + shown);
  returned = 0;
  if (!a) {
    error = no_such_request;
    return false;
  }
  if (out) fill(out, out_size, a->bytes("out"));
  // The answer echoes the request: the pointer in it is the caller's again.
  if (is_direct && out == in && out_size >= direct.pointer_offset + sizeof(void*))
    std::memcpy(static_cast<uint8_t*>(out) + direct.pointer_offset, &direct.buffer, sizeof(void*));
  if (is_direct && !direct.to_device) fill(direct.buffer, DWORD(direct.size), a->bytes("received"));
  returned = DWORD(a->number("returned"));
  if (a->number("ok")) return true;
  error = DWORD(a->number("error"));
  return false;
}

bool scan_replay::query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                                   DWORD& error) {
  const std::string n = to_utf8(name);
  const recorded_entry* a = answer(question("query_dos_device").in_text("name", n).in_number("max_chars", max_chars),
                                   "query_dos_device " + n);
  if (!ok_or(a, error, no_such_file)) return false;
  targets.clear();
  for (const std::string& t : a->texts("target")) targets.push_back(from_utf8(t));
  return true;
}

bool scan_replay::find_first_volume(std::wstring& name, api_handle& find, DWORD& error) {
  const recorded_entry* a = answer(question("find_first_volume"), "find_first_volume");
  if (!ok_or(a, error, ERROR_NO_MORE_FILES)) return false;
  name = from_utf8(a->text("name"));
  find = open("volumes");
  finds_[find] = 0;
  return true;
}

bool scan_replay::find_next_volume(api_handle find, std::wstring& name) {
  const DWORD index = ++finds_[find];
  const recorded_entry* a =
      answer(question("find_next_volume").in_number("index", index), "find_next_volume " + std::to_string(index));
  if (!a || !a->number("ok")) return false;
  name = from_utf8(a->text("name"));
  return true;
}

bool scan_replay::volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) {
  const std::string r = to_utf8(root);
  const recorded_entry* a = answer(question("volume_information").in_text("root", r), "volume_information " + r);
  if (!ok_or(a, error, no_such_file)) return false;
  reply.label = from_utf8(a->text("label"));
  reply.serial = uint32_t(a->number("serial"));
  reply.flags = uint32_t(a->number("flags"));
  reply.file_system = from_utf8(a->text("file_system"));
  return true;
}

bool scan_replay::disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) {
  const std::string r = to_utf8(root);
  const recorded_entry* a = answer(question("disk_free_space").in_text("root", r), "disk_free_space " + r);
  if (!ok_or(a, error, no_such_file)) return false;
  reply.free_for_caller = a->number("free_for_caller");
  reply.total_for_caller = a->number("total_for_caller");
  reply.total_free = a->number("total_free");
  return true;
}

bool scan_replay::volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) {
  const std::string v = to_utf8(volume);
  const recorded_entry* a = answer(question("volume_path_names").in_text("volume", v), "volume_path_names " + v);
  if (!ok_or(a, error, no_such_file)) return false;
  paths.clear();
  for (const std::string& p : a->texts("path")) paths.push_back(from_utf8(p));
  return true;
}

int64_t scan_replay::performance_counter() {
  const recorded_entry* a = answer(question("performance_counter"), "performance_counter");
  return a ? int64_t(a->number("value")) : 0;
}

int64_t scan_replay::performance_frequency() {
  const recorded_entry* a = answer(question("performance_frequency"), "performance_frequency");
  const int64_t f = a ? int64_t(a->number("value")) : 1;
  return f > 0 ? f : 1;
}

int scan_replay::os_version_index() {
  const recorded_entry* a = answer(question("os_version_index"), "os_version_index");
  return a ? int(a->number("value")) : 0;
}

host_header scan_replay::read_host_header() {
  const recorded_entry* a = answer(question("host_header"), "host_header");
  return a ? replayed_host_header(*a) : host_header{};
}

HRESULT scan_replay::create_loader(vds_com::IVdsServiceLoader** loader) {
  *loader = nullptr;
  const recorded_entry* a = answer(question("vds_loader"), "vds_loader");
  if (!a) return REGDB_E_CLASSNOTREG;  // as where the service is not installed
  const HRESULT hr = HRESULT(uint32_t(a->number("hr")));
  if (SUCCEEDED(hr)) *loader = replayed_vds_loader(*this);
  return hr;
}

bool load_recording(const std::wstring& path, scan_recording& recording, std::string& error) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = to_utf8(path) + ": cannot be opened (CreateFile() failed with " + std::to_string(GetLastError()) + ")";
    return false;
  }
  std::string text;
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buffer, sizeof buffer, &got, nullptr) != 0) && got) text.append(buffer, got);
  const DWORD read_error = GetLastError();
  CloseHandle(h);
  if (!ok) {
    error = to_utf8(path) + ": cannot be read (ReadFile() failed with " + std::to_string(read_error) + ")";
    return false;
  }
  if (read_recording(text, recording, error)) return true;
  error = to_utf8(path) + ": " + error;
  return false;
}
