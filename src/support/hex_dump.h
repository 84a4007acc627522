#pragma once

#include <cstddef>
#include <cstdint>

#include "support/logger.h"

// 16 bytes a row at level 2: offset, hex entries, printable characters.
void hex_dump(logger* log, const uint8_t* data, size_t size);
