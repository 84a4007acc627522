#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "server_options.h"
#include "token_bucket.h"

namespace {

bool parse(std::vector<const char*> arguments, server_options& options, std::string& error) {
  arguments.insert(arguments.begin(), "folvi-share");
  return parse_server_options(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

}  // namespace

TEST(server_options, defaults_and_every_option) {
  server_options options;
  std::string error;
  ASSERT_TRUE(parse({}, options, error));
  EXPECT_EQ(options.address, "127.0.0.1");
  EXPECT_EQ(options.port, 8443);
  EXPECT_EQ(options.max_body, 16u << 20);
  EXPECT_EQ(link_host(options, 8443), "localhost:8443");
  EXPECT_EQ(link_host(options, 443), "localhost");

  ASSERT_TRUE(parse({"--listen", "[::1]:0", "--port-file", "p", "--db", "x.db", "--cert", "c.pem", "--key", "k.pem",
                     "--host", "share.example:8443", "--max-body", "512K"},
                    options, error))
      << error;
  EXPECT_EQ(options.address, "::1");
  EXPECT_EQ(options.port, 0);
  EXPECT_EQ(options.port_file, "p");
  EXPECT_EQ(options.database, "x.db");
  EXPECT_EQ(options.max_body, 512u << 10);
  EXPECT_EQ(link_host(options, 1234), "share.example:8443");
}

TEST(server_options, refuses_what_it_cannot_use) {
  for (std::vector<const char*> arguments : std::vector<std::vector<const char*>>{{"--listen", "8443"},
                                                                                  {"--listen", "127.0.0.1:65536"},
                                                                                  {"--listen", ":80"},
                                                                                  {"--listen", "[::1]8443"},
                                                                                  {"--max-body", "0"},
                                                                                  {"--max-body", "12X"},
                                                                                  {"--max-body", "-1"},
                                                                                  {"--cert", "c.pem"},
                                                                                  {"--host", "a/b"},
                                                                                  {"--db"},
                                                                                  {"--frobnicate", "1"},
                                                                                  {"stray"}}) {
    server_options options;
    std::string error;
    EXPECT_FALSE(parse(arguments, options, error)) << arguments[0];
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(parse_size("1G"), 1u << 30);
  EXPECT_EQ(parse_size("1048576"), 1u << 20);
}

TEST(server_options, sizes_that_overflow_are_refused_not_wrapped) {
  EXPECT_EQ(parse_size("17179869184G"), std::nullopt);
  EXPECT_EQ(parse_size("18446744073709551616"), std::nullopt);
  EXPECT_EQ(parse_size("18446744073709551615"), UINT64_MAX);
  server_options options;
  std::string error;
  EXPECT_FALSE(parse({"--max-body", "17179869184G"}, options, error));
  EXPECT_EQ(error, "--max-body wants a size from 1 to 1G such as 16M, not 17179869184G");
  EXPECT_FALSE(parse({"--max-body", "1025M"}, options, error));
  EXPECT_EQ(options.max_body, 16u << 20);
}

TEST(server_options, a_config_file_takes_the_same_names_as_the_flags) {
  std::string path = testing::TempDir() + "/folvi-share-options.conf";
  {
    std::ofstream out(path);
    out << "# production\nlisten 0.0.0.0:8080\r\n\n  upload-rate 0.5\nupload-burst 5\ntrusted-proxy 127.0.0.1\n"
           "trusted-proxy ::1\nmax-body 2M\n";
  }
  server_options options;
  std::string error;
  ASSERT_TRUE(parse({"--config", path.c_str(), "--max-body", "3M"}, options, error)) << error;
  EXPECT_EQ(options.address, "0.0.0.0");
  EXPECT_EQ(options.port, 8080);
  EXPECT_EQ(options.upload_rate, 0.5);
  EXPECT_EQ(options.upload_burst, 5);
  EXPECT_EQ(options.trusted_proxies, (std::vector<std::string>{"127.0.0.1", "::1"}));
  EXPECT_EQ(options.max_body, 3u << 20);  // the command line after the file wins

  { std::ofstream(path) << "listen 0.0.0.0:8080\nupload-rate fast\n"; }
  EXPECT_FALSE(parse({"--config", path.c_str()}, options, error));
  EXPECT_EQ(error, path + ":2: --upload-rate wants a number of uploads per second above 0, not fast");
  { std::ofstream(path) << "frobnicate 1\n"; }
  EXPECT_FALSE(parse({"--config", path.c_str()}, options, error));
  EXPECT_EQ(error, path + ":1: unknown option --frobnicate");
  EXPECT_FALSE(parse({"--config", "/nonexistent/folvi.conf"}, options, error));
  EXPECT_EQ(error, "cannot read the config file /nonexistent/folvi.conf");
  std::remove(path.c_str());
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
