#include "fake_vds.h"

#include <cstring>

using namespace vds_com;

namespace {
const IID iid_unknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

LPWSTR co_text(const std::wstring& text) {
  auto* p = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return p;
}

// One COM object of the fake service: counted references, one interface (and IUnknown).
template <typename I>
class fake_object : public I {
 public:
  fake_object(fake_vds& vds, const IID& iid) : vds_(vds), iid_(iid) { ++vds_.live_; }
  virtual ~fake_object() { --vds_.live_; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, iid_unknown) || IsEqualIID(iid, iid_)) {
      *out = static_cast<I*>(this);
      this->AddRef();
      return S_OK;
    }
    return other_interface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return ULONG(left);
  }

 protected:
  virtual HRESULT other_interface(REFIID, void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  fake_vds& vds_;

 private:
  IID iid_;
  LONG refs_ = 1;
};

class enumerator final : public fake_object<IEnumVdsObject> {
 public:
  enumerator(fake_vds& vds, std::vector<IUnknown*> items) : fake_object(vds, iid_enum_vds_object), items_(items) {}
  ~enumerator() override {
    for (IUnknown* u : items_) u->Release();
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG, IUnknown** objects, ULONG* fetched) override {
    *fetched = 0;
    *objects = nullptr;
    if (HRESULT hr = vds_.failure("IEnumVdsObject::Next")) return hr;
    if (next_ >= items_.size()) return S_FALSE;
    *objects = items_[next_++];
    (*objects)->AddRef();
    *fetched = 1;
    return S_OK;
  }

 private:
  std::vector<IUnknown*> items_;
  size_t next_ = 0;
};

template <typename T, typename Data>
HRESULT list(fake_vds& vds, const char* call, const std::vector<Data>& data, IEnumVdsObject** out) {
  *out = nullptr;
  if (HRESULT hr = vds.failure(call)) return hr;
  std::vector<IUnknown*> items;
  for (const Data& d : data) items.push_back(new T(vds, d));
  *out = new enumerator(vds, items);
  return S_OK;
}

class plex final : public fake_object<IVdsVolumePlex> {
 public:
  plex(fake_vds& vds, const fake_vds_plex& p) : fake_object(vds, iid_vds_volume_plex), p_(p) {}
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PLEX_PROP* prop) override {
    if (HRESULT hr = vds_.failure("IVdsVolumePlex::GetProperties")) return hr;
    *prop = {p_.id, p_.type, 1, 1, 1, p_.size, p_.stripe_size, p_.members};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryExtents(VDS_DISK_EXTENT** extents, LONG* count) override {
    *extents = nullptr;
    *count = 0;
    if (HRESULT hr = vds_.failure("IVdsVolumePlex::QueryExtents")) return hr;
    if (p_.extents.empty()) return S_OK;
    *extents = static_cast<VDS_DISK_EXTENT*>(CoTaskMemAlloc(p_.extents.size() * sizeof(VDS_DISK_EXTENT)));
    for (size_t i = 0; i < p_.extents.size(); ++i) {
      const fake_vds_extent& e = p_.extents[i];
      (*extents)[i] = {e.disk, 3, e.offset, e.size, GUID{}, p_.id, e.member_index};
    }
    *count = LONG(p_.extents.size());
    return S_OK;
  }

 private:
  fake_vds_plex p_;
};

class volume final : public fake_object<IVdsVolume> {
 public:
  volume(fake_vds& vds, const fake_vds_volume& v) : fake_object(vds, iid_vds_volume), v_(v) {}
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_VOLUME_PROP* prop) override {
    if (HRESULT hr = vds_.failure("IVdsVolume::GetProperties")) return hr;
    *prop = {v_.id, v_.type, v_.status, v_.health, 1, v_.size, 0, v_.recommended_file_system, co_text(v_.name)};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryPlexes(IEnumVdsObject** plexes) override {
    return list<plex>(vds_, "IVdsVolume::QueryPlexes", v_.plexes, plexes);
  }

 private:
  fake_vds_volume v_;
};

class disk final : public fake_object<IVdsDisk> {
 public:
  disk(fake_vds& vds, const fake_vds_disk& d) : fake_object(vds, iid_vds_disk), d_(d) {}
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_DISK_PROP* prop) override {
    if (HRESULT hr = vds_.failure("IVdsDisk::GetProperties")) return hr;
    VDS_DISK_PROP p{};
    p.id = d_.id;
    p.status = 1;
    p.health = 1;
    p.dwDeviceType = 7;  // FILE_DEVICE_DISK
    p.dwMediaType = 12;  // fixed media
    p.ullSize = d_.size;
    p.ulBytesPerSector = 512;
    p.ulSectorsPerTrack = 63;
    p.ulTracksPerCylinder = 255;
    p.BusType = 11;
    p.PartitionStyle = 2;
    p.pwszDiskAddress = co_text(L"Port0Path0Target0Lun0");
    p.pwszName = co_text(d_.name);
    p.pwszFriendlyName = co_text(d_.friendly_name);
    p.pwszAdaptorName = co_text(L"");
    p.pwszDevicePath = co_text(L"");
    *prop = p;
    return S_OK;
  }

 private:
  fake_vds_disk d_;
};

class pack final : public fake_object<IVdsPack> {
 public:
  pack(fake_vds& vds, const fake_vds_pack& p) : fake_object(vds, iid_vds_pack), p_(p) {}
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_PACK_PROP* prop) override {
    if (HRESULT hr = vds_.failure("IVdsPack::GetProperties")) return hr;
    *prop = {p_.id, co_text(p_.name), 1, 0};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryVolumes(IEnumVdsObject** volumes) override {
    return list<volume>(vds_, "IVdsPack::QueryVolumes", p_.volumes, volumes);
  }
  HRESULT STDMETHODCALLTYPE QueryDisks(IEnumVdsObject** disks) override {
    return list<disk>(vds_, "IVdsPack::QueryDisks", p_.disks, disks);
  }

 private:
  fake_vds_pack p_;
};

class sw_provider final : public fake_object<IVdsSwProvider> {
 public:
  sw_provider(fake_vds& vds, const fake_vds_provider& p) : fake_object(vds, iid_vds_sw_provider), p_(p) {}
  HRESULT STDMETHODCALLTYPE QueryPacks(IEnumVdsObject** packs) override {
    return list<pack>(vds_, "IVdsSwProvider::QueryPacks", p_.packs, packs);
  }

 private:
  fake_vds_provider p_;
};

class provider final : public fake_object<IVdsProvider> {
 public:
  provider(fake_vds& vds, const fake_vds_provider& p) : fake_object(vds, iid_vds_provider), p_(p) {}
  HRESULT STDMETHODCALLTYPE GetProperties(VDS_PROVIDER_PROP* prop) override {
    if (HRESULT hr = vds_.failure("IVdsProvider::GetProperties")) return hr;
    *prop = {p_.id, p_.name.empty() ? nullptr : co_text(p_.name), GUID{}, co_text(p_.version), 1, 0, 0, 0};
    return S_OK;
  }

 protected:
  // The software side is a separate object of its own, as COM allows.
  HRESULT other_interface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!p_.software || !IsEqualIID(iid, iid_vds_sw_provider)) return E_NOINTERFACE;
    *out = static_cast<IVdsSwProvider*>(new sw_provider(vds_, p_));
    return S_OK;
  }

 private:
  fake_vds_provider p_;
};

class service final : public fake_object<IVdsService> {
 public:
  explicit service(fake_vds& vds) : fake_object(vds, iid_vds_service) {}
  HRESULT STDMETHODCALLTYPE WaitForServiceReady() override {
    ready_ = SUCCEEDED(vds_.ready_error);
    return vds_.ready_error;
  }
  HRESULT STDMETHODCALLTYPE QueryProviders(DWORD masks, IEnumVdsObject** providers) override {
    if (masks != VDS_QUERY_SOFTWARE_PROVIDERS) return E_INVALIDARG;
    const std::vector<fake_vds_provider> none;
    return list<provider>(vds_, "IVdsService::QueryProviders", vds_.starting && !ready_ ? none : vds_.providers,
                          providers);
  }

 private:
  bool ready_ = false;
};

class loader final : public fake_object<IVdsServiceLoader> {
 public:
  explicit loader(fake_vds& vds) : fake_object(vds, iid_vds_service_loader) {}
  HRESULT STDMETHODCALLTYPE LoadService(LPWSTR machine, IVdsService** out) override {
    *out = nullptr;
    if (machine) return E_INVALIDARG;  // the local machine only
    if (FAILED(vds_.load_error)) return vds_.load_error;
    *out = new service(vds_);
    return S_OK;
  }
};
}  // namespace

HRESULT fake_vds::create_loader(IVdsServiceLoader** out) {
  *out = nullptr;
  if (FAILED(loader_error)) return loader_error;
  *out = new loader(*this);
  return S_OK;
}
