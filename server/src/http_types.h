// A request as the site's routes see it and the reply they make, apart from the HTTP library.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct http_header {
  std::string name;
  std::string value;
};

struct http_request {
  std::string method;
  std::string target;  // as sent
  std::string path;    // the target up to '?'
  std::vector<http_header> headers;
  std::string body;
  std::string peer;    // the socket's peer address
  std::string client;  // the peer, or the address a trusted proxy forwarded for
  bool tls = false;

  // The first header of that name (case-insensitive), or empty; and how many there are.
  std::string header(std::string_view name) const;
  size_t header_count(std::string_view name) const;
  bool has_header(std::string_view name) const { return header_count(name) > 0; }
};

struct http_response {
  int status = 200;
  std::vector<http_header> headers;
  std::string body;
  bool close = false;  // the connection ends after this reply
  std::string note;    // written after the status in the request log

  void set(std::string name, std::string value) { headers.push_back({std::move(name), std::move(value)}); }
};
