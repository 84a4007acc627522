#include "fake_machine.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "storage/controllers.h"
#include "storage/drives.h"
#include "storage/volumes.h"

namespace {
bool same_key(const DEVPROPKEY& a, const DEVPROPKEY& b) {
  return a.pid == b.pid && std::memcmp(&a.fmtid, &b.fmtid, sizeof a.fmtid) == 0;
}
bool listed_in(int passes, int pass) { return passes < 0 || pass <= passes; }

bool answer(const fake_reply& reply, void* out, DWORD out_size, DWORD& returned, DWORD& error) {
  if (reply.error) {
    error = reply.error;
    return false;
  }
  if (reply.bytes.size() > out_size) {
    // Fixed-size requests get what fits and "more data", as the storage stack answers them.
    std::memcpy(out, reply.bytes.data(), out_size);
    returned = out_size;
    error = ERROR_MORE_DATA;
    return false;
  }
  if (!reply.bytes.empty()) std::memcpy(out, reply.bytes.data(), reply.bytes.size());
  returned = DWORD(reply.bytes.size());
  return true;
}
}  // namespace

fake_machine::open_thing* fake_machine::find(api_handle h, open_thing::kind_t kind) {
  auto it = handles_.find(h);
  return it != handles_.end() && it->second.kind == kind ? &it->second : nullptr;
}

api_handle fake_machine::add(open_thing thing) {
  const api_handle h = next_handle_++;
  handles_.emplace(h, std::move(thing));
  return h;
}

bool fake_machine::open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) {
  struct interface_class_lists {
    const GUID& guid;
    const std::vector<fake_interface>& listed;
    DWORD error;
    int& passes;
  } classes[] = {{disk_interface_class, disk_interfaces, disk_set_error, disk_passes_},
                 {volume_interface_class, volume_interfaces, volume_set_error, volume_passes_},
                 {storage_port_interface_class, adapter_interfaces, adapter_set_error, adapter_passes_}};
  for (interface_class_lists& c : classes) {
    if (!IsEqualGUID(interface_class, c.guid)) continue;
    if (c.error) {
      error = c.error;
      return false;
    }
    const int pass = ++c.passes;
    open_thing thing{open_thing::interface_set, {}, {}, {}, 0};
    for (const fake_interface& i : c.listed)
      if (listed_in(i.passes, pass)) thing.listed.push_back(&i);
    set = add(std::move(thing));
    return true;
  }
  error = ERROR_INVALID_PARAMETER;
  return false;
}

bool fake_machine::has_interface(api_handle set, DWORD index) {
  open_thing* t = find(set, open_thing::interface_set);
  return t && index < t->listed.size();
}

bool fake_machine::interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) {
  open_thing* t = find(set, open_thing::interface_set);
  if (!t || index >= t->listed.size()) {
    error = ERROR_NO_MORE_ITEMS;
    return false;
  }
  const fake_interface& i = *t->listed[index];
  if (i.detail_error) {
    error = i.detail_error;
    return false;
  }
  path = i.path;
  devinst = i.devinst;
  return true;
}

bool fake_machine::registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) {
  open_thing* t = find(set, open_thing::interface_set);
  if (!t || index >= t->listed.size()) return false;
  auto it = t->listed[index]->registry.find(property);
  if (it == t->listed[index]->registry.end()) return false;
  value = it->second;
  return true;
}

void fake_machine::close_interface_set(api_handle set) { handles_.erase(set); }

bool fake_machine::device_id(DWORD devinst, std::wstring& id, DWORD& error) {
  auto it = nodes.find(devinst);
  if (it == nodes.end()) {
    error = 0x0D;  // CR_NO_SUCH_DEVNODE
    return false;
  }
  if (it->second.id_error) {
    error = it->second.id_error;
    return false;
  }
  id = it->second.id;
  return true;
}

bool fake_machine::parent_node(DWORD devinst, DWORD& parent, DWORD& error) {
  auto it = nodes.find(devinst);
  if (it == nodes.end() || !it->second.parent) {
    error = 0x0D;
    return false;
  }
  parent = it->second.parent;
  return true;
}

bool fake_machine::node_address(DWORD devinst, DWORD& address, DWORD& error) {
  auto it = nodes.find(devinst);
  if (it == nodes.end() || !it->second.has_address) {
    error = 0x25;  // CR_NO_SUCH_VALUE
    return false;
  }
  address = it->second.address;
  return true;
}

bool fake_machine::node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) {
  auto it = nodes.find(devinst);
  if (!node_properties_available || it == nodes.end()) return false;
  for (const auto& p : it->second.properties) {
    if (!same_key(p.first, key)) continue;
    value = p.second;
    return true;
  }
  return false;
}

bool fake_machine::create_file(const std::wstring& path, DWORD access, DWORD, DWORD, DWORD, api_handle& handle,
                               DWORD& error) {
  opens.push_back(path + L"|" + std::to_wstring(access));
  auto it = devices.find(path);
  if (it == devices.end()) {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  const std::vector<DWORD>& accepted = it->second.accepted_access;
  bool ok = accepted.empty();
  for (DWORD a : accepted) ok = ok || a == access;
  if (!ok) {
    error = it->second.open_error;
    return false;
  }
  open_thing thing{open_thing::device, {}, path, {}, 0};
  handle = add(std::move(thing));
  return true;
}

bool fake_machine::device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out,
                                     DWORD out_size, DWORD& returned, DWORD& error) {
  returned = 0;
  open_thing* t = find(handle, open_thing::device);
  if (!t) {
    error = ERROR_INVALID_HANDLE;
    return false;
  }
  return answer(devices.at(t->path).reply_to(code, static_cast<const uint8_t*>(in), in_size), out, out_size, returned,
                error);
}

fake_reply fake_device::reply_to(DWORD code, const uint8_t* in, DWORD in_size) const {
  fake_reply reply;
  if (handler && handler(code, in, in_size, reply)) return reply;
  const std::map<DWORD, fake_reply>* table = &replies;
  DWORD key = code;
  if (code == IOCTL_STORAGE_QUERY_PROPERTY) {
    if (in_size < 8) return fake_reply{{}, ERROR_INVALID_PARAMETER};
    std::memcpy(&key, in, 4);  // STORAGE_PROPERTY_QUERY::PropertyId
    table = &property_replies;
  }
  auto it = table->find(key);
  return it == table->end() ? fake_reply{{}, ERROR_INVALID_FUNCTION} : it->second;
}

void fake_machine::close_handle(api_handle handle) {
  if (!find(handle, open_thing::device)) throw std::logic_error("close_handle of a handle that is not open");
  handles_.erase(handle);
}

bool fake_machine::query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                                    DWORD& error) {
  auto it = dos_devices.find(name);
  if (it == dos_devices.end()) {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  size_t chars = 1;
  for (const std::wstring& s : it->second) chars += s.size() + 1;
  if (chars > max_chars) {
    error = ERROR_INSUFFICIENT_BUFFER;
    return false;
  }
  targets = it->second;
  return true;
}

bool fake_machine::find_first_volume(std::wstring& name, api_handle& find, DWORD& error) {
  if (find_volume_error) {
    error = find_volume_error;
    return false;
  }
  const int walk = ++volume_walks_;
  open_thing thing{open_thing::volume_walk, {}, {}, {}, 0};
  for (const fake_volume& v : volumes)
    if (listed_in(v.passes, walk)) thing.names.push_back(v.name);
  if (thing.names.empty()) {
    error = ERROR_NO_MORE_FILES;
    return false;
  }
  name = thing.names[0];
  thing.next = 1;
  find = add(std::move(thing));
  return true;
}

bool fake_machine::find_next_volume(api_handle find, std::wstring& name) {
  open_thing* t = this->find(find, open_thing::volume_walk);
  if (!t || t->next >= t->names.size()) return false;
  name = t->names[t->next++];
  return true;
}

void fake_machine::find_volume_close(api_handle find) { handles_.erase(find); }

bool fake_machine::volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) {
  for (const fake_volume& v : volumes) {
    if (v.name != root) continue;
    size_t& n = info_calls_[root];
    const DWORD e = v.info_errors.empty() ? 0 : v.info_errors[std::min(n, v.info_errors.size() - 1)];
    ++n;
    if (e) {
      error = e;
      return false;
    }
    reply = v.info;
    return true;
  }
  error = ERROR_PATH_NOT_FOUND;
  return false;
}

bool fake_machine::disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) {
  for (const fake_volume& v : volumes) {
    if (v.name != root) continue;
    if (v.free_error) {
      error = v.free_error;
      return false;
    }
    reply = v.free;
    return true;
  }
  error = ERROR_PATH_NOT_FOUND;
  return false;
}

bool fake_machine::volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) {
  for (const fake_volume& v : volumes) {
    if (v.name != volume) continue;
    if (v.paths_error) {
      error = v.paths_error;
      return false;
    }
    paths = v.mount_points;
    return true;
  }
  error = ERROR_FILE_NOT_FOUND;
  return false;
}

reply_writer& reply_writer::u8(uint8_t v) { return bytes(&v, 1); }
reply_writer& reply_writer::u16(uint16_t v) { return bytes(&v, 2); }
reply_writer& reply_writer::u32(uint32_t v) { return bytes(&v, 4); }
reply_writer& reply_writer::u64(uint64_t v) { return bytes(&v, 8); }
reply_writer& reply_writer::bytes(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  b_.insert(b_.end(), p, p + size);
  return *this;
}
reply_writer& reply_writer::text(const std::string& s, bool nul) {
  bytes(s.data(), s.size());
  return nul ? u8(0) : *this;
}
reply_writer& reply_writer::wtext(const std::wstring& s) {
  for (wchar_t c : s) u16(uint16_t(c));
  return *this;
}
reply_writer& reply_writer::zeros(size_t n) {
  b_.resize(b_.size() + n, 0);
  return *this;
}
reply_writer& reply_writer::at(size_t offset) {
  if (offset < b_.size()) throw std::logic_error("reply_writer::at moves backwards");
  b_.resize(offset, 0);
  return *this;
}
reply_writer& reply_writer::patch32(size_t offset, uint32_t v) {
  if (offset + 4 > b_.size()) throw std::logic_error("reply_writer::patch32 past the end");
  std::memcpy(&b_[offset], &v, 4);
  return *this;
}

std::vector<uint8_t> reg_string(const std::wstring& s) {
  reply_writer w;
  w.wtext(s).u16(0);
  return w.done();
}
std::vector<uint8_t> reg_dword(DWORD v) { return reply_writer().u32(v).done(); }
