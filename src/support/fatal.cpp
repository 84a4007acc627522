#include "support/fatal.h"

#include <cstdio>
#include <cstdlib>

void fatal(const char* operation) {
  std::fprintf(stderr, "internal error in %s\n", operation);
  std::fflush(stderr);
  std::abort();
}
