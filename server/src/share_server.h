// The HTTP(S) side of folvi-share: an event-driven listener on Boost.Beast and Asio. Waiting
// connections cost a buffer, not a thread: requests are read and written by a few network
// threads, and uploads are unpacked on a small pool of their own. Only share_server.cpp sees
// Beast and Asio.
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

  // Opens the log, loads the certificate (with TLS) and binds the listening socket; returns
  // the port or -1.
  int bind(std::string& error);
  // Serves until drain() has finished.
  void run();
  // Safe to call from another thread. Stops accepting, closes idle connections, lets the
  // requests in flight finish and closes what is still open after the grace period.
  void drain();
  // Reopens the log and loads the certificate again; false (the old ones kept) on failure.
  bool reload(std::string& error);

 private:
  struct impl;
  std::unique_ptr<impl> impl_;
};
