// The plain records the strategy model is built from: one combination of a test, one
// benchmark run as its report told it, and the device a run or a question is about.
#pragma once
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

// Open modes in the report's display order.
constexpr const char* mode_labels[6] = {"buf", "buf seq", "buf rnd", "raw", "raw seq", "raw rnd"};

struct strategy {
  uint64_t size = 0;   // bytes per buffer
  uint32_t count = 0;  // buffers in flight
  uint8_t mode = 0;    // index into mode_labels

  auto key() const { return std::tie(size, count, mode); }
  bool operator<(const strategy& other) const { return key() < other.key(); }
  bool operator==(const strategy& other) const { return key() == other.key(); }
};

enum class direction { read, write };

// What a question names, and what a run's storage facts say.
struct device_description {
  std::string type, vendor, model, bus, usb;
};

struct measured_strategy {
  strategy what;
  uint64_t rate = 0;  // bytes per second; 0: the test failed
};

struct report_run {
  std::string machine;  // the "MD5(MachineGuid)" digest, or "-"
  device_description device;
  std::string controller, file_system, volume_type, share_protocol;
  bool remote = false;
  std::string os_name;
  int os_bits = 0;
  bool synthetic = false;  // written by the test generator, not by a benchmark
  // The profile.
  uint64_t file_size = 0, memory_cap = 0;
  std::vector<uint64_t> buffer_sizes;
  std::vector<uint32_t> buffer_counts;
  uint32_t duration = 0, order = 0, cache_trim = 0, read_modes = 0, write_modes = 0;
  // Every recorded test, in the order run.
  std::vector<measured_strategy> reads, writes;

  const std::vector<measured_strategy>& tests(direction which) const {
    return which == direction::read ? reads : writes;
  }
};
