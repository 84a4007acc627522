#pragma once

#include "storage/vds_interfaces.h"

// The Virtual Disk Service's seam: everything else of the VDS phase goes through the service's
// own interfaces, which the tests provide.
class vds_api {
 public:
  virtual ~vds_api() = default;
  // CoCreateInstance of the VDS loader in a local or remote server.
  virtual HRESULT create_loader(vds_com::IVdsServiceLoader** loader) = 0;
};

// The real machine's service.
vds_api& win32_vds_api();
