#include "results/results_json.h"

#include "results/json_writer.h"
#include "support/format_string.h"

const char results_json_format[] = "folvi-cli results";

namespace {
void write_error(json_writer& j, const test_run& r) {
  j.key("error");
  if (r.ok) return j.null();
  j.begin_object();
  j.key("api").value(r.error.api);
  j.key("code");
  if (r.error.code == no_error_code) j.null();
  else j.value(r.error.code);
  j.key("detail").value(r.error.detail);
  j.end_object();
}

void write_flags(json_writer& j, bool suspect) {
  j.key("flags").begin_array();
  if (suspect) j.value(cache_suspect_flag);
  j.end_array();
}

void write_latency(json_writer& j, const test_run& r) {
  j.key("latency");
  const latency_summary& l = r.latency;
  if (!r.ok || l.count == 0) return j.null();
  j.begin_object();
  j.key("count").value(l.count);
  j.key("mean_us").value(l.mean_us);
  j.key("p50_us").value(l.p50_us);
  j.key("p90_us").value(l.p90_us);
  j.key("p99_us").value(l.p99_us);
  j.key("p999_us").value(l.p999_us);
  j.key("max_us").value(l.max_us);
  j.end_object();
}

// What a pass and a combination both carry: outcome, rates, bytes, the four time stamps and the
// request latencies.
void write_measurement(json_writer& j, const test_run& r) {
  j.key("ok").value(r.ok);
  write_error(j, r);
  j.key("rate").value(r.rate);
  j.key("rate_total").value(r.rate_total);
  j.key("bytes_issued").value(r.bytes_issued);
  j.key("bytes_done").value(r.bytes_done);
  j.key("t_open").value(int64_t(r.t_open));
  j.key("t_start").value(int64_t(r.t_start));
  j.key("t_end").value(int64_t(r.t_end));
  j.key("t_closed").value(int64_t(r.t_closed));
  write_latency(j, r);
}

void write_combination_names(json_writer& j, const test_run& r) {
  j.key("direction").value(r.read ? "read" : "write");
  j.key("count").value(r.buffer_count);
  j.key("size").value(r.buffer_size);
  j.key("mode").value(mode_names[mode_index(r.open_flags)]);
}

void write_test(json_writer& j, const combo_result& c, const cache_guard& guard) {
  j.begin_object();
  write_combination_names(j, c.run);
  j.key("open_flags").value(c.run.open_flags);
  write_measurement(j, c.run);
  j.key("rate_min").value(c.rate_min);
  j.key("rate_max").value(c.rate_max);
  write_flags(j, c.cache_suspect);
  j.key("passes").begin_array();
  for (const test_run& p : c.passes) {
    j.begin_object();
    write_measurement(j, p);
    write_flags(j, guard.suspect(p));
    j.end_object();
  }
  j.end_array();
  j.end_object();
}

// Opens the object that names a combination; the caller may add to it, and closes it.
void write_reference(json_writer& j, const std::vector<combo_result>& list, int index, size_t first) {
  const combo_result& c = list[size_t(index)];
  j.begin_object();
  j.key("test").value(uint64_t(first + size_t(index)));
  write_combination_names(j, c.run);
  j.key("rate").value(c.run.rate);
  j.key("rate_min").value(c.rate_min);
  j.key("rate_max").value(c.rate_max);
}

void write_best(json_writer& j, const char* direction, const std::vector<combo_result>& list, size_t first) {
  j.key(direction);
  const best_and_ties b = find_best(list);
  if (b.best < 0) return j.null();
  write_reference(j, list, b.best, first);
  j.key("tied_with").begin_array();
  for (int t : b.ties) {
    write_reference(j, list, t, first);
    j.end_object();
  }
  j.end_array();
  j.key("best_latency");
  const int quick = find_best_latency(list);
  if (quick < 0) {
    j.null();
  } else {
    write_reference(j, list, quick, first);
    j.key("p99_us").value(list[size_t(quick)].run.latency.p99_us);
    j.end_object();
  }
  j.end_object();
}

void write_profile(json_writer& j, const test_def& d) {
  j.key("profile").begin_object();
  j.key("name").value(d.name);
  j.key("path").value(d.path);
  j.key("remote").value(d.remote);
  j.key("sequential").value(d.sequential);
  j.key("file_size").value(d.file_size);
  j.key("init_time_factor").value(d.init_time_factor);
  j.key("buffer_sizes").begin_array();
  for (uint64_t s : d.buffer_sizes) j.value(s);
  j.end_array();
  j.key("buffer_counts").begin_array();
  for (uint32_t c : d.buffer_counts) j.value(c);
  j.end_array();
  j.key("memory_cap").value(d.memory_cap);
  j.key("duration_ms").value(d.duration);
  j.key("fill").value(fill_name(d.fill));
  j.key("order").value(d.order);
  j.key("cache_trim").value(d.cache_trim);
  j.key("read_modes").value(d.read_modes);
  j.key("write_modes").value(d.write_modes);
  j.key("flush").value(d.flush);
  j.key("read_tests").value(d.read_tests);
  j.key("write_tests").value(d.write_tests);
  j.end_object();
}

void write_storage(json_writer& j, const report_entries& facts, const cache_guard& guard) {
  j.key("storage").begin_object();
  j.key("facts").begin_object();
  for (const report_entry& e : facts)
    if (!e.key.empty()) j.key(e.key.c_str()).value(e.value);
  j.end_object();
  j.key("link");
  if (guard.link_limit > 0) {
    j.begin_object();
    j.key("name").value(guard.link_name);
    j.key("bytes_per_second").value(guard.link_limit);
    j.end_object();
  } else {
    j.null();
  }
  j.key("unbuffered").value(unbuffered_state_name(guard.unbuffered));
  j.end_object();
}

void write_host(json_writer& j, const report_host& h) {
  j.key("host").begin_object();
  j.key("program_version").value(h.version);
  j.key("os_name").value(h.os_name);
  j.key("os_version").value(h.os_version);
  j.key("wow64").value(h.wow64);
  j.key("machine_id").value(h.machine_id);
  j.end_object();
}
}  // namespace

std::string results_json(const results_json_input& in) {
  json_writer j;
  j.begin_object();
  j.key("format").value(results_json_format);
  j.key("format_version").value(uint32_t(results_json_version));
  const SYSTEMTIME& t = in.recorded;
  j.key("recorded")
      .value(format_string("%04u-%02u-%02u %02u:%02u:%02u", unsigned(t.wYear), unsigned(t.wMonth), unsigned(t.wDay),
                           unsigned(t.wHour), unsigned(t.wMinute), unsigned(t.wSecond)));
  write_host(j, in.host);
  j.key("outcome").value(in.outcome);
  j.key("repeat").value(in.repeat);
  j.key("counter_frequency").value(in.counter_frequency);
  write_profile(j, in.profile);
  write_storage(j, in.storage_facts, in.guard);
  j.key("warnings").begin_array();
  for (const std::string& w : in.warnings) j.value(w);
  j.end_array();
  j.key("tests").begin_array();
  for (const auto* list : {&in.reads, &in.writes})
    for (const combo_result& c : *list) write_test(j, c, in.guard);
  j.end_array();
  j.key("best").begin_object();
  write_best(j, "read", in.reads, 0);
  write_best(j, "write", in.writes, in.reads.size());
  j.end_object();
  j.end_object();
  return j.text();
}
