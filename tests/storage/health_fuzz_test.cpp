// Garbage through the seam: every request of a machine with several kinds of drives, RAID
// controllers, USB hubs and a Virtual Disk Service gets a random, truncated, garbled or failed
// reply; the scan must still run to its dump.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "storage/drives.h"
#include "storage/storage_scan.h"
#include "storage/usb_details.h"
#include "storage/vds.h"
#include "captured_log.h"
#include "synthetic_controllers.h"
#include "synthetic_drives.h"

namespace {

bool is_health_request(DWORD code) {
  switch (code) {
    case 0x7C084: case 0x7C088: case 0x4D02C: case 0x4D004: case 0x4D014: case 0x4D008: case 0x2D1100:
      return true;
  }
  return false;
}

bool is_usb_hub_request(DWORD code) { return (code & 0xFFFFF000) == 0x220000; }

struct fuzzer {
  std::mt19937 rng{0x5EED1234u};  // fixed: every run sends the same replies
  size_t replies = 0;
  size_t health_replies = 0;  // to the IDENTIFY, SMART, prediction and NVMe requests
  size_t controller_replies = 0;  // CSMI and CISS
  size_t usb_replies = 0;
  size_t vds_calls = 0;

  size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng) : 0; }
  uint8_t byte() { return uint8_t(below(256)); }

  void garble(DWORD code, const uint8_t* in, DWORD size, fake_reply& r) {
    ++replies;
    if (code == 0x4D008 && size >= 12 && (std::memcmp(in + 4, "CSMI", 4) == 0 || std::memcmp(in + 4, "CPQC", 4) == 0))
      ++controller_replies;
    if (is_usb_hub_request(code)) ++usb_replies;
    // Mostly let the device number through, or few drives would get as far as their health.
    if (code == IOCTL_STORAGE_GET_DEVICE_NUMBER && below(4) != 0) return;
    if (is_health_request(code)) ++health_replies;
    static const DWORD errors[] = {ERROR_INVALID_FUNCTION, ERROR_ACCESS_DENIED, ERROR_NOT_SUPPORTED,
                                   ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE, ERROR_SEM_TIMEOUT};
    switch (below(6)) {
      case 0:  // as the drive sent it
        break;
      case 1:
        r = fake_reply{{}, errors[below(std::size(errors))]};
        break;
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

void garble_every_request(fake_machine& m, const std::shared_ptr<fuzzer>& f) {
  for (auto& entry : m.devices) {
    fake_device& device = entry.second;
    const fake_device honest = device;
    device.handler = [honest, f](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
      reply = honest.reply_to(code, in, size);
      f->garble(code, in, size, reply);
      return true;
    };
  }
}

}  // namespace

TEST(health_fuzz, garbage_replies_never_stop_the_scan) {
  auto f = std::make_shared<fuzzer>();
  for (int round = 0; round < 300; ++round) {
    fake_machine m;
    add_synthetic(m, seagate_hdd(0));
    add_synthetic(m, nvme_ssd(1));
    add_synthetic(m, usb_bridge_hdd(2));
    add_synthetic(m, samsung_mz_ssd(3));
    add_synthetic(m, bad_checksum_hdd(4));
    garble_every_request(m, f);
    storage_stack model;
    captured_log out;
    scan_options options;
    options.strict_checksums = round % 2 == 0;
    scan_drives(m, model.drives, options, out.log, nullptr);
    build_stack(model, out.log);
    dump_stack(model, out.log);
    const std::string text = out.text();
    ASSERT_NE(text.find("2 Storage stack:\n"), std::string::npos) << "round " << round;
    ASSERT_EQ(m.open_handles(), 0) << "round " << round;
  }
  EXPECT_GT(f->health_replies, 5000u);
}

namespace {
std::wstring garbage_text(fuzzer& f) {
  std::wstring text(f.below(40), L' ');
  for (wchar_t& c : text) c = wchar_t(1 + f.below(0xFFFE));
  return text;
}

GUID garbage_guid(fuzzer& f) {
  GUID g;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&g);
  for (size_t i = 0; i < sizeof g; ++i) bytes[i] = f.byte();
  return g;
}

// A service whose objects say anything and whose calls fail now and then.
void garble_vds(fake_machine& m, const std::shared_ptr<fuzzer>& f) {
  for (fake_vds_provider& p : m.vds.providers) {
    if (f->below(4) == 0) p.name = garbage_text(*f);
    for (fake_vds_pack& pack : p.packs) {
      for (fake_vds_disk& d : pack.disks)
        if (f->below(3) == 0) d.name = garbage_text(*f);
      for (fake_vds_volume& v : pack.volumes) {
        if (f->below(3) == 0) v.name = garbage_text(*f);
        v.type = uint32_t(f->below(20));
        for (fake_vds_plex& plex : v.plexes) {
          for (size_t n = f->below(12); n > 0; --n) {
            const GUID disk = f->below(2) && !pack.disks.empty() ? pack.disks[f->below(pack.disks.size())].id
                                                                  : garbage_guid(*f);
            plex.extents.push_back({disk, uint64_t(f->below(1 << 30)) << 9, uint64_t(f->below(1 << 30)) << 9,
                                    uint32_t(f->below(8))});
          }
        }
      }
    }
  }
  m.vds.fail = [f](const char*) {
    ++f->vds_calls;
    static const HRESULT failures[] = {E_FAIL, E_ACCESSDENIED, E_OUTOFMEMORY, HRESULT(0x80042405), S_FALSE};
    return f->below(10) == 0 ? failures[f->below(std::size(failures))] : S_OK;
  };
}
}  // namespace

TEST(health_fuzz, garbage_from_controllers_hubs_and_vds_never_stops_the_scan) {
  auto f = std::make_shared<fuzzer>();
  for (int round = 0; round < 300; ++round) {
    fake_machine m;
    m.os_index = 12;
    add_intel_raid1(m);
    add_csmi_hba_with_spare(m);
    add_ciss_logical_drive(m);
    add_dual_interface_controller(m);
    add_vds_mirror(m);
    const DWORD usb_node = add_usb3_disk(m, round % 2 ? fake_usb_port() : usb2_port());
    garble_every_request(m, f);
    garble_vds(m, f);
    storage_stack model;
    captured_log out;
    scan_options options;
    options.strict_checksums = round % 2 == 0;
    scan_drives(m, model.drives, options, out.log, nullptr);
    scan_controllers(m, model.controllers, options, out.log, nullptr);
    scan_volumes(m, model.volumes, out.log, nullptr);
    std::vector<vds_item> items;
    if (query_vds(m.vds, items, out.log)) match_vds(model.volumes, items, out.log);
    build_stack(model, out.log);
    dump_stack(model, out.log);
    const std::string text = out.text();
    ASSERT_NE(text.find("2 Storage stack:\n"), std::string::npos) << "round " << round;
    // The hub walk again and again: the drive query above reaches it only when the disk answers,
    // and a walk ends at the first hub request that fails.
    for (int walk = 0; walk < 20; ++walk) {
      device_query query(m, out.log);
      const LONG indentation = out.log->indentation();
      query_usb_details(query, usb_node);
      out.log->unindent(int(out.log->indentation() - indentation));
    }
    ASSERT_EQ(m.open_handles(), 0) << "round " << round;
    ASSERT_EQ(m.vds.live_objects(), 0) << "round " << round;
  }
  EXPECT_GT(f->controller_replies, 5000u);
  EXPECT_GT(f->usb_replies, 5000u);
  EXPECT_GT(f->vds_calls, 3000u);
}
