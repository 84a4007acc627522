// The service's objects in a recording: one node type stands for every interface, forwarding to
// the real object while recording and answering from the file while replaying.
#include <cstring>
#include <string>

#include "storage/scan_recorder.h"
#include "storage/scan_replay.h"
#include "storage/vds_recording.h"
#include "support/hex_text.h"

using namespace vds_com;

namespace {
const IID iid_unknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string iid_text(REFIID iid) { return "{" + guid_to_text(reinterpret_cast<const uint8_t*>(&iid), true) + "}"; }

class vds_node final : public IVdsServiceLoader,
                       public IVdsService,
                       public IVdsProvider,
                       public IVdsSwProvider,
                       public IVdsPack,
                       public IVdsDisk,
                       public IVdsVolume,
                       public IVdsVolumePlex,
                       public IEnumVdsObject {
 public:
  // Recording: `real` is the object's interface `iid`, whose reference this node takes over.
  vds_node(scan_recorder& recorder, IUnknown* real, const std::string& path)
      : recorder_(&recorder), real_(real), path_(path) {}
  vds_node(scan_replay& replay, const std::string& path) : replay_(&replay), path_(path) { ++replay.vds_objects; }
  ~vds_node() {
    if (real_) real_->Release();
    if (replay_) --replay_->vds_objects;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    HRESULT hr = E_NOINTERFACE;
    IUnknown* real = nullptr;
    if (recorder_) {
      hr = real_->QueryInterface(iid, reinterpret_cast<void**>(&real));
      recorder_->add("vds_interface")
          .in_text("object", path_)
          .in_text("iid", iid_text(iid))
          .out_number("hr", uint32_t(hr));
    } else {
      const recorded_entry* a =
          replay_->answer_to(recorded_entry().in_text("object", path_).in_text("iid", iid_text(iid)), "vds_interface",
                             "vds_interface " + path_ + " " + iid_text(iid));
      hr = a ? HRESULT(uint32_t(a->number("hr"))) : E_NOINTERFACE;
    }
    if (FAILED(hr)) return hr;
    *out = as_interface(iid, real);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return ULONG(left);
  }

  HRESULT STDMETHODCALLTYPE LoadService(LPWSTR machine, IVdsService** service) override {
    return child(service, "service", "LoadService", [&](IUnknown** real) {
      return as<IVdsServiceLoader>()->LoadService(machine, reinterpret_cast<IVdsService**>(real));
    });
  }
  HRESULT STDMETHODCALLTYPE WaitForServiceReady() override {
    recorded_entry* e = nullptr;
    return plain("WaitForServiceReady", e, [&] { return as<IVdsService>()->WaitForServiceReady(); });
  }
  HRESULT STDMETHODCALLTYPE QueryProviders(DWORD masks, IEnumVdsObject** providers) override {
    return child(providers, "providers", "QueryProviders", [&](IUnknown** real) {
      return as<IVdsService>()->QueryProviders(masks, reinterpret_cast<IEnumVdsObject**>(real));
    });
  }
  HRESULT STDMETHODCALLTYPE QueryPacks(IEnumVdsObject** packs) override {
    return child(packs, "packs", "QueryPacks", [&](IUnknown** real) {
      return as<IVdsSwProvider>()->QueryPacks(reinterpret_cast<IEnumVdsObject**>(real));
    });
  }
  HRESULT STDMETHODCALLTYPE QueryDisks(IEnumVdsObject** disks) override {
    return child(disks, "disks", "QueryDisks",
                 [&](IUnknown** real) { return as<IVdsPack>()->QueryDisks(reinterpret_cast<IEnumVdsObject**>(real)); });
  }
  HRESULT STDMETHODCALLTYPE QueryVolumes(IEnumVdsObject** volumes) override {
    return child(volumes, "volumes", "QueryVolumes", [&](IUnknown** real) {
      return as<IVdsPack>()->QueryVolumes(reinterpret_cast<IEnumVdsObject**>(real));
    });
  }
  HRESULT STDMETHODCALLTYPE QueryPlexes(IEnumVdsObject** plexes) override {
    return child(plexes, "plexes", "QueryPlexes", [&](IUnknown** real) {
      return as<IVdsVolume>()->QueryPlexes(reinterpret_cast<IEnumVdsObject**>(real));
    });
  }

  // The items of a list are named by their place in it.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** objects, ULONG* fetched) override {
    *objects = nullptr;
    *fetched = 0;
    if (count != 1) return E_INVALIDARG;
    const std::string item = path_ + "/" + std::to_string(listed_);
    IUnknown* real = nullptr;
    HRESULT hr = S_FALSE;
    ULONG got = 0;
    if (recorder_) {
      hr = as<IEnumVdsObject>()->Next(1, &real, &got);
      recorder_->add("vds_call")
          .in_text("object", path_)
          .in_text("method", "Next")
          .out_number("hr", uint32_t(hr))
          .out_number("fetched", got);
    } else if (const recorded_entry* a = answer("Next")) {
      hr = HRESULT(uint32_t(a->number("hr")));
      got = ULONG(a->number("fetched"));
    }
    if (hr != S_OK || got != 1) {
      if (real) real->Release();
      return FAILED(hr) ? hr : S_FALSE;
    }
    ++listed_;
    *objects =
        static_cast<IVdsService*>(recorder_ ? new vds_node(*recorder_, real, item) : new vds_node(*replay_, item));
    *fetched = 1;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetProperties(VDS_PROVIDER_PROP* p) override {
    return properties<IVdsProvider>("IVdsProvider::GetProperties", p);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_PACK_PROP* p) override {
    return properties<IVdsPack>("IVdsPack::GetProperties", p);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_DISK_PROP* p) override {
    return properties<IVdsDisk>("IVdsDisk::GetProperties", p);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PROP* p) override {
    return properties<IVdsVolume>("IVdsVolume::GetProperties", p);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PLEX_PROP* p) override {
    return properties<IVdsVolumePlex>("IVdsVolumePlex::GetProperties", p);
  }

  HRESULT STDMETHODCALLTYPE QueryExtents(VDS_DISK_EXTENT** extents, LONG* count) override {
    *extents = nullptr;
    *count = 0;
    if (recorder_) {
      const HRESULT hr = as<IVdsVolumePlex>()->QueryExtents(extents, count);
      const size_t n = SUCCEEDED(hr) && *extents && *count > 0 ? size_t(*count) : 0;
      recorder_->add("vds_call")
          .in_text("object", path_)
          .in_text("method", "QueryExtents")
          .out_number("hr", uint32_t(hr))
          .out_number("count", uint32_t(*count))
          .out_bytes("extents", *extents, n * sizeof(VDS_DISK_EXTENT));
      return hr;
    }
    const recorded_entry* a = answer("QueryExtents");
    if (!a) return E_FAIL;
    const std::vector<uint8_t>& bytes = a->bytes("extents");
    const size_t n = bytes.size() / sizeof(VDS_DISK_EXTENT);
    if (n) {
      *extents = static_cast<VDS_DISK_EXTENT*>(CoTaskMemAlloc(n * sizeof(VDS_DISK_EXTENT)));
      if (*extents) std::memcpy(*extents, bytes.data(), n * sizeof(VDS_DISK_EXTENT));
    }
    *count = LONG(n);
    return HRESULT(uint32_t(a->number("hr")));
  }

 private:
  template <typename I>
  I* as() {
    return static_cast<I*>(static_cast<void*>(real_));
  }

  void* as_interface(REFIID iid, IUnknown* real) {
    vds_node* node = this;
    if (recorder_) {
      node = new vds_node(*recorder_, real, path_);
    } else {
      AddRef();
    }
    if (IsEqualIID(iid, iid_vds_provider)) return static_cast<IVdsProvider*>(node);
    if (IsEqualIID(iid, iid_vds_sw_provider)) return static_cast<IVdsSwProvider*>(node);
    if (IsEqualIID(iid, iid_vds_pack)) return static_cast<IVdsPack*>(node);
    if (IsEqualIID(iid, iid_vds_disk)) return static_cast<IVdsDisk*>(node);
    if (IsEqualIID(iid, iid_vds_volume)) return static_cast<IVdsVolume*>(node);
    if (IsEqualIID(iid, iid_vds_volume_plex)) return static_cast<IVdsVolumePlex*>(node);
    if (IsEqualIID(iid, iid_enum_vds_object)) return static_cast<IEnumVdsObject*>(node);
    if (IsEqualIID(iid, iid_vds_service_loader)) return static_cast<IVdsServiceLoader*>(node);
    return static_cast<IVdsService*>(node);  // the service, and IUnknown
  }

  const recorded_entry* answer(const char* method) {
    return replay_->answer_to(recorded_entry().in_text("object", path_).in_text("method", method), "vds_call",
                              "vds_call " + path_ + " " + method);
  }

  template <typename F>
  HRESULT plain(const char* method, recorded_entry*& e, F real_call) {
    if (recorder_) {
      const HRESULT hr = real_call();
      e = &recorder_->add("vds_call").in_text("object", path_).in_text("method", method).out_number("hr", uint32_t(hr));
      return hr;
    }
    const recorded_entry* a = answer(method);
    return a ? HRESULT(uint32_t(a->number("hr"))) : E_FAIL;
  }

  template <typename T, typename F>
  HRESULT child(T** out, const char* name, const char* method, F real_call) {
    *out = nullptr;
    IUnknown* real = nullptr;
    recorded_entry* e = nullptr;
    const HRESULT hr = plain(method, e, [&] { return real_call(&real); });
    if (FAILED(hr)) {
      if (real) real->Release();
      return hr;
    }
    const std::string path = path_ == "loader" ? std::string(name) : path_ + "/" + name;
    vds_node* node = recorder_ ? new vds_node(*recorder_, real, path) : new vds_node(*replay_, path);
    *out = static_cast<T*>(node);
    return hr;
  }

  template <typename I, typename P>
  HRESULT properties(const char* method, P* p) {
    const vds_record_layout& layout = *find_vds_layout(method);
    const char* name = std::strstr(method, "::") + 2;
    if (recorder_) {
      const HRESULT hr = as<I>()->GetProperties(p);
      recorded_entry& e =
          recorder_->add("vds_call").in_text("object", path_).in_text("method", name).out_number("hr", uint32_t(hr));
      if (SUCCEEDED(hr)) record_vds_properties(e, layout, p);
      return hr;
    }
    const recorded_entry* a = answer(name);
    if (!a) return E_FAIL;
    const HRESULT hr = HRESULT(uint32_t(a->number("hr")));
    if (SUCCEEDED(hr)) replay_vds_properties(*a, layout, p);
    return hr;
  }

  scan_recorder* recorder_ = nullptr;
  scan_replay* replay_ = nullptr;
  IUnknown* real_ = nullptr;
  std::string path_;
  LONG refs_ = 1;
  unsigned listed_ = 0;
};
}  // namespace

IVdsServiceLoader* recording_vds_loader(scan_recorder& recorder, IVdsServiceLoader* real) {
  return new vds_node(recorder, real, "loader");
}

IVdsServiceLoader* replayed_vds_loader(scan_replay& replay) { return new vds_node(replay, "loader"); }
