#include "app/cli_predict.h"

#include <cstdio>

#include "app/cli_checks.h"
#include "app/cli_report.h"
#include "app/cli_scan.h"
#include "app/prediction.h"
#include "app/replayed_location.h"
#include "share/heap_buffer.h"
#include "share/http_post.h"
#include "share/upload_xchg.h"
#include "support/format_string.h"
#include "support/optional_functions.h"
#include "support/text.h"
#include "storage/location_api.h"

namespace {
constexpr uint32_t predict_reply_capacity = 16384;

void print_line(const std::string& line) { std::fputs(("folvi-cli: --predict: " + line + "\n").c_str(), stderr); }

std::string server_text(const http_target& target) {
  return format_string("%s://%s:%u", target.use_tls ? "https" : "http", target.host.c_str(),
                       unsigned(target.port      ? target.port
                                : target.use_tls ? 443
                                                 : 80));
}

// One direction asked and its line printed; false when there is none to print.
bool ask(const http_target& target, const char* direction, const predict_device& device) {
  api_error_logger failures;
  heap_buffer reply;
  uint32_t status = 0;
  if (!reply.reserve(predict_reply_capacity)) {
    print_line("no memory for the answer");
    return false;
  }
  if (!http_get(target, predict_path(direction, device), reply, status, &failures)) {
    print_line(no_answer_line(server_text(target), failures.last_error()));
    return false;
  }
  prediction p;
  std::string error;
  if (!read_prediction(status, std::string(reinterpret_cast<const char*>(reply.data()), reply.size()), direction, p,
                       error)) {
    print_line(error);
    return false;
  }
  return write_stdout(prediction_line(direction, p) + "\n");
}

// The storage facts of the location's device; false with `code` when there are none to be had.
bool location_facts(const cli_options& options, api_error_logger& errors, report_entries& facts, int& code) {
  std::wstring location = options.profile.path;
  std::string error;
  if (options.replay_path.empty() && !resolve_location(location, error)) {
    std::fputs(("folvi-cli: " + error + "\n").c_str(), stderr);
    return code = exit_bad_arguments, false;
  }
  load_optional_functions(&errors);
  scan_result scan;
  scan_recording recording;
  if (!options.replay_path.empty()) {
    if (!replay_scan(options.replay_path, scan, &errors, error, recording)) {
      if (!error.empty()) std::fputs(("folvi-cli: " + error + "\n").c_str(), stderr);
      return code = error.empty() ? exit_failed : exit_bad_arguments, false;
    }
  } else if (!scan_storage(win32_device_api(), win32_vds_api(), scan, &errors)) {
    print_line("the storage scan could not be started");
    return code = exit_failed, false;
  }
  replayed_location recorded(recording);
  location_api& api = options.replay_path.empty() ? win32_location_api() : recorded;
  std::wstring root;
  if (!options.replay_path.empty() && !recorded.volume_path_name(location, root)) {
    std::fputs(("folvi-cli: LOCATION: \"" + to_utf8(location) + "\" is on no volume of the recording\n").c_str(),
               stderr);
    return code = exit_bad_arguments, false;
  }
  facts = refresh_summary(api, scan.model.get(), location).storage_facts;
  return true;
}
}  // namespace

int run_predict(const cli_options& options, api_error_logger& errors) {
  report_entries facts;
  int code = exit_completed;
  if (!options.profile.path.empty() && !location_facts(options, errors, facts, code)) return code;
  const predict_device device = device_of(facts);
  if (!write_stdout(device_line(device) + "\n")) return exit_failed;
  const http_target target = current_upload_target(&errors);
  for (const char* direction : {"read", "write"})
    if (!ask(target, direction, device)) return exit_failed;
  return exit_completed;
}
