// Rendered share pages by share id. A share never changes once stored, so a page rendered once
// is good for as long as it is kept; the oldest go first when the cache is over its size.
#pragma once
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class page_cache {
 public:
  explicit page_cache(size_t max_bytes) : max_bytes_(max_bytes) {}
  std::shared_ptr<const std::string> find(const std::string& id);
  void insert(const std::string& id, std::shared_ptr<const std::string> page);

 private:
  const size_t max_bytes_;
  std::mutex mutex_;
  std::list<std::string> order_;  // oldest first
  std::unordered_map<std::string, std::shared_ptr<const std::string>> pages_;
  size_t bytes_ = 0;
};
