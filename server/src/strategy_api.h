// The JSON side of the model: the question of /api/v1/predict and the answers of both API
// addresses.
#pragma once
#include <string>
#include <string_view>

#include "model_keeper.h"

struct predict_question {
  direction which = direction::read;
  device_description device;
};

// The query string of /api/v1/predict; false with the reason for the client.
bool parse_predict_query(std::string_view query, predict_question& question, std::string& reason);

std::string prediction_json(direction which, const prediction& answer);
std::string evaluation_json(const model_snapshot& snapshot);
// {"reason":"..."}
std::string reason_json(std::string_view reason);

// At most three decimals, without trailing zeros: 0.97, 1, 0.333.
std::string decimal_text(double value);
const char* direction_label(direction which);
// "1 MiB x 8, raw seq" and the like, for pages.
std::string strategy_text(const strategy& what);
