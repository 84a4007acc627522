#include "share_server.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "html_text.h"
#include "share_id.h"
#include "share_page.h"
#include "static_pages.h"
#include "upload_form.h"

namespace {

using clock_type = std::chrono::steady_clock;

// What the request log needs to know beyond the request and the reply; one request runs on
// one worker thread from routing to logging.
struct request_note {
  clock_type::time_point start{};
  std::string note;      // logged after the status
  bool replied = false;  // the handler wrote the whole reply; the error page stays out
};
thread_local request_note current_request;

// Unpacking holds a package and its images in memory; a few at a time are plenty.
class unpack_gate {
 public:
  explicit unpack_gate(int slots) : free_(slots) {}
  void enter() {
    std::unique_lock<std::mutex> lock(mutex_);
    wakeup_.wait(lock, [this] { return free_ > 0; });
    --free_;
  }
  void leave() {
    { std::lock_guard<std::mutex> lock(mutex_); ++free_; }
    wakeup_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wakeup_;
  int free_;
};

struct gate_pass {
  explicit gate_pass(unpack_gate& gate) : gate_(gate) { gate_.enter(); }
  ~gate_pass() { gate_.leave(); }
  unpack_gate& gate_;
};

std::string log_safe(const std::string& text, size_t limit = 200) { return printable_ascii(text, limit); }

std::optional<uint64_t> parse_content_length(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

// The boundary parameter of a multipart/form-data content type, or empty.
std::string form_boundary(const std::string& content_type) {
  if (content_type.rfind("multipart/form-data", 0) != 0) return std::string();
  size_t at = content_type.find("boundary=");
  if (at == std::string::npos) return std::string();
  std::string boundary = content_type.substr(at + 9);
  boundary = boundary.substr(0, boundary.find(';'));
  if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"')
    boundary = boundary.substr(1, boundary.size() - 2);
  return boundary;
}

// A short text reply. With `close` the connection ends after it, so that an unread request
// body is never taken for the next request (the reply is complete; returning false from the
// provider is how cpp-httplib is told to close). Never compressed: the client reads raw bytes.
void send_text(httplib::Response& res, int status, std::string text, bool close) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  if (close) res.set_header("Connection", "close");
  auto body = std::make_shared<std::string>(std::move(text));
  res.set_content_provider(body->size(), "text/plain; charset=utf-8",
                           [body, close](size_t offset, size_t length, httplib::DataSink& sink) {
                             sink.write(body->data() + offset, length);
                             return !close;
                           });
  current_request.replied = true;
}

void reject(httplib::Response& res, int status, const std::string& reason) {
  current_request.note = "Rejected: " + reason;
  send_text(res, status, current_request.note, true);
}

void send_html(httplib::Response& res, int status, const std::string& html) {
  res.status = status;
  res.set_content(html, "text/html; charset=utf-8");
  current_request.replied = true;
}

const char* reason_phrase(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 415: return "Unsupported Media Type";
    case 416: return "Range Not Satisfiable";
    default: return status < 500 ? "Request Refused" : "Server Error";
  }
}

std::string utc_timestamp() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

}  // namespace

struct share_server::impl {
  impl(const server_options& options, const package_limits& limits, share_store& store)
      : options(options), limits(limits), store(store), gate(2) {}

  const server_options options;
  const package_limits limits;
  share_store& store;
  unpack_gate gate;
  std::unique_ptr<httplib::Server> http;
  std::string host;  // written into links

  void install_routes();
  void handle_upload(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader);
  void handle_share_page(const httplib::Request& req, httplib::Response& res);
  void handle_image(const httplib::Request& req, httplib::Response& res);
  void log_request(const httplib::Request& req, const httplib::Response& res);
};

void share_server::impl::handle_upload(const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& reader) {
  if (req.has_header("Transfer-Encoding")) return reject(res, 411, "a Content-Length is required");
  std::string encoding = req.get_header_value("Content-Encoding");
  if (!encoding.empty() && encoding != "identity") return reject(res, 415, "compressed request bodies are not accepted");
  if (!req.has_header("Content-Length")) return reject(res, 411, "a Content-Length is required");
  auto length = parse_content_length(req.get_header_value("Content-Length"));
  if (!length) return reject(res, 400, "malformed Content-Length");
  // Refused on the declaration alone: the body is never read.
  if (*length > options.max_body)
    return reject(res, 413, "upload larger than " + std::to_string(options.max_body) + " bytes");
  std::string boundary = form_boundary(req.get_header_value("Content-Type"));
  if (boundary.empty()) return reject(res, 415, "expected a multipart/form-data body with a boundary");

  upload_form form(options.max_body);
  // The client sends no closing "--" delimiter, so the reader answers false (and sets 400) even
  // for a whole body; a standard body with the closing delimiter makes it answer true.
  bool closed_properly = reader(
      [&](const httplib::MultipartFormData& part) { return form.begin_part(part.name, part.filename, part.content_type); },
      [&](const char* data, size_t size) { return form.add_content(data, size); });
  if (!form.error().empty()) return reject(res, 400, form.error());
  // Without the closing delimiter the body must be exactly the client's layout of what arrived;
  // a body cut short leaves its last part short (the reader holds back a delimiter's length).
  if (!closed_properly && form.client_layout_size(boundary) != *length)
    return reject(res, 400, "form data incomplete or malformed");
  std::string type, package;
  if (!form.take_fields(type, package)) return reject(res, 400, form.error());

  new_share share;
  std::string error;
  {
    gate_pass pass(gate);
    if (!unpack_package(type, package, limits, share.contents, error)) return reject(res, 400, error);
  }
  share.id = new_share_id();
  share.received_at = static_cast<int64_t>(std::time(nullptr));
  share.client_address = req.remote_addr;
  share.user_agent = req.get_header_value("User-Agent").substr(0, 256);
  share.package = std::move(package);
  if (!store.insert(share, error)) {
    current_request.note = "store failed: " + error;
    return send_text(res, 500, "Rejected: the server could not store the share", true);
  }
  if (share.contents.kind == "report") {
    current_request.note = "stored report " + share.id;
    return send_text(res, 200, "OK", false);
  }
  std::string link = "https://" + host + "/s/" + share.id;
  current_request.note = "stored screenshot " + share.id;
  send_text(res, 200, "OK\r\n" + link, false);
}

void share_server::impl::handle_share_page(const httplib::Request& req, httplib::Response& res) {
  std::string id = req.matches[1];
  auto share = store.find_share(id);
  // Report shares are for the project only: they have no page.
  if (!share || share->kind != "screenshot") return send_html(res, 404, not_found_html());
  res.set_header("Cache-Control", "public, max-age=300");
  send_html(res, 200, share_page_html(id, *share));
}

void share_server::impl::handle_image(const httplib::Request& req, httplib::Response& res) {
  auto png = store.find_png(req.matches[1], req.matches[2]);
  if (!png) return send_html(res, 404, not_found_html());
  res.set_header("Cache-Control", "public, max-age=31536000, immutable");
  res.status = 200;
  res.set_content(std::move(*png), "image/png");
  current_request.replied = true;
}

void share_server::impl::log_request(const httplib::Request& req, const httplib::Response& res) {
  long long elapsed = current_request.start == clock_type::time_point{}
                          ? -1
                          : std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - current_request.start).count();
  std::string line = utc_timestamp() + " " + log_safe(req.remote_addr) + " \"" + log_safe(req.method, 16) + " " +
                     log_safe(req.path) + "\" " + std::to_string(res.status) + " " + std::to_string(elapsed) + "ms \"" +
                     log_safe(req.get_header_value("User-Agent"), 80) + "\"";
  if (!current_request.note.empty()) line += " " + log_safe(current_request.note, 300);
  line += "\n";
  std::fputs(line.c_str(), stderr);  // one call per line keeps lines whole across threads
  std::fflush(stderr);
  current_request = request_note{};
}

void share_server::impl::install_routes() {
  httplib::Server& s = *http;
  s.set_payload_max_length(options.max_body);
  s.set_keep_alive_timeout(2);
  s.set_default_headers({{"Content-Security-Policy", content_security_policy},
                         {"X-Content-Type-Options", "nosniff"},
                         {"Referrer-Policy", "no-referrer"},
                         {"X-Frame-Options", "DENY"},
                         {"Cross-Origin-Resource-Policy", "same-origin"}});
  s.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    current_request = request_note{};
    current_request.start = clock_type::now();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  s.set_logger([this](const httplib::Request& req, const httplib::Response& res) { log_request(req, res); });
  s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (current_request.replied) return;
    if (res.status == 404)
      res.set_content(not_found_html(), "text/html; charset=utf-8");
    else
      res.set_content(error_html(res.status, reason_phrase(res.status)), "text/html; charset=utf-8");
  });

  s.Post("/upload", [this](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
    handle_upload(req, res, reader);
  });
  s.Get("/upload", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Allow", "POST");
    send_text(res, 405, "Uploads are POSTed here.", false);
  });
  s.Get(R"(/s/([A-Za-z0-9_-]{22}))", [this](const httplib::Request& req, httplib::Response& res) {
    handle_share_page(req, res);
  });
  s.Get(R"(/s/([A-Za-z0-9_-]{22})/(screenshot|read_graph|write_graph)\.png)",
        [this](const httplib::Request& req, httplib::Response& res) { handle_image(req, res); });
  s.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/app/homepage"); });
  s.Get("/app/homepage", [](const httplib::Request&, httplib::Response& res) { send_html(res, 200, homepage_html()); });
  s.Get("/app/methodology",
        [](const httplib::Request&, httplib::Response& res) { send_html(res, 200, methodology_html()); });
  s.Get("/app/style.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "public, max-age=3600");
    res.set_content(style_css, "text/css; charset=utf-8");
    current_request.replied = true;
  });
}

share_server::share_server(const server_options& options, const package_limits& limits, share_store& store)
    : impl_(std::make_unique<impl>(options, limits, store)) {}

share_server::~share_server() = default;

int share_server::bind(std::string& error) {
  const server_options& options = impl_->options;
  if (!options.cert_file.empty()) {
    auto tls = std::make_unique<httplib::SSLServer>(options.cert_file.c_str(), options.key_file.c_str());
    if (!tls->is_valid()) {
      error = "could not load the certificate " + options.cert_file + " with the key " + options.key_file;
      return -1;
    }
    impl_->http = std::move(tls);
  } else {
    impl_->http = std::make_unique<httplib::Server>();
  }
  impl_->install_routes();
  int port = options.port;
  if (port == 0)
    port = impl_->http->bind_to_any_port(options.address);
  else if (!impl_->http->bind_to_port(options.address, port))
    port = -1;
  if (port < 0) {
    error = "could not listen on " + options.address + ":" + std::to_string(options.port);
    return -1;
  }
  impl_->host = link_host(options, port);
  return port;
}

bool share_server::run() { return impl_->http->listen_after_bind(); }

void share_server::stop() { impl_->http->stop(); }
