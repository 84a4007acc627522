// The site: which request gets which reply. Requests come in two steps: the head alone (an
// upload may be refused before its body is read), then the whole request.
#pragma once
#include <optional>
#include <string>

#include "http_types.h"
#include "model_keeper.h"
#include "package_rules.h"
#include "page_cache.h"
#include "server_options.h"
#include "share_store.h"
#include "token_bucket.h"

class share_routes {
 public:
  share_routes(const server_options& options, const package_limits& limits, share_store& store);

  void set_link_host(std::string host) { host_ = std::move(host); }
  // True for the requests whose body is read and handled away from the network threads.
  static bool is_upload(const http_request& head) { return head.method == "POST" && head.path == "/upload"; }
  // A refusal made on the head alone, or nothing.
  std::optional<http_response> check_head(const http_request& head);
  // The reply to a whole request; HEAD is answered as GET (the caller drops the body).
  http_response respond(const http_request& request);
  // Headers every reply carries.
  static void add_common_headers(http_response& response, bool tls);

 private:
  http_response upload(const http_request& request);
  http_response share_page(const std::string& id);
  http_response image(const std::string& id, const std::string& name);
  http_response health();
  http_response predict(const http_request& request);
  http_response evaluation();

  const server_options& options_;
  const package_limits limits_;
  share_store& store_;
  token_bucket uploads_;
  page_cache pages_{32u << 20};
  model_keeper model_;
  std::string host_;
};

// The reason phrase sent with a status.
const char* reason_phrase(int status);
