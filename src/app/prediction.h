#pragma once

#include <cstdint>
#include <string>

#include "support/api_error.h"
#include "support/report_entry.h"

// The share server's recommendation for a device, without the network: the question asked of
// it, its answer read strictly and the line printed for it.

// What the server is asked about: the storage facts of the location's device, empty when unknown.
struct predict_device {
  std::string type, vendor, model, bus, usb;
};
predict_device device_of(const report_entries& storage_facts);

// The request path for one direction ("read" or "write"); facts that are empty are left out.
std::string predict_path(const char* direction, const predict_device& device);

// Every byte but letters, digits and "-._~" as %XX.
std::string url_encoded(const std::string& text);

// One direction's recommendation.
struct prediction {
  uint32_t size = 0;
  uint32_t count = 0;
  std::string mode;  // one of the report's mode labels
  double expected_efficiency = 0;
  double within_5_percent = 0;  // share of the group within 5% of its best
  std::string level;            // "model", "kind and bus", "kind" or "all"
  uint32_t observations = 0;
};

// The answer to predict_path(direction, ...): true with `out` for a recommendation; otherwise
// false with one line in `error` that says why there is none: the server's reason when it gave
// one, else what is wrong with the answer.
bool read_prediction(uint32_t status, const std::string& body, const char* direction, prediction& out,
                     std::string& error);

// "Recommended read: 8 x 1048576 bytes, raw seq, expected efficiency 97.0%, within 5% of the best
// in 90.0% (level model, 20 observations)"
std::string prediction_line(const char* direction, const prediction& p);

// The line for a request that got no answer from `server` ("https://host:port"): what the failure
// means, then the failed step as reported.
std::string no_answer_line(const std::string& server, const api_error_info& failure);

// "Device: type SSD, vendor Samsung, ..." naming what is asked, or that nothing is known of it.
std::string device_line(const predict_device& device);
