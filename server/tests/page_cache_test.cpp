#include <gtest/gtest.h>

#include "page_cache.h"

TEST(page_cache, keeps_pages_within_its_size_and_drops_the_oldest_first) {
  page_cache cache(10);
  auto page = [](size_t n) { return std::make_shared<const std::string>(n, 'x'); };
  cache.insert("a", page(4));
  cache.insert("b", page(4));
  cache.insert("a", page(1));  // already there: kept as it was
  EXPECT_EQ(cache.find("a")->size(), 4u);
  cache.insert("c", page(4));  // 12 bytes: "a" goes
  EXPECT_EQ(cache.find("a"), nullptr);
  ASSERT_NE(cache.find("b"), nullptr);
  ASSERT_NE(cache.find("c"), nullptr);
  cache.insert("huge", page(11));  // larger than the whole cache: not kept, nothing dropped
  EXPECT_EQ(cache.find("huge"), nullptr);
  EXPECT_NE(cache.find("b"), nullptr);
}
