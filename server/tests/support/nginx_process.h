// Debian's nginx with the deployment's site, started for a test on loopback ports with its
// own prefix, temporary folders and logs in a fresh folder, and stopped by its pid.
#pragma once
#include <sys/types.h>

#include <string>

#include "temp_folder.h"

class nginx_process {
 public:
  // The site file is rewritten to listen on free loopback ports, to use the test CA's
  // certificate and to proxy to `upstream_port`.
  nginx_process(const std::string& site_file, int upstream_port);
  ~nginx_process();
  nginx_process(const nginx_process&) = delete;
  nginx_process& operator=(const nginx_process&) = delete;

  int https_port() const { return https_port_; }
  int http_port() const { return http_port_; }
  std::string error_log() const;

 private:
  void start(const std::string& site);
  temp_folder folder_;
  pid_t pid_ = -1;
  int https_port_ = 0;
  int http_port_ = 0;
};
