#pragma once

#include <cstdint>

uint64_t qpc_now();
// Milliseconds in a tick difference.
uint64_t qpc_to_msec(uint64_t ticks);
