// Command line of folvi-share.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct server_options {
  std::string address = "127.0.0.1";
  int port = 8443;                          // 0 picks a free port
  std::string port_file;                    // receives the port actually bound
  std::string database = "folvi-share.db";  // a file name, or a postgresql:// address
  std::string backup_file;                  // set: copy the database there instead of serving
  std::string cert_file;                    // both set: TLS; both empty: plain HTTP
  std::string key_file;
  std::string host;  // written into links; empty: "localhost" and the port unless 443
  uint64_t max_body = 16u << 20;
  std::string log_file;                      // empty: standard error
  std::vector<std::string> trusted_proxies;  // peers whose X-Forwarded-For names the client
  double upload_rate = 1;                    // uploads per second per client, refilled into
  double upload_burst = 20;                  // a bucket of this many
  int max_client_connections = 64;           // open connections per client address
  int max_connections = 10000;
  int header_seconds = 10;         // a request's head must arrive within this
  int body_seconds = 60;           // and its body within this after the head
  int conversions = 2;             // uploads unpacked and converted at once
  int threads = 2;                 // network threads
  bool learn_synthetic = false;    // the model learns from the test generator's reports, not real ones
  int model_refresh_seconds = 30;  // looks for reports other servers stored
  bool help = false;
};

extern const char server_usage[];

bool parse_server_options(int argc, const char* const* argv, server_options& options, std::string& error);

// "1048576", "512K", "16M", "1G" (binary multiples); nullopt when malformed, 0 or beyond 64 bits.
std::optional<uint64_t> parse_size(std::string_view text);

// The host part of links for this listening port.
std::string link_host(const server_options& options, int bound_port);
