// synthetic-uploads PORT OBSERVATIONS [THREADS]: uploads generated reports to a folvi-share on
// localhost (plain HTTP), one per machine, spread over 50 device models of five kinds whose best
// strategies differ. For measuring a server that holds many observations.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "share_helpers.h"
#include "synthetic_reports.h"

namespace {

synthetic_device device_number(uint32_t index) {
  const char* kinds[] = {"SSD", "HDD", "NMVe", "SD card", "RAID"};
  const char* buses[] = {"3 / 11", "3 / 7", "3 / 17", "3 / 12", "3 / 8"};
  uint32_t kind = index % 5;
  synthetic_device device;
  device.device = {kinds[kind], "Vendor " + std::to_string(index % 7), "Model " + std::to_string(index), buses[kind],
                   kind == 1 ? "USB 3.0" : ""};
  device.best_read = {synthetic_sizes[index % 4], synthetic_counts[(index / 4) % 4],
                      static_cast<uint8_t>(index % 2 ? 4 : 1)};
  device.best_write = {synthetic_sizes[(index + 1) % 4], synthetic_counts[(index / 2) % 4],
                       static_cast<uint8_t>(3 + index % 2)};
  device.peak_mbps = 100 + 60.0 * index;
  return device;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: synthetic-uploads PORT OBSERVATIONS [THREADS]\n");
    return 2;
  }
  int port = std::atoi(argv[1]);
  uint32_t observations = static_cast<uint32_t>(std::atoi(argv[2]));
  int threads = argc > 3 ? std::atoi(argv[3]) : 8;
  std::atomic<uint32_t> next{0}, failed{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      for (uint32_t machine; (machine = next++) < observations;) {
        package_files files;
        files.report = synthetic_report(device_number(machine % 50), machine, 1);
        auto reply = post_upload(port, "report", build_package(files));
        if (!reply || reply->status != 200) ++failed;
      }
    });
  for (std::thread& worker : workers) worker.join();
  std::fprintf(stderr, "uploaded %u reports, %u refused\n", observations - failed.load(), failed.load());
  return failed ? 1 : 0;
}
