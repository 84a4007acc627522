#include "token_bucket.h"

#include <algorithm>
#include <cmath>

int token_bucket::take(const std::string& client, clock_type::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  forget_full(now);
  auto [found, added] = buckets_.try_emplace(client, bucket{burst_, now});
  bucket& b = found->second;
  double elapsed = std::chrono::duration<double>(now - b.filled_at).count();
  b.tokens = std::min(burst_, b.tokens + elapsed * rate_);
  b.filled_at = now;
  if (b.tokens >= 1) {
    b.tokens -= 1;
    return 0;
  }
  return std::max(1, static_cast<int>(std::ceil((1 - b.tokens) / rate_)));
}

void token_bucket::forget_full(clock_type::time_point now) {
  // A bucket idle for long enough to be full again says nothing a new one would not.
  auto refill = std::chrono::duration<double>(burst_ / rate_);
  if (now - swept_at_ < std::chrono::seconds(60)) return;
  swept_at_ = now;
  for (auto it = buckets_.begin(); it != buckets_.end();)
    it = now - it->second.filled_at > refill ? buckets_.erase(it) : std::next(it);
}
