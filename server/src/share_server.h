// The HTTP(S) side of folvi-share: routes, upload handling, request log. Only share_server.cpp
// sees cpp-httplib.
#pragma once
#include <memory>
#include <string>

#include "package_rules.h"
#include "server_options.h"
#include "share_store.h"

class share_server {
 public:
  share_server(const server_options& options, const package_limits& limits, share_store& store);
  ~share_server();
  share_server(const share_server&) = delete;
  share_server& operator=(const share_server&) = delete;

  // Loads the certificate (with TLS) and binds the listening socket; returns the port or -1.
  int bind(std::string& error);
  // Serves until stop(); requests in progress are finished first.
  bool run();
  // Safe to call from another thread.
  void stop();

 private:
  struct impl;
  std::unique_ptr<impl> impl_;
};
