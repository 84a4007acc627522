#pragma once

#include "forwarding_api.h"
#include "storage/scan_replay.h"

// A machine with nothing attached: every question is answered as for a device that is not there.
// The host header is the test's.
class fake_machine final : public forwarding_api {
 public:
  fake_machine() : forwarding_api(replay_) {}
  host_header header;
  host_header read_host_header() override { return header; }
  // Handles handed out and not closed yet.
  int open_handles() const { return int(replay_.open_handles()); }

 private:
  scan_replay replay_{scan_recording{}};
};
