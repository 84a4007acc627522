// /app/predictions: how well the recommendation does against the two usual choices, and what
// it recommends per device kind; and the "Devices like this one" part of a share page.
#pragma once
#include <string>
#include <string_view>

#include "model_keeper.h"

std::string predictions_page_html(const model_snapshot& snapshot);
// For the run of a share's first good report; empty when the report gives no run.
std::string similar_devices_html(std::string_view report, const model_snapshot& snapshot);
// The notice that every figure from generated reports carries.
std::string synthetic_notice_html(const model_snapshot& snapshot);
