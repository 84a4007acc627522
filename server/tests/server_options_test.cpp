#include <gtest/gtest.h>

#include "server_options.h"

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
  for (std::vector<const char*> arguments : std::vector<std::vector<const char*>>{
           {"--listen", "8443"}, {"--listen", "127.0.0.1:65536"}, {"--listen", ":80"}, {"--listen", "[::1]8443"},
           {"--max-body", "0"}, {"--max-body", "12X"}, {"--max-body", "-1"}, {"--cert", "c.pem"},
           {"--host", "a/b"}, {"--db"}, {"--frobnicate", "1"}, {"stray"}}) {
    server_options options;
    std::string error;
    EXPECT_FALSE(parse(arguments, options, error)) << arguments[0];
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(parse_size("1G"), 1u << 30);
  EXPECT_EQ(parse_size("1048576"), 1u << 20);
}
