#include "bench/test_runner.h"

#include <windows.h>

#include <vector>

#include "bench/profile_limits.h"
#include "bench/run_test.h"
#include "bench/test_combo.h"
#include "bench/test_file.h"
#include "support/digest.h"
#include "support/fatal.h"
#include "support/long_path.h"

namespace {
test_run make_run(const test_def& def, const test_combo& combo, bool read) {
  test_run run;
  run.read = read;
  run.sequential = def.sequential;
  run.remote = def.remote;
  run.duration = def.duration;
  run.fill = def.fill;
  run.flush = def.flush;
  run.buffer_size = uint32_t(combo.buffer_size);
  run.buffer_count = combo.buffer_count;
  run.open_flags = combo.open_flags;
  return run;
}

bool wants_purge(const test_def& def) { return def.cache_trim == 3 || (def.cache_trim == 2 && !def.remote); }

// The run's random draws: the test order and, apart from it, a seed for each test's offsets, so
// that the number of tests or of their draws never moves the order.
struct run_draws {
  rand15 order;
  rand15 test_seeds;
  explicit run_draws(uint32_t seed) : order(seed), test_seeds(seed ^ 0x5EED0FF5u) {}
  uint32_t next_test_seed() { return test_seeds.next() << 15 | test_seeds.next(); }
};

// Raw tests whose size the sector size does not divide would fail at their first request: they
// are named once before the run and each is reported as failed without any I/O, so that a preset
// with small raw sizes still runs the rest of its tests on a drive with large sectors.
struct raw_refusal {
  uint32_t sector_size = 0;
  std::vector<uint64_t> sizes;
  api_error_info error;
  bool refuses(const test_combo& combo) const {
    if (!(combo.open_flags & FILE_FLAG_NO_BUFFERING)) return false;
    for (uint64_t size : sizes)
      if (size == combo.buffer_size) return true;
    return false;
  }
};

raw_refusal check_raw_sizes(const test_def& def, uint32_t sector_size, api_error_logger& errors) {
  raw_refusal refusal;
  refusal.sector_size = sector_size;
  refusal.sizes = unaligned_raw_sizes(def, sector_size);
  if (refusal.sizes.empty()) return refusal;
  errors.report_api_error("CheckSectorSize", no_error_code,
                          "raw buffer sizes %s are not multiples of the %lu-byte sector",
                          size_list_text(refusal.sizes).c_str(), (unsigned long)sector_size);
  refusal.error = errors.last_error();
  return refusal;
}

// Runs the phases; false when a purge failed or on_phase stopped the run.
bool run_phases(const test_def& def, const std::wstring& file_name, test_runner_cb& cb, logger& log,
                api_error_logger& errors, purge_fn purge, uint32_t passes, run_draws& draws,
                const raw_refusal& refusal) {
  std::vector<test_combo> combos;
  for (bool read : {true, false}) {
    generate_combo_vec(def, read, combos, draws.order);
    if (combos.size() != (read ? def.read_tests : def.write_tests)) fatal("execute_tests");
    log.log(3, "Running %s tests, %u combos ...\n", read ? "read" : "write", unsigned(combos.size()));
    if (!cb.on_phase(read)) return false;
    bool go_on = true;
    for (uint32_t pass = 0; pass < passes && go_on; ++pass) {
      if (pass > 0) {
        generate_combo_vec(def, read, combos, draws.order);
        order_for_pass(combos, pass);
        log.log(3, "Pass %u of %u ...\n", unsigned(pass + 1), unsigned(passes));
      }
      for (const test_combo& combo : combos) {
        test_run run = make_run(def, combo, read);
        const uint32_t test_seed = draws.next_test_seed();
        if (refusal.refuses(combo)) {
          run.ok = false;
          run.error = refusal.error;
        } else {
          if (wants_purge(def) && !purge(&errors)) return false;
          run.ok = run_test(file_name, run, &errors, test_seed);
          run.error = errors.last_error();
        }
        if (!cb.on_test_done(run)) {
          go_on = false;
          break;
        }
      }
    }
  }
  return true;
}
}  // namespace

bool execute_tests(const test_def& def, test_runner_cb& cb, logger& log, purge_fn purge, uint32_t passes,
                   std::optional<uint32_t> seed) {
  if (!purge) purge = purge_file_cache;
  if (!seed) {
    uint32_t drawn = 0;
    random_bytes(&drawn, sizeof drawn);
    seed = drawn;
  }
  run_draws draws(*seed);
  api_error_logger errors(&log);
  const std::wstring file_name = test_file_name(def.path);
  const uint32_t sector_size = location_sector_size(def.path);
  const raw_refusal refusal = check_raw_sizes(def, sector_size, errors);
  bool ok = create_test_file(file_name, def, sector_size, cb, log, &errors) &&
            run_phases(def, file_name, cb, log, errors, purge, passes, draws, refusal);
  log.log(3, "Completed, ok = %u\n", ok ? 1u : 0u);
  DeleteFileW(long_path(file_name).c_str());
  return ok;
}
