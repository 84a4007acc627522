#include "bench/random_fill.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/data_buf.h"

namespace {
std::vector<uint64_t> words_of(const std::vector<uint8_t>& bytes) {
  std::vector<uint64_t> words(bytes.size() / 8);
  std::memcpy(words.data(), bytes.data(), words.size() * 8);
  return words;
}

bool all_distinct(std::vector<uint64_t> words) {
  std::sort(words.begin(), words.end());
  return std::adjacent_find(words.begin(), words.end()) == words.end();
}

uLong deflated_size(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(compressBound(uLong(data.size())));
  uLongf size = uLongf(out.size());
  EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), 9), Z_OK);
  return size;
}
}  // namespace

TEST(random_fill, no_word_repeats_within_or_across_the_buffers_of_a_stream) {
  random_fill stream;
  std::vector<uint8_t> first(1 << 20), second(1 << 20);
  stream.fill(first.data(), first.size());
  stream.fill(second.data(), second.size());
  std::vector<uint64_t> words = words_of(first);
  const std::vector<uint64_t> more = words_of(second);
  words.insert(words.end(), more.begin(), more.end());
  EXPECT_TRUE(all_distinct(words));

  // Streams of separate tests start apart: their data differs too.
  random_fill other;
  std::vector<uint8_t> third(1 << 16);
  other.fill(third.data(), third.size());
  const std::vector<uint64_t> others = words_of(third);
  words.insert(words.end(), others.begin(), others.end());
  EXPECT_TRUE(all_distinct(words));
}

TEST(random_fill, compression_cannot_shrink_it) {
  random_fill stream;
  std::vector<uint8_t> data(1 << 20);
  init_data_buf(data.data(), data.size(), 3, stream);
  EXPECT_GE(deflated_size(data), data.size());
  // The check itself can tell: a repeating pattern shrinks to almost nothing.
  init_data_buf(data.data(), data.size(), 2, stream);
  EXPECT_LT(deflated_size(data), data.size() / 100);
}

TEST(random_fill, a_stream_continues_and_stays_inside_the_buffer) {
  random_fill whole(42), pieces(42);
  std::vector<uint8_t> a(16384), b(16384);
  whole.fill(a.data(), a.size());
  pieces.fill(b.data(), 1000 * 8);  // stopping at a word boundary loses nothing
  pieces.fill(b.data() + 8000, b.size() - 8000);
  EXPECT_EQ(a, b);

  // A tail shorter than a word takes the low bytes of the next word, and not one byte beyond.
  uint8_t tail[32], words[16];
  std::memset(tail, 0xAA, sizeof tail);
  random_fill(7).fill(tail, 13);
  random_fill(7).fill(words, sizeof words);
  EXPECT_EQ(std::memcmp(tail, words, 13), 0);
  EXPECT_EQ(std::count(tail + 13, tail + 32, 0xAA), 19);
}
