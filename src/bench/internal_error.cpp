#include "bench/internal_error.h"

#include <cstdio>
#include <cstdlib>

void internal_error(const char* operation) {
  std::fprintf(stderr, "internal error in %s\n", operation);
  std::fflush(stderr);
  std::abort();
}
