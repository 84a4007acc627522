#include "support/hex_dump.h"

#include <cstdio>
#include <string>

void hex_dump(logger* log, const uint8_t* data, size_t size) {
  for (size_t o = 0; o < size; o += 16) {
    char cell[24];
    std::snprintf(cell, sizeof cell, "%04zX | ", o);
    std::string row = cell;
    for (size_t i = 0; i < 16; ++i) {
      if (o + i < size) {
        std::snprintf(cell, sizeof cell, "%02X ", data[o + i]);
        row += cell;
      } else {
        row += "__ ";
      }
      if (i == 7) row += ' ';
    }
    row += "| ";
    for (size_t i = 0; i < 16; ++i) {
      if (o + i >= size) row += ' ';
      else row += (data[o + i] >= 0x20 && data[o + i] <= 0x7E) ? char(data[o + i]) : '.';
    }
    log->log(2, "%s |\n", row.c_str());
  }
}
