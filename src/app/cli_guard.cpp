#include "app/cli_guard.h"

#include "storage/location_link.h"

cache_guard build_cache_guard(unbuffered_state unbuffered, const location_summary& summary) {
  cache_guard guard;
  guard.unbuffered = unbuffered;
  const device_link link = location_link(summary);
  guard.link_name = link.name;
  guard.link_limit = link.bytes_per_second;
  return guard;
}
