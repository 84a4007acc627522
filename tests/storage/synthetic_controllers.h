#pragma once

#include <cstdint>

#include "controller_replies.h"
#include "fake_machine.h"
#include "synthetic_drives.h"
#include "usb_replies.h"

// Machines with drives behind controllers, USB hubs and the Virtual Disk Service. Each puts its
// disks, adapters and (where it says) a volume on the machine; disk numbers and device nodes are
// chosen so that any of them can share one machine.

// Disk 0: an Intel RST RAID 1 volume of two SATA disks whose SMART the controller passes through;
// volume 1 (C:) on it.
void add_intel_raid1(fake_machine& m);
// Disks 1 and 2 on a CSMI HBA that also has a spare disk Windows does not show.
void add_csmi_hba_with_spare(fake_machine& m);
// Disk 3: a Smart Array logical drive, RAID 1 over bays 1I:1:1 and 1I:1:2; volume 3 (E:) on it.
void add_ciss_logical_drive(fake_machine& m);
// Disk 4: a controller that answers CISS with one RAID volume and CSMI with `csmi_sets`.
void add_dual_interface_controller(fake_machine& m, size_t csmi_sets = 1);
// Disks 5 and 6 with a dynamic-disk mirror across them (volume 5, M:) that only VDS describes.
void add_vds_mirror(fake_machine& m);
// Disk 7: a USB 3.0 disk behind a hub port (by default a USB 3.0 port, where it runs at SuperSpeed);
// volume 7 (U:) on it. Answers the disk's USB device node.
DWORD add_usb3_disk(fake_machine& m, const fake_usb_port& port = fake_usb_port());
// The same disk's view of a USB 2.0 port: high speed now, SuperSpeed capable.
fake_usb_port usb2_port();
