#pragma once

#include <string>
#include <vector>

#include "storage/scan_recording.h"
#include "storage/vds_interfaces.h"

// The Virtual Disk Service in a scan recording. Each object the scan reaches is named by the
// way it was reached ("service/providers/0/packs/1/disks/0"); each method call is a "vds_call"
// entry of the object and the method, each QueryInterface a "vds_interface" entry. Property
// records are kept as bytes with their string pointers cleared, the strings beside them in order
// ("%00" for a null pointer).

class scan_recorder;
class scan_replay;

// The strings of a property record: where its pointers are.
struct vds_record_layout {
  const char* method;  // "IVdsDisk::GetProperties"
  size_t size;
  std::vector<size_t> string_offsets;
};
const vds_record_layout* find_vds_layout(const std::string& method);

// The loader of the service, recording what it and everything it hands out answer.
vds_com::IVdsServiceLoader* recording_vds_loader(scan_recorder& recorder, vds_com::IVdsServiceLoader* real);
// The loader of a recorded service; its objects answer from the recording.
vds_com::IVdsServiceLoader* replayed_vds_loader(scan_replay& replay);

// A record's bytes and strings in an entry, and back into a record the caller owns (strings from
// CoTaskMemAlloc).
void record_vds_properties(recorded_entry& e, const vds_record_layout& layout, const void* record);
void replay_vds_properties(const recorded_entry& e, const vds_record_layout& layout, void* record);
