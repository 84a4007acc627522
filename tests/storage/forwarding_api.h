#pragma once

#include "storage/device_api.h"

// Passes every call on to another machine; tests override the calls they watch or hold.
class forwarding_api : public device_api {
 public:
  explicit forwarding_api(device_api& inner) : m_(inner) {}

  bool open_interface_set(const GUID& c, api_handle& set, DWORD& error) override {
    return m_.open_interface_set(c, set, error);
  }
  bool has_interface(api_handle s, DWORD i) override { return m_.has_interface(s, i); }
  bool interface_detail(api_handle s, DWORD i, std::wstring& p, DWORD& d, DWORD& e) override {
    return m_.interface_detail(s, i, p, d, e);
  }
  bool registry_property(api_handle s, DWORD i, DWORD p, std::vector<uint8_t>& v) override {
    return m_.registry_property(s, i, p, v);
  }
  void close_interface_set(api_handle s) override { m_.close_interface_set(s); }
  bool device_id(DWORD d, std::wstring& id, DWORD& e) override { return m_.device_id(d, id, e); }
  bool parent_node(DWORD d, DWORD& p, DWORD& e) override { return m_.parent_node(d, p, e); }
  bool node_address(DWORD d, DWORD& a, DWORD& e) override { return m_.node_address(d, a, e); }
  bool has_node_properties() override { return m_.has_node_properties(); }
  bool node_property(DWORD d, const DEVPROPKEY& k, std::wstring& v) override { return m_.node_property(d, k, v); }
  bool create_file(const std::wstring& p, DWORD a, DWORD s, DWORD d, DWORD f, api_handle& h, DWORD& e) override {
    return m_.create_file(p, a, s, d, f, h, e);
  }
  bool device_io_control(api_handle h, DWORD c, const void* in, DWORD is, void* out, DWORD os, DWORD& r,
                         DWORD& e) override {
    return m_.device_io_control(h, c, in, is, out, os, r, e);
  }
  void close_handle(api_handle h) override { m_.close_handle(h); }
  bool query_dos_device(const std::wstring& n, DWORD m, std::vector<std::wstring>& t, DWORD& e) override {
    return m_.query_dos_device(n, m, t, e);
  }
  bool find_first_volume(std::wstring& n, api_handle& f, DWORD& e) override { return m_.find_first_volume(n, f, e); }
  bool find_next_volume(api_handle f, std::wstring& n) override { return m_.find_next_volume(f, n); }
  void find_volume_close(api_handle f) override { m_.find_volume_close(f); }
  bool volume_information(const std::wstring& r, volume_information_reply& v, DWORD& e) override {
    return m_.volume_information(r, v, e);
  }
  bool disk_free_space(const std::wstring& r, free_space_reply& f, DWORD& e) override {
    return m_.disk_free_space(r, f, e);
  }
  bool volume_path_names(const std::wstring& v, std::vector<std::wstring>& p, DWORD& e) override {
    return m_.volume_path_names(v, p, e);
  }
  int64_t performance_counter() override { return m_.performance_counter(); }
  int64_t performance_frequency() override { return m_.performance_frequency(); }
  int os_version_index() override { return m_.os_version_index(); }
  void set_last_error(DWORD code) override { m_.set_last_error(code); }
  host_header read_host_header() override { return m_.read_host_header(); }

 private:
  device_api& m_;
};
