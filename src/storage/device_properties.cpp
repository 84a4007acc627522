#include "storage/device_properties.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include "support/text.h"

bool interface_registry_text(device_api& api, api_handle set, DWORD index, DWORD property, std::wstring& text) {
  std::vector<uint8_t> value;
  if (!api.registry_property(set, index, property, value)) return false;
  std::wstring raw(value.size() / 2, L'\0');
  if (!raw.empty()) std::memcpy(&raw[0], value.data(), raw.size() * 2);
  text = wide_until_nul(raw.data(), raw.size());
  return true;
}

std::wstring lower_text(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(std::towlower(c));
  return text;
}
