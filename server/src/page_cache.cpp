#include "page_cache.h"

std::shared_ptr<const std::string> page_cache::find(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = pages_.find(id);
  return found == pages_.end() ? nullptr : found->second;
}

void page_cache::insert(const std::string& id, std::shared_ptr<const std::string> page) {
  if (page->size() > max_bytes_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!pages_.emplace(id, page).second) return;
  order_.push_back(id);
  bytes_ += page->size();
  while (bytes_ > max_bytes_) {
    auto oldest = pages_.find(order_.front());
    bytes_ -= oldest->second->size();
    pages_.erase(oldest);
    order_.pop_front();
  }
}
