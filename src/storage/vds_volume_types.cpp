#include "storage/volumes.h"

namespace {
// VDS_VOLUME_TYPE as the main window names it.
const struct {
  uint32_t type;
  const wchar_t* label;
} vds_volume_types[] = {
    {10, L"Simple"},
    {11, L"Spanned"},
    {12, L"Striped / RAID 0"},
    {13, L"Mirrored / RAID 1"},
    {14, L"With parity / RAID 5"},
};
}  // namespace

const wchar_t* vds_volume_type_label(uint32_t type) {
  for (const auto& t : vds_volume_types)
    if (t.type == type) return t.label;
  return L"?";
}
