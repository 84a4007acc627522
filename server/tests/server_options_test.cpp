#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "golden.h"
#include "server_options.h"
#include "token_bucket.h"

namespace {

// What a command line sets, or its error (and that a failed parse kept the default size).
std::string parsed(const std::string& line) {
  std::vector<std::string> words = {"folvi-share"};
  for (size_t at = 0, end; at < line.size(); at = end + 1) {
    end = std::min(line.find(' ', at), line.size());
    words.push_back(line.substr(at, end - at));
    if (words.back().rfind("DATA/", 0) == 0) words.back().replace(0, 4, TEST_DATA_DIR);
  }
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  server_options o;
  std::string error, proxies;
  if (!parse_server_options(static_cast<int>(argv.size()), argv.data(), o, error)) {
    if (error.rfind(TEST_DATA_DIR, 0) == 0) error.replace(0, std::string(TEST_DATA_DIR).size(), "DATA");
    return "error: " + error + " (max body " + std::to_string(o.max_body) + ")";
  }
  for (const std::string& proxy : o.trusted_proxies) proxies += " " + proxy;
  return o.address + " port " + std::to_string(o.port) + " [" + o.port_file + "] [" + o.database + "] [" + o.cert_file +
         "] [" + o.key_file + "] max body " + std::to_string(o.max_body) + " rate " + std::to_string(o.upload_rate) +
         " burst " + std::to_string(o.upload_burst) + " proxies" + proxies + " links " + link_host(o, 1234) + ", " +
         link_host(o, 443);
}

}  // namespace

TEST(server_options, sets_what_each_command_line_says_or_names_what_is_wrong) {
  std::string transcript;
  for (const std::string& line : lines_of(test_data_text("server_options.txt")))
    if (line.empty() || line[0] != '#') transcript += line + "\n  " + parsed(line) + "\n";
  expect_golden(transcript, "server_options.out.txt");
  EXPECT_EQ(parse_size("17179869184G"), std::nullopt);
  EXPECT_EQ(parse_size("18446744073709551616"), std::nullopt);
  EXPECT_EQ(parse_size("18446744073709551615"), UINT64_MAX);
}

TEST(token_bucket, a_burst_then_the_rate_with_the_wait_in_whole_seconds) {
  token_bucket bucket(0.5, 2);
  auto t = token_bucket::clock_type::time_point{} + std::chrono::hours(1);
  EXPECT_EQ(bucket.take("a", t), 0);
  EXPECT_EQ(bucket.take("a", t), 0);
  EXPECT_EQ(bucket.take("a", t), 2);
  EXPECT_EQ(bucket.take("b", t), 0);  // buckets are per client
  EXPECT_EQ(bucket.take("a", t + std::chrono::milliseconds(1500)), 1);
  EXPECT_EQ(bucket.take("a", t + std::chrono::milliseconds(2000)), 0);
  EXPECT_EQ(bucket.take("a", t + std::chrono::milliseconds(2000)), 2);
}
