// Command line of folvi-share.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct server_options {
  std::string address = "127.0.0.1";
  int port = 8443;            // 0 picks a free port
  std::string port_file;      // receives the port actually bound
  std::string database = "folvi-share.db";  // a file name, or a postgresql:// address
  std::string backup_file;    // set: copy the database there instead of serving
  std::string cert_file;      // both set: TLS; both empty: plain HTTP
  std::string key_file;
  std::string host;           // written into links; empty: "localhost" and the port unless 443
  uint64_t max_body = 16u << 20;
  bool help = false;
};

extern const char server_usage[];

bool parse_server_options(int argc, const char* const* argv, server_options& options, std::string& error);

// "1048576", "512K", "16M", "1G" (binary multiples); nullopt when malformed or 0.
std::optional<uint64_t> parse_size(std::string_view text);

// The host part of links for this listening port.
std::string link_host(const server_options& options, int bound_port);
