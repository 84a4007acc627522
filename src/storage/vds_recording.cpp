#include "storage/vds_recording.h"

#include <cstddef>
#include <cstring>

#include "support/text.h"

using namespace vds_com;

namespace {
const vds_record_layout layouts[] = {
    {"IVdsProvider::GetProperties",
     sizeof(VDS_PROVIDER_PROP),
     {offsetof(VDS_PROVIDER_PROP, pwszName), offsetof(VDS_PROVIDER_PROP, pwszVersion)}},
    {"IVdsPack::GetProperties", sizeof(VDS_PACK_PROP), {offsetof(VDS_PACK_PROP, pwszName)}},
    {"IVdsDisk::GetProperties",
     sizeof(VDS_DISK_PROP),
     {offsetof(VDS_DISK_PROP, pwszDiskAddress), offsetof(VDS_DISK_PROP, pwszName),
      offsetof(VDS_DISK_PROP, pwszFriendlyName), offsetof(VDS_DISK_PROP, pwszAdaptorName),
      offsetof(VDS_DISK_PROP, pwszDevicePath)}},
    {"IVdsVolume::GetProperties", sizeof(VDS_VOLUME_PROP), {offsetof(VDS_VOLUME_PROP, pwszName)}},
    {"IVdsVolumePlex::GetProperties", sizeof(VDS_VOLUME_PLEX_PROP), {}},
};
const char null_string[] = "\x01null";  // no string can hold it: a null pointer

LPWSTR co_text(const std::wstring& text) {
  auto* p = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  if (p) std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return p;
}
}  // namespace

const vds_record_layout* find_vds_layout(const std::string& method) {
  for (const vds_record_layout& l : layouts)
    if (method == l.method) return &l;
  return nullptr;
}

void record_vds_properties(recorded_entry& e, const vds_record_layout& layout, const void* record) {
  std::vector<uint8_t> bytes(static_cast<const uint8_t*>(record), static_cast<const uint8_t*>(record) + layout.size);
  for (size_t at : layout.string_offsets) {
    const wchar_t* s = nullptr;
    std::memcpy(&s, bytes.data() + at, sizeof s);
    std::memset(bytes.data() + at, 0, sizeof s);
    e.out_text("string", s ? to_utf8(s) : null_string);
  }
  e.out_bytes("record", bytes.data(), bytes.size());
}

void replay_vds_properties(const recorded_entry& e, const vds_record_layout& layout, void* record) {
  uint8_t* out = static_cast<uint8_t*>(record);
  const std::vector<uint8_t>& bytes = e.bytes("record");
  std::memset(out, 0, layout.size);
  std::memcpy(out, bytes.data(), bytes.size() < layout.size ? bytes.size() : layout.size);
  const std::vector<std::string> strings = e.texts("string");
  for (size_t i = 0; i < layout.string_offsets.size(); ++i) {
    LPWSTR s = i < strings.size() && strings[i] != null_string ? co_text(from_utf8(strings[i])) : nullptr;
    std::memcpy(out + layout.string_offsets[i], &s, sizeof s);
  }
}
