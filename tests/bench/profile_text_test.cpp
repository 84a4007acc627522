#include "bench/profile_text.h"

#include <gtest/gtest.h>

#include <functional>

#include "bench/test_def.h"
#include "golden.h"

namespace {
// The reader runs before its value is read.
template <typename Read>
std::string read_answer(Read read, const std::function<std::string()>& value) {
  const char* names[] = {"ok", "malformed", "too_large"};
  const parse_result r = read();
  return std::string(names[int(r)]) + " " + value();
}
std::string joined(const std::vector<uint64_t>& values) {
  std::string out;
  for (uint64_t v : values) out += (out.empty() ? "" : " ") + std::to_string(v);
  return out;
}
std::vector<uint64_t> widened(const std::vector<uint32_t>& values) { return {values.begin(), values.end()}; }

// "format_size 8192", "read_size  64 mb ", "read_size_list 8k, 1.5m" (lists start as "1" and keep
// what they hold on failure), "summary 1" (a preset), "summary one" (one raw read of 4K x 1).
std::string answer(const std::string& question) {
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space), arg = question.substr(space + 1);
  uint32_t n = 0;
  uint64_t s = 0;
  std::vector<uint64_t> sizes = {1};
  std::vector<uint32_t> counts = {1};
  if (fn == "format_size") return format_size(std::stoull(arg));
  if (fn == "format_duration") return format_duration(uint32_t(std::stoul(arg)));
  if (fn == "format_time") return format_time(std::stoull(arg));
  if (fn == "read_number") return read_answer([&] { return read_number(arg, n); }, [&] { return std::to_string(n); });
  if (fn == "read_size") return read_answer([&] { return read_size(arg, s); }, [&] { return std::to_string(s); });
  if (fn == "read_duration")
    return read_answer([&] { return read_duration(arg, n); }, [&] { return std::to_string(n); });
  if (fn == "read_size_list")
    return read_answer([&] { return read_size_list(arg, sizes); }, [&] { return joined(sizes); });
  if (fn == "read_number_list")
    return read_answer([&] { return read_number_list(arg, counts); }, [&] { return joined(widened(counts)); });
  if (fn != "summary") return "unknown question";
  test_def d;
  uint32_t mask = 0;
  if (arg.rfind("one", 0) == 0) {
    d.buffer_sizes = {4096};
    d.buffer_counts = {1};
    d.read_modes = 1;
    d.write_modes = 0;
    mask = arg == "one" ? 0 : 1 << 3;
  } else {
    d.reset(std::stoi(arg));
  }
  const profile_summary p = summarize_profile(d, mask);
  return p.read_tests + " | " + p.write_tests + " | " + p.read_time + " | " + p.write_time + " | " + p.total_time;
}
}  // namespace

TEST(profile_text, formats_readers_lists_and_summaries) { expect_table("bench/profile_texts.txt", answer); }
