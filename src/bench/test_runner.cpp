#include "bench/test_runner.h"

#include <windows.h>

#include <vector>

#include "bench/run_test.h"
#include "bench/test_combo.h"
#include "bench/test_file.h"
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

// Runs the phases; false when a purge failed or on_phase stopped the run.
bool run_phases(const test_def& def, const std::wstring& file_name, test_runner_cb& cb, logger& log,
                api_error_logger& errors, purge_fn purge, uint32_t passes) {
  std::vector<test_combo> combos;
  for (bool read : {true, false}) {
    generate_combo_vec(def, read, combos);
    if (combos.size() != (read ? def.read_tests : def.write_tests)) fatal("execute_tests");
    log.log(3, "Running %s tests, %u combos ...\n", read ? "read" : "write", unsigned(combos.size()));
    if (!cb.on_phase(read)) return false;
    bool go_on = true;
    for (uint32_t pass = 0; pass < passes && go_on; ++pass) {
      if (pass > 0) {
        generate_combo_vec(def, read, combos);
        order_for_pass(combos, pass);
        log.log(3, "Pass %u of %u ...\n", unsigned(pass + 1), unsigned(passes));
      }
      for (const test_combo& combo : combos) {
        test_run run = make_run(def, combo, read);
        if (wants_purge(def) && !purge(&errors)) return false;
        run.ok = run_test(file_name, run, &errors);
        run.error = errors.last_error();
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

bool execute_tests(const test_def& def, test_runner_cb& cb, logger& log, purge_fn purge, uint32_t passes) {
  if (!purge) purge = purge_file_cache;
  api_error_logger errors(&log);
  const std::wstring file_name = test_file_name(def.path);
  bool ok = create_test_file(file_name, def, cb, log, &errors) &&
            run_phases(def, file_name, cb, log, errors, purge, passes);
  log.log(3, "Completed, ok = %u\n", ok ? 1u : 0u);
  DeleteFileW(long_path(file_name).c_str());
  return ok;
}
