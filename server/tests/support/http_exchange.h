// A plain-HTTP client on raw sockets: the tests decide every byte that goes out.
#pragma once
#include <map>
#include <optional>
#include <string>

struct http_reply {
  int status = 0;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::string header(const std::string& name) const;
};

class http_connection {
 public:
  // From `source` (a loopback address such as 127.0.0.2) when given.
  explicit http_connection(int port, const char* source = nullptr);
  ~http_connection();
  http_connection(const http_connection&) = delete;
  http_connection& operator=(const http_connection&) = delete;

  bool send(const std::string& bytes);
  void finish_sending();  // half-close: the server sees the end of the request
  // One reply; nullopt when the connection ends first.
  std::optional<http_reply> receive();
  // True when the server has closed its side (nothing more to read).
  bool closed_by_server();

 private:
  bool fill();
  int socket_ = -1;
  std::string buffer_;
};

// One request on a fresh connection.
std::optional<http_reply> http_exchange(int port, const std::string& request);
std::optional<http_reply> http_get(int port, const std::string& path);
// The status of a reply, or 0 when none came.
inline int status_of(const std::optional<http_reply>& reply) { return reply ? reply->status : 0; }
