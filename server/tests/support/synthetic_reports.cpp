#include "synthetic_reports.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "golden.h"

const synthetic_device synthetic_fast_ssd{
    {"SSD", "Acme", "Fast 1", "3 / 11", ""}, {1048576, 8, 4}, {4194304, 4, 3}, 520};
const synthetic_device synthetic_nvme{{"NMVe", "Bolt", "N2", "3 / 17", ""}, {4194304, 16, 3}, {1048576, 16, 4}, 3100};
const synthetic_device synthetic_usb_disk{
    {"HDD", "Cirrus", "Spin 7", "3 / 7", "USB 3.0"}, {262144, 4, 1}, {65536, 1, 3}, 180};

namespace {

const char* const wide_mode_names[6] = {"buf    ", "buf seq", "buf rnd", "raw    ", "raw seq", "raw rnd"};

std::string entry(const std::string& key, const std::string& value) {
  std::string line = key;
  if (line.size() < 30) line.resize(30, ' ');
  return line + "  " + value + "\r\n";
}

std::string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The share of the peak a strategy reaches: 1 at the best, less the further its size and count
// are from the best's (in powers of two) and when its mode differs.
double closeness(const strategy& what, const strategy& best) {
  double size_steps = std::fabs(std::log2(static_cast<double>(what.size)) - std::log2(static_cast<double>(best.size)));
  double count_steps =
      std::fabs(std::log2(static_cast<double>(what.count)) - std::log2(static_cast<double>(best.count)));
  double share = 1 - 0.06 * size_steps - 0.05 * count_steps - (what.mode == best.mode ? 0 : 0.15);
  return what == best ? 1 : std::fmin(0.9, std::fmax(0.1, share));
}

struct direction_rows {
  std::vector<std::pair<strategy, double>> tests;  // decimal MBps
  double best = 0;
};

direction_rows measure(uint32_t modes, const strategy& best, double peak, std::mt19937& noise) {
  std::uniform_real_distribution<double> jitter(0.98, 1.02);
  direction_rows rows;
  for (uint64_t size : synthetic_sizes)
    for (uint32_t count : synthetic_counts)
      for (int bit = 0; bit < 6; ++bit)
        if (modes & (1u << bit)) {
          strategy what{size, count, static_cast<uint8_t>((bit + 3) % 6)};
          double rate = std::round(peak * closeness(what, best) * jitter(noise) * 10) / 10;
          rows.tests.emplace_back(what, rate);
          rows.best = std::fmax(rows.best, rate);
        }
  return rows;
}

std::string summary(const std::string& prefix, const direction_rows& rows) {
  const std::pair<strategy, double>* best = nullptr;
  int near99 = 0, near95 = 0;
  for (const auto& test : rows.tests) {
    if (!best || test.second > best->second) best = &test;
    near99 += test.second >= 0.99 * rows.best;
    near95 += test.second >= 0.95 * rows.best;
  }
  std::string io = std::to_string(best->first.count) + " x " + std::to_string(best->first.size) + " bytes, " +
                   wide_mode_names[best->first.mode];
  return entry(prefix + ".tests", std::to_string(rows.tests.size()) + " / " + std::to_string(rows.tests.size())) +
         entry(prefix + ".tests.failed", "-") +
         entry(prefix + ".best.speed.binary", printed("%.1lf MBps", rows.best * 1e6 / 1048576)) +
         entry(prefix + ".best.speed.decimal", printed("%.1lf MBps", rows.best)) + entry(prefix + ".best.io", io) +
         entry(prefix + ".99_perc", std::to_string(near99)) + entry(prefix + ".95_perc", std::to_string(near95));
}

std::string measurement_rows(const direction_rows& rows) {
  std::string out;
  double highest = 0;
  unsigned number = 0;
  for (const auto& [what, rate] : rows.tests) {
    char row[160];
    std::snprintf(row, sizeof row, " %3u  |  %2u x %9u  |  %s  |  %9.1lf MBps  %9.1lf MBps  |  %c %c %c", ++number,
                  what.count, static_cast<unsigned>(what.size), wide_mode_names[what.mode], rate * 1e6 / 1048576, rate,
                  rate >= highest ? '+' : ' ', rate >= 0.95 * rows.best ? '*' : ' ',
                  rate >= 0.99 * rows.best ? '*' : ' ');
    highest = std::fmax(highest, rate);
    out += entry(row, "");
  }
  return out;
}

std::string mask_text(uint32_t mask) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", mask);
  return text;
}

std::string list(const auto& values) {
  std::string out;
  for (auto value : values) out += std::to_string(value) + " ";
  return out;
}

}  // namespace

std::string synthetic_machine_id(uint32_t machine) {
  char text[40];
  std::snprintf(text, sizeof text, "5e7e%028x", machine);
  return text;
}

std::string synthetic_report(const synthetic_device& device, uint32_t machine, uint32_t seed) {
  std::mt19937 noise(machine * 7919u + seed);
  direction_rows reads = measure(synthetic_read_modes, device.best_read, device.peak_mbps, noise);
  direction_rows writes = measure(synthetic_write_modes, device.best_write, device.peak_mbps * 0.8, noise);
  const device_description& d = device.device;
  // The fixed head of every report; its {placeholders} take these values in their order.
  std::string report = test_data_text("synthetic_report_head.txt");
  size_t at = 0;
  for (const std::string& value :
       {synthetic_machine_id(machine), d.type, d.vendor, d.model, d.bus, d.usb, list(synthetic_sizes),
        list(synthetic_counts), mask_text(synthetic_read_modes), mask_text(synthetic_write_modes)}) {
    at = report.find('{', at);
    report.replace(at, report.find('}', at) + 1 - at, value);
  }
  if (d.usb.empty()) report.erase(report.find("Device.usb"), entry("Device.usb", "").size());
  const std::string blank = entry("", "");
  report += summary("Read", reads) + blank + summary("Write", writes) + blank;
  report += entry("--- Read measurements ---", "") + blank + measurement_rows(reads) + blank;
  report += entry("--- Write measurements ---", "") + blank + measurement_rows(writes) + blank;
  return report;
}
