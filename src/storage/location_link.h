#pragma once

#include "storage/device_link.h"
#include "storage/location_summary.h"

// The link under a test location: that of its drive when the volume lies on that one drive. A
// volume spread over several disks may be faster than any one link, and a share or an unmatched
// location has no link the scan knows.
device_link location_link(const location_summary& summary);
