// Synthetic reports in the client's exact report format, from a small device model: each
// device has one best strategy per direction, others fall off with their distance from it,
// and every observation adds its own noise. Marked as synthetic in their Platform line.
#pragma once
#include <cstdint>
#include <string>

#include "strategy_types.h"

struct synthetic_device {
  device_description device;
  strategy best_read, best_write;
  double peak_mbps = 500;  // decimal MBps of the best strategy
};

// Three models of three kinds, each with a best read strategy of its own.
extern const synthetic_device synthetic_fast_ssd, synthetic_nvme, synthetic_usb_disk;

// One report of machine number `machine`; `seed` varies the noise between runs.
std::string synthetic_report(const synthetic_device& device, uint32_t machine, uint32_t seed);
// The 32 hexadecimal digits standing for machine number `machine`.
std::string synthetic_machine_id(uint32_t machine);

// The profile of the generated reports: these sizes and counts, all four modes of
// reading and the two of writing below.
constexpr uint64_t synthetic_sizes[] = {65536, 262144, 1048576, 4194304};
constexpr uint32_t synthetic_counts[] = {1, 4, 8, 16};
constexpr uint32_t synthetic_read_modes = 0x1b;   // raw, raw seq, buf, buf seq
constexpr uint32_t synthetic_write_modes = 0x03;  // raw, raw seq
