#include "nginx_process.h"

#include "child_process.h"
#include "golden.h"
#include "http_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace {

// Every line the test changes must be in the site as shipped: a site that drifts fails here.
void replace_once(std::string& text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("the nginx site has no line \"" + from + "\"");
  text.replace(at, from.size(), to);
}

int free_port() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return ntohs(address.sin_port);
}

bool accepts(int port) {
  try {
    http_connection connection(port);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace

nginx_process::nginx_process(const std::string& site_file, int upstream_port)
    : folder_("/tmp/folvi-nginx-test.XXXXXX") {
  https_port_ = free_port();
  http_port_ = free_port();
  std::string ca = TEST_CA_DIR;
  std::string site = file_text(site_file);
  replace_once(site, "server 127.0.0.1:8080;", "server 127.0.0.1:" + std::to_string(upstream_port) + ";");
  replace_once(site, "listen 80;", "listen 127.0.0.1:" + std::to_string(http_port_) + ";");
  replace_once(site, "listen [::]:80;", "");
  replace_once(site, "listen 443 ssl http2;", "listen 127.0.0.1:" + std::to_string(https_port_) + " ssl http2;");
  replace_once(site, "listen [::]:443 ssl http2;", "");
  replace_once(site, "/etc/letsencrypt/live/share.example.org/fullchain.pem", ca + "/server.pem");
  replace_once(site, "/etc/letsencrypt/live/share.example.org/privkey.pem", ca + "/server.key");
  start(site);
}

void nginx_process::start(const std::string& site) {
  std::ofstream(folder_.path + "/site.conf") << site;
  // The main file (data/nginx.conf.in) keeps everything nginx writes in the test's folder.
  std::string main = test_data_text("nginx.conf.in");
  for (size_t at; (at = main.find("@FOLDER@")) != std::string::npos;) main.replace(at, 8, folder_.path);
  replace_once(main, "@USER@", getuid() == 0 ? "user root;\n" : "");
  std::ofstream(folder_.path + "/nginx.conf") << main;
  pid_ = start_program({"/usr/sbin/nginx", "-p", folder_.path, "-c", folder_.path + "/nginx.conf", "-g", "daemon off;"},
                       "", "");
  if (child_ready(pid_, [this] { return accepts(https_port_) && accepts(http_port_); })) return;
  end_child(pid_, SIGTERM);
  throw std::runtime_error("nginx did not start or does not listen:\n" + error_log());
}

// Our child is the master; it takes its workers with it.
nginx_process::~nginx_process() { end_child(pid_, SIGTERM); }

std::string nginx_process::error_log() const { return file_text(folder_.path + "/error.log"); }
