// Garbage through the seam: every answer of the recorded machines with several kinds of drives,
// RAID controllers, USB hubs and a Virtual Disk Service becomes a random, truncated, garbled or
// failed reply; the scan must still run to its dump.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "captured_log.h"
#include "recorded_machine.h"
#include "storage/drives.h"
#include "storage/scan_replay.h"
#include "storage/storage_scan.h"
#include "storage/usb_details.h"
#include "storage/vds.h"
#include "support/text.h"

namespace {

// A reply to DeviceIoControl: its bytes, or the error it fails with.
struct reply_bytes {
  std::vector<uint8_t> bytes;
  DWORD error = 0;
};

struct fuzzer {
  std::mt19937 rng{0x5EED1234u};  // fixed: every run sends the same replies

  size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng) : 0; }
  uint8_t byte() { return uint8_t(below(256)); }

  void garble(DWORD code, reply_bytes& r) {
    // Mostly let the device number through, or few drives would get as far as their health.
    if (code == IOCTL_STORAGE_GET_DEVICE_NUMBER && below(4) != 0) return;
    static const DWORD errors[] = {ERROR_INVALID_FUNCTION,  ERROR_ACCESS_DENIED, ERROR_NOT_SUPPORTED,
                                   ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE,   ERROR_SEM_TIMEOUT};
    switch (below(6)) {
      case 0:  // as the drive sent it
        break;
      case 1: r = reply_bytes{{}, errors[below(std::size(errors))]}; break;
      case 2:  // cut short
        r.bytes.resize(below(r.bytes.size() + 1));
        break;
      case 3:  // a few bytes changed
        for (size_t n = 1 + below(8); n > 0 && !r.bytes.empty(); --n) r.bytes[below(r.bytes.size())] = byte();
        break;
      case 4:  // noise of any length
        r.bytes.resize(below(800));
        for (uint8_t& b : r.bytes) b = byte();
        r.error = 0;
        break;
      case 5:  // longer than asked for
        for (size_t n = 1 + below(64); n > 0; --n) r.bytes.push_back(byte());
        break;
    }
  }
};

std::wstring garbage_text(fuzzer& f) {
  std::wstring text(f.below(40), L' ');
  for (wchar_t& c : text) c = wchar_t(1 + f.below(0xFFFE));
  return text;
}

// Each answer of a recorded machine garbled as by a broken device or service: the replies of
// DeviceIoControl as above, the service's calls failing now and then and its texts and records
// saying anything.
void garble_answers(scan_recording& r, fuzzer& f) {
  static const HRESULT failures[] = {E_FAIL, E_ACCESSDENIED, E_OUTOFMEMORY, HRESULT(0x80042405), S_FALSE};
  for (recorded_entry& e : r.entries) {
    if (e.call == "ioctl") {
      uint64_t code = 0, out_size = 0;
      parse_recorded_number(field(e.request, "code")->text, code);
      parse_recorded_number(field(e.request, "out_size")->text, out_size);
      recorded_field* out = field(e.answer, "out");
      reply_bytes reply{out->bytes, 0};
      f.garble(DWORD(code), reply);
      if (reply.error == 0 && reply.bytes.size() > out_size) reply.error = ERROR_MORE_DATA;
      if (reply.bytes == out->bytes && reply.error == 0) continue;
      out->bytes = reply.bytes;
      field(e.answer, "ok")->text = reply.error ? "0" : "1";
      field(e.answer, "error")->text = std::to_string(reply.error);
      field(e.answer, "returned")->text = std::to_string(reply.error ? 0 : reply.bytes.size());
    } else if (e.call.compare(0, 4, "vds_") == 0) {
      for (recorded_field& a : e.answer) {
        if (a.name == "hr" && f.below(10) == 0)
          a.text = std::to_string(uint32_t(failures[f.below(std::size(failures))]));
        if (a.name == "string" && f.below(3) == 0) a.text = to_utf8(garbage_text(f));
        if (a.binary && f.below(3) == 0)
          for (size_t n = 1 + f.below(8); n > 0 && !a.bytes.empty(); --n) a.bytes[f.below(a.bytes.size())] = f.byte();
      }
    }
  }
}

// How often `what` stands in `log`.
size_t occurrences(const std::string& log, const char* what) {
  size_t n = 0;
  for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
  return n;
}
}  // namespace

TEST(health_fuzz, garbage_replies_never_stop_the_scan) {
  ONLY_WITH_32_BIT_RECORDINGS();
  // The service and the hubs more often: a garbled answer ends their walks early.
  const char* const names[] = {"ata_hdds",       "nvme_ssd",           "sat_bridge",
                               "sata_ssds",      "bad_smart_checksum", "csmi_raid1",
                               "csmi_hba_spare", "ciss_logical_drive", "dual_interface_controller",
                               "vds_mirror",     "vds_mirror",         "usb3_windows10",
                               "usb2_port",      "usb3_windows10",     "usb2_port"};
  std::vector<scan_recording> machines;
  for (const char* name : names) machines.push_back(recorded_machine(name));
  fuzzer f;
  size_t health = 0, controllers = 0, usb = 0, vds = 0;  // how far the garbage let the scans go
  for (int round = 0; round < 1500; ++round) {
    scan_recording garbled = machines[size_t(round) % machines.size()];
    garble_answers(garbled, f);
    scan_replay replay(garbled);
    storage_stack model;
    captured_log out;
    scan_options options;
    options.strict_checksums = round % 2 == 0;
    scan_drives(replay, model.drives, options, out.log, nullptr);
    scan_controllers(replay, model.controllers, options, out.log, nullptr);
    scan_volumes(replay, model.volumes, out.log, nullptr);
    std::vector<vds_item> items;
    if (query_vds(replay, items, out.log)) match_vds(model.volumes, items, out.log);
    build_stack(model, out.log);
    dump_stack(model, out.log);
    ASSERT_NE(out.text().find("2 Storage stack:\n"), std::string::npos) << "round " << round;
    ASSERT_EQ(replay.open_handles(), 0u) << "round " << round;
    ASSERT_EQ(replay.vds_objects, 0) << "round " << round;
    const std::string log = out.text();
    health += occurrences(log, "SMART table");
    controllers += occurrences(log, "CSMI_SAS_") + occurrences(log, "CISS");
    usb += occurrences(log, "IOCTL_USB_");
    vds += occurrences(log, "VDS");
  }
  EXPECT_GT(health, 40u);
  EXPECT_GT(controllers, 800u);
  EXPECT_GT(usb, 200u);
  EXPECT_GT(vds, 800u);
}
