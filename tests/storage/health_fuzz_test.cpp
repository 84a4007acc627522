// Garbage through the seam: every request of a machine with several kinds of drives gets a
// random, truncated, garbled or failed reply; the scan must still run to its dump.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <memory>
#include <random>
#include <string>

#include "storage/drives.h"
#include "storage/storage_scan.h"
#include "captured_log.h"
#include "synthetic_drives.h"

namespace {

bool is_health_request(DWORD code) {
  switch (code) {
    case 0x7C084: case 0x7C088: case 0x4D02C: case 0x4D004: case 0x4D014: case 0x4D008: case 0x2D1100:
      return true;
  }
  return false;
}

struct fuzzer {
  std::mt19937 rng{0x5EED1234u};  // fixed: every run sends the same replies
  size_t replies = 0;
  size_t health_replies = 0;  // to the IDENTIFY, SMART, prediction and NVMe requests

  size_t below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(rng) : 0; }
  uint8_t byte() { return uint8_t(below(256)); }

  void garble(DWORD code, fake_reply& r) {
    ++replies;
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
      f->garble(code, reply);
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
