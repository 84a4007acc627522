#pragma once

#include <cstdint>

uint64_t qpc_now();
// Milliseconds in a tick difference.
uint64_t qpc_to_msec(uint64_t ticks);
uint64_t usec_now();
// The conversion itself, for a given frequency.
uint64_t ticks_to_usec(uint64_t ticks, uint64_t frequency);
