#include "storage/scan_recorder.h"

#include <algorithm>
#include <cstdio>

#include "storage/direct_transfer.h"
#include "storage/vds_recording.h"
#include "support/format_string.h"
#include "support/hex_text.h"
#include "support/text.h"

namespace {
// Output buffers are kept whole up to their last written byte: some requests answer in place of
// their input (pass-through), and the replay must leave the buffer as the system left it.
size_t used_size(const void* out, DWORD out_size) {
  const uint8_t* p = static_cast<const uint8_t*>(out);
  size_t n = out ? out_size : 0;
  while (n && p[n - 1] == 0) --n;
  return n;
}

std::string utf8(const std::wstring& s) { return to_utf8(s); }
}  // namespace

std::string recorded_guid(const GUID& guid) {
  return "{" + guid_to_text(reinterpret_cast<const uint8_t*>(&guid), true) + "}";
}

std::string recorded_property_key(const DEVPROPKEY& key) {
  return recorded_guid(key.fmtid) + format_string(" %lu", (unsigned long)key.pid);
}

scan_recorder::scan_recorder(device_api& system, vds_api& vds, const std::string& program_version)
    : system_(system), vds_(vds) {
  recording_.program_version = program_version;
}

recorded_entry& scan_recorder::add(const char* call) {
  recording_.entries.emplace_back();
  recording_.entries.back().call = call;
  return recording_.entries.back();
}

bool scan_recorder::open_interface_set(const GUID& interface_class, api_handle& set, DWORD& error) {
  error = 0;
  const bool ok = system_.open_interface_set(interface_class, set, error);
  add("interface_set")
      .in_text("class", recorded_guid(interface_class))
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error);
  if (ok) sets_[set] = recorded_guid(interface_class);
  return ok;
}

bool scan_recorder::has_interface(api_handle set, DWORD index) {
  const bool ok = system_.has_interface(set, index);
  add("has_interface").in_text("class", sets_[set]).in_number("index", index).out_number("ok", ok);
  return ok;
}

bool scan_recorder::interface_detail(api_handle set, DWORD index, std::wstring& path, DWORD& devinst, DWORD& error) {
  error = 0;
  const bool ok = system_.interface_detail(set, index, path, devinst, error);
  add("interface_detail")
      .in_text("class", sets_[set])
      .in_number("index", index)
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_text("path", ok ? utf8(path) : "")
      .out_number("devinst", ok ? devinst : 0);
  return ok;
}

bool scan_recorder::registry_property(api_handle set, DWORD index, DWORD property, std::vector<uint8_t>& value) {
  const bool ok = system_.registry_property(set, index, property, value);
  add("registry_property")
      .in_text("class", sets_[set])
      .in_number("index", index)
      .in_number("property", property)
      .out_number("ok", ok)
      .out_bytes("data", value.data(), ok ? value.size() : 0);
  return ok;
}

void scan_recorder::close_interface_set(api_handle set) {
  sets_.erase(set);
  system_.close_interface_set(set);
}

bool scan_recorder::device_id(DWORD devinst, std::wstring& id, DWORD& error) {
  error = 0;
  const bool ok = system_.device_id(devinst, id, error);
  add("device_id")
      .in_number("devinst", devinst)
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_text("id", ok ? utf8(id) : "");
  return ok;
}

bool scan_recorder::parent_node(DWORD devinst, DWORD& parent, DWORD& error) {
  error = 0;
  const bool ok = system_.parent_node(devinst, parent, error);
  add("parent_node")
      .in_number("devinst", devinst)
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_number("parent", ok ? parent : 0);
  return ok;
}

bool scan_recorder::node_address(DWORD devinst, DWORD& address, DWORD& error) {
  error = 0;
  const bool ok = system_.node_address(devinst, address, error);
  add("node_address")
      .in_number("devinst", devinst)
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_number("address", ok ? address : 0);
  return ok;
}

bool scan_recorder::has_node_properties() {
  const bool ok = system_.has_node_properties();
  add("has_node_properties").out_number("ok", ok);
  return ok;
}

bool scan_recorder::node_property(DWORD devinst, const DEVPROPKEY& key, std::wstring& value) {
  const bool ok = system_.node_property(devinst, key, value);
  add("node_property")
      .in_number("devinst", devinst)
      .in_text("key", recorded_property_key(key))
      .out_number("ok", ok)
      .out_text("text", ok ? utf8(value) : "");
  return ok;
}

bool scan_recorder::create_file(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                                api_handle& handle, DWORD& error) {
  error = 0;
  const bool ok = system_.create_file(path, access, share, disposition, flags, handle, error);
  add("create_file")
      .in_text("path", utf8(path))
      .in_number("access", access)
      .in_number("share", share)
      .in_number("disposition", disposition)
      .in_number("flags", flags)
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error);
  if (ok) files_[handle] = utf8(path);
  return ok;
}

bool scan_recorder::device_io_control(api_handle handle, DWORD code, const void* in, DWORD in_size, void* out,
                                      DWORD out_size, DWORD& returned, DWORD& error) {
  direct_transfer direct;
  const bool is_direct = find_direct_transfer(code, in, in_size, direct);
  recorded_entry request;
  const direct_transfer* transfer = is_direct ? &direct : nullptr;
  const std::vector<uint8_t> input = without_pointer(in, in ? in_size : 0, transfer);
  request.in_text("path", files_[handle])
      .in_number("code", code)
      .in_bytes("in", input.data(), input.size())
      .in_number("out_size", out ? out_size : 0);
  if (is_direct && direct.to_device) request.in_bytes("sent", direct.buffer, direct.size);
  error = 0;
  const bool ok = system_.device_io_control(handle, code, in, in_size, out, out_size, returned, error);
  recorded_entry& e = add("ioctl");
  e.request = std::move(request.request);
  const std::vector<uint8_t> output = without_pointer(out, used_size(out, out_size), transfer);
  e.out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_number("returned", returned)
      .out_bytes("out", output.data(), output.size());
  if (is_direct && !direct.to_device)
    e.out_bytes("received", direct.buffer, used_size(direct.buffer, DWORD(direct.size)));
  return ok;
}

void scan_recorder::close_handle(api_handle handle) {
  files_.erase(handle);
  system_.close_handle(handle);
}

bool scan_recorder::query_dos_device(const std::wstring& name, DWORD max_chars, std::vector<std::wstring>& targets,
                                     DWORD& error) {
  error = 0;
  const bool ok = system_.query_dos_device(name, max_chars, targets, error);
  recorded_entry& e = add("query_dos_device")
                          .in_text("name", utf8(name))
                          .in_number("max_chars", max_chars)
                          .out_number("ok", ok)
                          .out_number("error", ok ? 0 : error);
  if (ok)
    for (const std::wstring& t : targets) e.out_text("target", utf8(t));
  return ok;
}

bool scan_recorder::find_first_volume(std::wstring& name, api_handle& find, DWORD& error) {
  error = 0;
  const bool ok = system_.find_first_volume(name, find, error);
  add("find_first_volume")
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_text("name", ok ? utf8(name) : "");
  if (ok) finds_[find] = 0;
  return ok;
}

bool scan_recorder::find_next_volume(api_handle find, std::wstring& name) {
  const bool ok = system_.find_next_volume(find, name);
  add("find_next_volume")
      .in_number("index", ++finds_[find])
      .out_number("ok", ok)
      .out_text("name", ok ? utf8(name) : "");
  return ok;
}

void scan_recorder::find_volume_close(api_handle find) {
  finds_.erase(find);
  system_.find_volume_close(find);
}

bool scan_recorder::volume_information(const std::wstring& root, volume_information_reply& reply, DWORD& error) {
  error = 0;
  const bool ok = system_.volume_information(root, reply, error);
  add("volume_information")
      .in_text("root", utf8(root))
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_text("label", ok ? utf8(reply.label) : "")
      .out_number("serial", ok ? reply.serial : 0)
      .out_number("flags", ok ? reply.flags : 0)
      .out_text("file_system", ok ? utf8(reply.file_system) : "");
  return ok;
}

bool scan_recorder::disk_free_space(const std::wstring& root, free_space_reply& reply, DWORD& error) {
  error = 0;
  const bool ok = system_.disk_free_space(root, reply, error);
  add("disk_free_space")
      .in_text("root", utf8(root))
      .out_number("ok", ok)
      .out_number("error", ok ? 0 : error)
      .out_number("free_for_caller", ok ? reply.free_for_caller : 0)
      .out_number("total_for_caller", ok ? reply.total_for_caller : 0)
      .out_number("total_free", ok ? reply.total_free : 0);
  return ok;
}

bool scan_recorder::volume_path_names(const std::wstring& volume, std::vector<std::wstring>& paths, DWORD& error) {
  error = 0;
  const bool ok = system_.volume_path_names(volume, paths, error);
  recorded_entry& e =
      add("volume_path_names").in_text("volume", utf8(volume)).out_number("ok", ok).out_number("error", ok ? 0 : error);
  if (ok)
    for (const std::wstring& p : paths) e.out_text("path", utf8(p));
  return ok;
}

int64_t scan_recorder::performance_counter() {
  const int64_t v = system_.performance_counter();
  add("performance_counter").out_number("value", uint64_t(v));
  return v;
}

int64_t scan_recorder::performance_frequency() {
  const int64_t v = system_.performance_frequency();
  add("performance_frequency").out_number("value", uint64_t(v));
  return v;
}

int scan_recorder::os_version_index() {
  const int v = system_.os_version_index();
  add("os_version_index").out_number("value", uint64_t(v));
  return v;
}

host_header scan_recorder::read_host_header() {
  const host_header h = system_.read_host_header();
  record_host_header(add("host_header"), h);
  return h;
}

HRESULT scan_recorder::create_loader(vds_com::IVdsServiceLoader** loader) {
  const HRESULT hr = vds_.create_loader(loader);
  add("vds_loader").out_number("hr", uint32_t(hr));
  if (SUCCEEDED(hr) && *loader) *loader = recording_vds_loader(*this, *loader);
  return hr;
}

void record_host_header(recorded_entry& e, const host_header& h) {
  const SYSTEMTIME& t = h.local_time;
  e.out_text("local_time", format_string("%04u-%02u-%02u %02u:%02u:%02u.%03u %u", t.wYear, t.wMonth, t.wDay, t.wHour,
                                         t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek))
      .out_number("tz_bias", uint32_t(h.tz_bias))
      .out_text("computer_name", utf8(h.computer_name))
      .out_number("os_major", h.os_version.dwMajorVersion)
      .out_number("os_minor", h.os_version.dwMinorVersion)
      .out_number("os_build", h.os_version.dwBuildNumber)
      .out_number("os_platform", h.os_version.dwPlatformId)
      .out_text("os_csd", utf8(wide_until_nul(h.os_version.szCSDVersion, 128)))
      .out_number("os_service_pack", uint32_t(h.os_version.wServicePackMajor) << 16 | h.os_version.wServicePackMinor)
      .out_number("os_suite", h.os_version.wSuiteMask)
      .out_number("os_product", h.os_version.wProductType);
}

host_header replayed_host_header(const recorded_entry& e) {
  host_header h;
  unsigned v[8] = {};
  sscanf(e.text("local_time").c_str(), "%u-%u-%u %u:%u:%u.%u %u", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6],
         &v[7]);
  SYSTEMTIME& t = h.local_time;
  t.wYear = WORD(v[0]), t.wMonth = WORD(v[1]), t.wDay = WORD(v[2]), t.wHour = WORD(v[3]);
  t.wMinute = WORD(v[4]), t.wSecond = WORD(v[5]), t.wMilliseconds = WORD(v[6]), t.wDayOfWeek = WORD(v[7]);
  h.tz_bias = LONG(uint32_t(e.number("tz_bias")));
  h.computer_name = from_utf8(e.text("computer_name"));
  OSVERSIONINFOEXW& o = h.os_version;
  o.dwOSVersionInfoSize = sizeof o;
  o.dwMajorVersion = DWORD(e.number("os_major"));
  o.dwMinorVersion = DWORD(e.number("os_minor"));
  o.dwBuildNumber = DWORD(e.number("os_build"));
  o.dwPlatformId = DWORD(e.number("os_platform"));
  const std::wstring csd = from_utf8(e.text("os_csd"));
  std::copy_n(csd.c_str(), std::min<size_t>(csd.size(), 127), o.szCSDVersion);
  const uint32_t sp = uint32_t(e.number("os_service_pack"));
  o.wServicePackMajor = WORD(sp >> 16), o.wServicePackMinor = WORD(sp);
  o.wSuiteMask = WORD(e.number("os_suite"));
  o.wProductType = BYTE(e.number("os_product"));
  return h;
}
