#include "share_server.h"

#include <boost/asio.hpp>
#include <boost/asio/experimental/as_tuple.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <strings.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "html_text.h"
#include "request_log.h"
#include "share_routes.h"
#include "static_pages.h"
#include "tls_context.h"

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using clock_type = std::chrono::steady_clock;
using error_code = boost::system::error_code;

namespace {

constexpr auto as_tuple = net::experimental::as_tuple(net::use_awaitable);
constexpr std::chrono::seconds write_time(30);
constexpr std::chrono::seconds drain_time(8);   // then what is left is closed
constexpr std::chrono::seconds linger_time(2);  // reading what a refused client still sends
constexpr size_t header_limit = 16 * 1024;
constexpr int listen_backlog = 4096;

std::string http_date() {
  thread_local std::time_t cached_second = 0;
  thread_local char text[40];
  std::time_t now = std::time(nullptr);
  if (now != cached_second) {
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    cached_second = now;
  }
  return text;
}

std::string log_safe(std::string_view text, size_t limit = 200) { return printable_ascii(text, limit); }

// A refusal found by the listener itself; the connection ends after it.
http_response refusal(int status, const std::string& reason) {
  http_response response;
  response.status = status;
  response.close = true;
  response.set("Content-Type", "text/plain; charset=utf-8");
  response.set("Cache-Control", "no-store");
  response.body = response.note = "Rejected: " + reason;
  return response;
}

// One open connection as drain() and its deadline see it; touched only on its strand.
struct connection_state {
  explicit connection_state(net::any_io_executor strand) : strand(strand), deadline(strand) {}
  net::any_io_executor strand;
  beast::tcp_stream* stream = nullptr;  // null once the connection has ended
  bool idle = false;                    // waiting for a request that has not begun
  // A deadline for a whole head or body. The stream's own expiry closes the socket; this one
  // only cancels the read, so that the client can still be told why.
  net::steady_timer deadline;
  bool timed_out = false;
};

void start_deadline(const std::shared_ptr<connection_state>& state, std::chrono::seconds limit) {
  state->timed_out = false;
  state->deadline.expires_after(limit);
  state->deadline.async_wait([weak = std::weak_ptr<connection_state>(state)](error_code ec) {
    auto state = weak.lock();
    if (ec || !state || !state->stream) return;
    state->timed_out = true;
    state->stream->cancel();
  });
}

}  // namespace

struct share_server::impl {
  impl(const server_options& options, const package_limits& limits, share_store& store)
      : options(options),
        routes(this->options, limits, store),
        log(options.log_file),
        conversions(static_cast<size_t>(options.conversions)) {}

  const server_options options;
  share_routes routes;
  request_log log;
  net::io_context io;
  net::thread_pool conversions;
  tcp::acceptor acceptor{io};
  std::mutex tls_mutex;
  std::shared_ptr<net::ssl::context> tls;  // new connections take the one loaded last
  std::atomic<bool> draining{false};

  std::mutex connections_mutex;
  std::unordered_map<std::string, int> per_client;
  int open_connections = 0;
  std::unordered_set<std::shared_ptr<connection_state>> connections;

  net::awaitable<void> accept_loop();
  bool admit(const std::string& peer);
  void leave(const std::string& peer, const std::shared_ptr<connection_state>& state);
  net::awaitable<void> serve_connection(tcp::socket socket, std::string peer);
  template <class Stream>
  net::awaitable<void> serve_requests(Stream& stream, beast::tcp_stream& tcp_layer,
                                      const std::shared_ptr<connection_state>& state, const std::string& peer,
                                      bool secure);
  template <class Stream>
  net::awaitable<bool> send(Stream& stream, beast::tcp_stream& tcp_layer, const http_request& request,
                            http_response response, bool secure, clock_type::time_point start);
  std::string client_of(const std::string& peer, const http_request& request) const;
  void log_request(const http_request& request, const http_response& response, clock_type::time_point start);
  void close_all(bool idle_only);
};

bool share_server::impl::admit(const std::string& peer) {
  std::lock_guard<std::mutex> lock(connections_mutex);
  int& mine = per_client[peer];
  if (mine >= options.max_client_connections || open_connections >= options.max_connections) {
    if (mine == 0) per_client.erase(peer);
    return false;
  }
  ++mine;
  ++open_connections;
  return true;
}

void share_server::impl::leave(const std::string& peer, const std::shared_ptr<connection_state>& state) {
  std::lock_guard<std::mutex> lock(connections_mutex);
  if (--per_client[peer] == 0) per_client.erase(peer);
  --open_connections;
  connections.erase(state);
  if (draining && open_connections == 0) io.stop();
}

net::awaitable<void> share_server::impl::accept_loop() {
  for (;;) {
    auto [ec, socket] = co_await acceptor.async_accept(net::make_strand(io), as_tuple);
    if (ec == net::error::operation_aborted || !acceptor.is_open()) co_return;
    if (ec) {
      // Out of descriptors and the like: wait a moment rather than spin.
      net::steady_timer pause(io, std::chrono::milliseconds(50));
      co_await pause.async_wait(as_tuple);
      continue;
    }
    error_code ignored;
    auto remote = socket.remote_endpoint(ignored);
    std::string peer = ignored ? std::string("?") : remote.address().to_string();
    if (!admit(peer)) continue;  // the socket closes as it goes out of scope
    auto executor = socket.get_executor();
    net::co_spawn(executor, serve_connection(std::move(socket), std::move(peer)), net::detached);
  }
}

net::awaitable<void> share_server::impl::serve_connection(tcp::socket socket, std::string peer) {
  auto state = std::make_shared<connection_state>(socket.get_executor());
  {
    std::lock_guard<std::mutex> lock(connections_mutex);
    connections.insert(state);
  }
  socket.set_option(tcp::no_delay(true));
  beast::tcp_stream plain(std::move(socket));
  state->stream = &plain;
  std::shared_ptr<net::ssl::context> context;
  {
    std::lock_guard<std::mutex> lock(tls_mutex);
    context = tls;
  }
  if (!context) {
    co_await serve_requests(plain, plain, state, peer, false);
  } else {
    beast::ssl_stream<beast::tcp_stream&> secure(plain, *context);
    // A client that never says hello is closed at the header deadline, like a silent one.
    plain.expires_after(std::chrono::seconds(options.header_seconds));
    state->idle = true;
    auto [ec] = co_await secure.async_handshake(net::ssl::stream_base::server, as_tuple);
    if (!ec && !draining) co_await serve_requests(secure, plain, state, peer, true);
  }
  error_code ignored;
  plain.socket().close(ignored);
  state->stream = nullptr;
  leave(peer, state);
}

std::string share_server::impl::client_of(const std::string& peer, const http_request& request) const {
  bool trusted = false;
  for (const std::string& proxy : options.trusted_proxies) trusted |= proxy == peer;
  std::string forwarded;
  for (const http_header& h : request.headers)
    if (h.name.size() == 15 && strncasecmp(h.name.c_str(), "X-Forwarded-For", 15) == 0) forwarded = h.value;
  if (!trusted || forwarded.empty()) return peer;
  // The proxy appends the address it saw; what stands before it is the client's own say.
  std::string last = forwarded.substr(forwarded.rfind(',') + 1);
  size_t begin = last.find_first_not_of(" \t"), end = last.find_last_not_of(" \t");
  if (begin == std::string::npos) return peer;
  last = last.substr(begin, end + 1 - begin);
  error_code ec;
  auto address = net::ip::make_address(last, ec);
  return ec ? peer : address.to_string();
}

void share_server::impl::log_request(const http_request& request, const http_response& response,
                                     clock_type::time_point start) {
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - start).count();
  std::string line = log_timestamp(std::chrono::system_clock::now()) + " " + log_safe(request.client, 64) + " \"" +
                     log_safe(request.method, 16) + " " + shorten_share_ids(log_safe(request.path)) + "\" " +
                     std::to_string(response.status) + " " + std::to_string(elapsed) + "ms \"" +
                     log_safe(request.header("User-Agent"), 80) + "\"";
  if (!response.note.empty()) line += " " + shorten_share_ids(log_safe(response.note, 300));
  log.write(line);
}

template <class Stream>
net::awaitable<bool> share_server::impl::send(Stream& stream, beast::tcp_stream& tcp_layer, const http_request& request,
                                              http_response response, bool secure, clock_type::time_point start) {
  share_routes::add_common_headers(response, secure);
  http::response<http::string_body> reply;
  reply.result(static_cast<unsigned>(response.status));
  reply.reason(reason_phrase(response.status));
  reply.set(http::field::date, http_date());
  for (const http_header& h : response.headers) reply.insert(h.name, h.value);
  if (response.close || draining) {
    response.close = true;
    reply.set(http::field::connection, "close");
  }
  reply.keep_alive(!response.close);
  size_t length = response.body.size();
  if (request.method != "HEAD") reply.body() = std::move(response.body);
  reply.content_length(length);
  tcp_layer.expires_after(write_time);
  // Head and body go out in one gather write.
  auto [ec, written] = co_await http::async_write(stream, reply, as_tuple);
  log_request(request, response, start);
  if (ec) co_return false;
  if (response.close) {
    // Read for a moment what the client still sends (an unread body), so that closing does not
    // reset the connection before the client has read the reply.
    error_code ignored;
    tcp_layer.socket().shutdown(tcp::socket::shutdown_send, ignored);
    if constexpr (std::is_same_v<Stream, beast::tcp_stream>) {
      tcp_layer.expires_after(linger_time);
      char sink[16384];
      size_t drained = 0;
      while (drained < (1u << 20)) {
        auto [read_ec, n] = co_await tcp_layer.async_read_some(net::buffer(sink), as_tuple);
        if (read_ec) break;
        drained += n;
      }
    }
    co_return false;
  }
  co_return true;
}

template <class Stream>
net::awaitable<void> share_server::impl::serve_requests(Stream& stream, beast::tcp_stream& tcp_layer,
                                                        const std::shared_ptr<connection_state>& state,
                                                        const std::string& peer, bool secure) {
  beast::flat_buffer buffer;
  for (;;) {
    if (draining) co_return;
    tcp_layer.expires_never();
    start_deadline(state, std::chrono::seconds(options.header_seconds));
    if (buffer.size() == 0) {
      // Idle until the first byte: drain() closes idle connections at once, others get time.
      state->idle = true;
      auto [first_ec, first_n] = co_await stream.async_read_some(buffer.prepare(4096), as_tuple);
      buffer.commit(first_n);
      state->idle = false;
      if (first_ec) {
        state->deadline.cancel();
        co_return;
      }
    }
    http::request_parser<http::empty_body> head;
    head.header_limit(header_limit);
    head.body_limit(boost::none);
    auto [ec, n] = co_await http::async_read_header(stream, buffer, head, as_tuple);
    state->deadline.cancel();
    state->idle = false;
    if (ec == net::error::operation_aborted && state->timed_out) ec = beast::error::timeout;
    auto start = clock_type::now();
    http_request request;
    request.peer = request.client = peer;
    request.tls = secure;
    if (ec) {
      // A request that never began, or a client gone: nothing to answer.
      if (ec == http::error::end_of_stream || ec == net::error::operation_aborted || !head.got_some() ||
          ec == net::ssl::error::stream_truncated || ec == net::error::connection_reset)
        co_return;
      http_response refused = ec == beast::error::timeout ? refusal(408, "the request head did not arrive in time")
                              : ec == http::error::header_limit ? refusal(431, "request head too large")
                                                                : refusal(400, "malformed request: " + ec.message());
      request.method = "-";
      co_await send(stream, tcp_layer, request, std::move(refused), secure, start);
      co_return;
    }
    const auto& message = head.get();
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    request.path = request.target.substr(0, request.target.find('?'));
    for (const auto& field : message)
      request.headers.push_back({std::string(field.name_string()), std::string(field.value())});
    request.client = client_of(peer, request);

    http_response response;
    if (auto early = routes.check_head(request)) {
      response = std::move(*early);
    } else if (share_routes::is_upload(request)) {
      http::request_parser<http::string_body> whole(std::move(head));
      whole.body_limit(options.max_body);
      start_deadline(state, std::chrono::seconds(options.body_seconds));
      auto [body_ec, body_n] = co_await http::async_read(stream, buffer, whole, as_tuple);
      state->deadline.cancel();
      if (body_ec == net::error::operation_aborted && state->timed_out) body_ec = beast::error::timeout;
      if (body_ec == http::error::partial_message || body_ec == http::error::end_of_stream) {
        response = refusal(400, "the body ended before its Content-Length");
      } else if (body_ec == beast::error::timeout) {
        response = refusal(408, "the body did not arrive in time");
      } else if (body_ec) {
        co_return;
      } else {
        request.body = std::move(whole.get().body());
        // Unpacking and converting run on the conversion pool, a few at a time.
        response = co_await net::co_spawn(
            conversions, [this, &request]() -> net::awaitable<http_response> { co_return routes.respond(request); },
            net::use_awaitable);
      }
    } else {
      response = routes.respond(request);
      // A body nobody reads must not be taken for the next request.
      if (message.chunked() || (head.content_length() && *head.content_length() > 0)) response.close = true;
    }
    if (!message.keep_alive()) response.close = true;
    if (!co_await send(stream, tcp_layer, request, std::move(response), secure, start)) co_return;
  }
}

void share_server::impl::close_all(bool idle_only) {
  std::vector<std::shared_ptr<connection_state>> open;
  {
    std::lock_guard<std::mutex> lock(connections_mutex);
    open.assign(connections.begin(), connections.end());
  }
  for (auto& state : open)
    net::post(state->strand, [state, idle_only] {
      if (state->stream && (!idle_only || state->idle)) state->stream->cancel();
    });
}

share_server::share_server(const server_options& options, const package_limits& limits, share_store& store)
    : impl_(std::make_unique<impl>(options, limits, store)) {}

share_server::~share_server() { impl_->conversions.join(); }

int share_server::bind(std::string& error) {
  const server_options& options = impl_->options;
  if (!impl_->log.open(error)) return -1;
  if (!options.cert_file.empty()) {
    impl_->tls = make_tls_context(options.cert_file, options.key_file, error);
    if (!impl_->tls) return -1;
  }
  error_code ec;
  auto address = net::ip::make_address(options.address, ec);
  tcp::endpoint endpoint(address, static_cast<unsigned short>(options.port));
  tcp::acceptor& acceptor = impl_->acceptor;
  if (!ec) acceptor.open(endpoint.protocol(), ec);
  if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec) acceptor.bind(endpoint, ec);
  if (!ec) acceptor.listen(listen_backlog, ec);
  if (ec) {
    error = "could not listen on " + options.address + ":" + std::to_string(options.port) + ": " + ec.message();
    return -1;
  }
  int port = acceptor.local_endpoint().port();
  impl_->routes.set_link_host(link_host(options, port));
  return port;
}

void share_server::run() {
  net::co_spawn(impl_->io, impl_->accept_loop(), net::detached);
  std::vector<std::thread> helpers;
  for (int i = 1; i < impl_->options.threads; ++i) helpers.emplace_back([this] { impl_->io.run(); });
  impl_->io.run();
  for (std::thread& helper : helpers) helper.join();
}

void share_server::drain() {
  if (impl_->draining.exchange(true)) return;
  net::post(impl_->io, [this] {
    error_code ignored;
    impl_->acceptor.close(ignored);
    {
      std::lock_guard<std::mutex> lock(impl_->connections_mutex);
      if (impl_->open_connections == 0) return impl_->io.stop();
    }
    impl_->close_all(true);
    auto grace = std::make_shared<net::steady_timer>(impl_->io, drain_time);
    grace->async_wait([this, grace](error_code) {
      impl_->close_all(false);
      // Whatever still holds on (an upload being converted) is given up with the process.
      auto last = std::make_shared<net::steady_timer>(impl_->io, std::chrono::seconds(1));
      last->async_wait([this, last](error_code) { impl_->io.stop(); });
    });
  });
}

bool share_server::reload(std::string& error) {
  if (!impl_->log.reopen(error)) return false;
  const server_options& options = impl_->options;
  if (options.cert_file.empty()) return true;
  auto context = make_tls_context(options.cert_file, options.key_file, error);
  if (!context) return false;
  std::lock_guard<std::mutex> lock(impl_->tls_mutex);
  impl_->tls = std::move(context);
  return true;
}
