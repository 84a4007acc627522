#include "share_routes.h"

#include <ctime>

#include "form_body.h"
#include "html_text.h"
#include "predictions_page.h"
#include "share_id.h"
#include "share_page.h"
#include "static_pages.h"
#include "strategy_api.h"
#include "upload_form.h"

namespace {

// A short text reply; never compressed: the client reads raw bytes.
http_response text_reply(int status, std::string text, bool close) {
  http_response response;
  response.status = status;
  response.close = close;
  response.set("Content-Type", "text/plain; charset=utf-8");
  response.set("Cache-Control", "no-store");
  response.body = std::move(text);
  return response;
}

// The connection ends after a refusal, so that an unread body is never taken for a request.
http_response reject(int status, const std::string& reason) {
  http_response response = text_reply(status, "Rejected: " + reason, true);
  response.note = response.body;
  return response;
}

http_response html_reply(int status, std::string html) {
  http_response response;
  response.status = status;
  response.set("Content-Type", "text/html; charset=utf-8");
  response.body = std::move(html);
  return response;
}

http_response not_found() { return html_reply(404, not_found_html()); }

// The answers change with every model build: never kept by a cache.
http_response json_reply(int status, std::string json, const model_snapshot& snapshot) {
  http_response response;
  response.status = status;
  response.set("Content-Type", "application/json");
  response.set("Cache-Control", "no-store");
  if (snapshot.synthetic) response.set("X-Folvi-Data", "synthetic");
  response.body = std::move(json);
  return response;
}

std::optional<uint64_t> parse_content_length(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

}  // namespace

const char* reason_phrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return status < 500 ? "Request Refused" : "Server Error";
  }
}

share_routes::share_routes(const server_options& options, const package_limits& limits, share_store& store)
    : options_(options),
      limits_(limits),
      store_(store),
      uploads_(options.upload_rate, options.upload_burst),
      model_(store, options.learn_synthetic, options.model_refresh_seconds) {}

void share_routes::add_common_headers(http_response& response, bool tls) {
  response.set("Content-Security-Policy", content_security_policy);
  response.set("X-Content-Type-Options", "nosniff");
  response.set("Referrer-Policy", "no-referrer");
  response.set("X-Frame-Options", "DENY");
  response.set("Cross-Origin-Resource-Policy", "same-origin");
  if (tls) response.set("Strict-Transport-Security", "max-age=31536000");
}

std::optional<http_response> share_routes::check_head(const http_request& head) {
  if (!is_upload(head)) return std::nullopt;
  if (head.has_header("Transfer-Encoding")) return reject(411, "a Content-Length is required");
  std::string encoding = head.header("Content-Encoding");
  if (!encoding.empty() && encoding != "identity") return reject(415, "compressed request bodies are not accepted");
  size_t lengths = head.header_count("Content-Length");
  if (lengths == 0) return reject(411, "a Content-Length is required");
  // Two lengths may be read differently by a proxy in front: the request is not taken at all.
  if (lengths > 1) return reject(400, "more than one Content-Length");
  auto length = parse_content_length(head.header("Content-Length"));
  if (!length) return reject(400, "malformed Content-Length");
  // Refused on the declaration alone: the body is never read.
  if (*length > options_.max_body)
    return reject(413, "upload larger than " + std::to_string(options_.max_body) + " bytes");
  if (form_boundary(head.header("Content-Type")).empty())
    return reject(415, "expected a multipart/form-data body with a boundary");
  if (int wait = uploads_.take(head.client)) {
    http_response refused = reject(429, "too many uploads from this address; try again later");
    refused.set("Retry-After", std::to_string(wait));
    return refused;
  }
  return std::nullopt;
}

http_response share_routes::upload(const http_request& request) {
  upload_form form(options_.max_body);
  std::string error;
  if (!read_form_body(request.body, form_boundary(request.header("Content-Type")), form, error))
    return reject(400, error);
  std::string type, package;
  if (!form.take_fields(type, package)) return reject(400, form.error());
  new_share share;
  if (!unpack_package(type, package, limits_, share.contents, error)) return reject(400, error);
  share.id = new_share_id();
  share.received_at = static_cast<int64_t>(std::time(nullptr));
  share.client_address = request.client;
  share.user_agent = request.header("User-Agent").substr(0, 256);
  share.package = std::move(package);
  if (!store_.insert(share, error)) {
    http_response failed = text_reply(500, "Rejected: the server could not store the share", true);
    failed.note = "store failed: " + error;
    return failed;
  }
  model_.runs_added();
  if (share.contents.kind == "report") {
    http_response stored = text_reply(200, "OK", false);
    stored.note = "stored report " + share.id;
    return stored;
  }
  http_response stored = text_reply(200, "OK\r\nhttps://" + host_ + "/s/" + share.id, false);
  stored.note = "stored screenshot " + share.id;
  return stored;
}

http_response share_routes::share_page(const std::string& id) {
  // A page shows the model's recommendation too: each model build renders it anew.
  auto model = model_.current();
  std::string key = id + "#" + std::to_string(model->generation);
  auto html = pages_.find(key);
  if (!html) {
    auto share = store_.find_share(id);
    // Report shares are for the project only: they have no page.
    if (!share || share->kind != "screenshot") return not_found();
    html =
        std::make_shared<const std::string>(share_page_html(id, *share, similar_devices_html(share->report, *model)));
    pages_.insert(key, html);
  }
  http_response page = html_reply(200, *html);
  page.set("Cache-Control", "public, max-age=300");
  return page;
}

http_response share_routes::image(const std::string& id, const std::string& name) {
  auto png = store_.find_png(id, name);
  if (!png) return not_found();
  http_response response;
  response.set("Content-Type", "image/png");
  response.set("Cache-Control", "public, max-age=31536000, immutable");
  response.body = std::move(*png);
  return response;
}

http_response share_routes::predict(const http_request& request) {
  auto snapshot = model_.current();
  size_t question_mark = request.target.find('?');
  std::string_view query = question_mark == std::string::npos
                               ? std::string_view()
                               : std::string_view(request.target).substr(question_mark + 1);
  predict_question question;
  std::string reason;
  if (!parse_predict_query(query, question, reason)) return json_reply(400, reason_json(reason), *snapshot);
  auto answer = snapshot->model.predict(question.which, question.device);
  if (!answer) return json_reply(404, reason_json("no observations yet"), *snapshot);
  return json_reply(200, prediction_json(question.which, *answer), *snapshot);
}

http_response share_routes::evaluation() {
  auto snapshot = model_.current();
  return json_reply(200, evaluation_json(*snapshot), *snapshot);
}

http_response share_routes::health() {
  if (!store_.healthy()) return text_reply(503, "database unavailable", false);
  return text_reply(200, "ok", false);
}

http_response share_routes::respond(const http_request& request) {
  const std::string& path = request.path;
  bool get = request.method == "GET" || request.method == "HEAD";
  if (path == "/upload") {
    if (request.method == "POST") return upload(request);
    http_response response = text_reply(405, "Uploads are POSTed here.", false);
    response.set("Allow", "POST");
    return response;
  }
  if (!get) {
    http_response response = html_reply(405, error_html(405, reason_phrase(405)));
    response.set("Allow", "GET, HEAD");
    return response;
  }
  if (path == "/") {
    http_response response;
    response.status = 302;
    response.set("Location", "/app/homepage");
    return response;
  }
  if (path == "/app/homepage") return html_reply(200, homepage_html());
  if (path == "/app/methodology") return html_reply(200, methodology_html());
  if (path == "/app/predictions") return html_reply(200, predictions_page_html(*model_.current()));
  if (path == "/api/v1/predict") return predict(request);
  if (path == "/api/v1/evaluation") return evaluation();
  if (path == "/app/style.css") {
    http_response response;
    response.set("Content-Type", "text/css; charset=utf-8");
    response.set("Cache-Control", "public, max-age=3600");
    response.body = style_css;
    return response;
  }
  if (path == "/healthz") return health();
  if (path.rfind("/s/", 0) == 0) {
    std::string_view rest = std::string_view(path).substr(3);
    std::string_view id = rest.substr(0, share_id_length);
    if (!is_share_id(id)) return not_found();
    if (rest.size() == share_id_length) return share_page(std::string(id));
    std::string_view file = rest.substr(share_id_length);
    for (const char* name : {"screenshot", "read_graph", "write_graph"})
      if (file == "/" + std::string(name) + ".png") return image(std::string(id), name);
  }
  return not_found();
}
