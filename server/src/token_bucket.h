// Per-client upload rate limit: each client address has a bucket of `burst` tokens refilled at
// `rate` per second; an upload takes one. Buckets that have filled up again are forgotten.
#pragma once
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

class token_bucket {
 public:
  using clock_type = std::chrono::steady_clock;
  token_bucket(double rate, double burst) : rate_(rate), burst_(burst) {}

  // 0 when the client may go on now, else the whole seconds until a token is there.
  int take(const std::string& client, clock_type::time_point now = clock_type::now());

 private:
  struct bucket {
    double tokens;
    clock_type::time_point filled_at;
  };
  void forget_full(clock_type::time_point now);

  const double rate_;
  const double burst_;
  std::mutex mutex_;
  std::unordered_map<std::string, bucket> buckets_;
  clock_type::time_point swept_at_{};
};
