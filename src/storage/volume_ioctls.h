#pragma once

#include <windows.h>
#include <winioctl.h>

// The mount-manager requests live in the DDK headers, which the volume code does not include.
#ifndef IOCTL_MOUNTDEV_QUERY_UNIQUE_ID
#define IOCTL_MOUNTDEV_QUERY_UNIQUE_ID 0x004D0000
#endif
#ifndef IOCTL_MOUNTDEV_QUERY_DEVICE_NAME
#define IOCTL_MOUNTDEV_QUERY_DEVICE_NAME 0x004D0008
#endif
#ifndef IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME
#define IOCTL_MOUNTDEV_QUERY_SUGGESTED_LINK_NAME 0x004D000C
#endif
#ifndef IOCTL_MOUNTDEV_QUERY_STABLE_GUID
#define IOCTL_MOUNTDEV_QUERY_STABLE_GUID 0x004D0018
#endif
