#include "http_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

std::string http_reply::header(const std::string& name) const {
  auto found = headers.find(name);
  return found == headers.end() ? std::string() : found->second;
}

http_connection::http_connection(int port, const char* source) {
  socket_ = socket(AF_INET, SOCK_STREAM, 0);
  if (socket_ < 0) throw std::runtime_error("socket failed");
  timeval timeout{30, 0};  // a server that hangs fails the test instead of hanging it
  setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  if (source) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source, &local.sin_addr);
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
      throw std::runtime_error("bind to the source address failed");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("connect failed");
}

http_connection::~http_connection() {
  if (socket_ >= 0) close(socket_);
}

bool http_connection::send(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void http_connection::finish_sending() { shutdown(socket_, SHUT_WR); }

bool http_connection::fill() {
  char chunk[65536];
  ssize_t n = recv(socket_, chunk, sizeof chunk, 0);
  if (n <= 0) return false;
  buffer_.append(chunk, static_cast<size_t>(n));
  return true;
}

bool http_connection::closed_by_server() { return buffer_.empty() && !fill(); }

std::optional<http_reply> http_connection::receive() {
  size_t end;
  while ((end = buffer_.find("\r\n\r\n")) == std::string::npos)
    if (!fill()) return std::nullopt;
  http_reply reply;
  std::string head = buffer_.substr(0, end + 2);
  buffer_.erase(0, end + 4);
  size_t line_end = head.find("\r\n");
  std::string status_line = head.substr(0, line_end);
  if (status_line.rfind("HTTP/1.1 ", 0) != 0) return std::nullopt;
  reply.status = std::stoi(status_line.substr(9, 3));
  for (size_t at = line_end + 2; at < head.size();) {
    size_t next = head.find("\r\n", at);
    std::string line = head.substr(at, next - at);
    at = next + 2;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t value_at = line.find_first_not_of(' ', colon + 1);
    reply.headers[name] = value_at == std::string::npos ? std::string() : line.substr(value_at);
  }
  size_t length = std::stoul(reply.header("content-length").empty() ? "0" : reply.header("content-length"));
  while (buffer_.size() < length)
    if (!fill()) return std::nullopt;
  reply.body = buffer_.substr(0, length);
  buffer_.erase(0, length);
  return reply;
}

std::optional<http_reply> http_exchange(int port, const std::string& request) {
  http_connection connection(port);
  if (!connection.send(request)) return std::nullopt;
  return connection.receive();
}

std::optional<http_reply> http_get(int port, const std::string& path) {
  return http_exchange(port, "GET " + path + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
}
