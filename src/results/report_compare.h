#pragma once

#include <string>

#include "results/report_parse.h"

// Two reports side by side, per direction: every combination present in both with its rates in
// MBps (1K = 1024) and the ratio B / A, the best of each, and the median ratio. When both were
// read from JSON documents, each combination's p99 in microseconds stands beside its rates.
std::string compare_reports(const parsed_report& a, const parsed_report& b);
