#include "storage/vds_api.h"

namespace {
class win32_vds final : public vds_api {
 public:
  HRESULT create_loader(vds_com::IVdsServiceLoader** loader) override {
    return CoCreateInstance(vds_com::clsid_vds_loader, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                            vds_com::iid_vds_service_loader, reinterpret_cast<void**>(loader));
  }
};
}  // namespace

vds_api& win32_vds_api() {
  static win32_vds api;
  return api;
}
