// Running the server: signals, the health check, the log and the client behind a proxy.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "server_process.h"
#include "share_helpers.h"
#include "upload_body.h"

namespace {

std::string read_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A request's line is written once its reply has gone out: wait for it (ten seconds at most).
std::string read_showing(const std::string& path, const std::string& wanted) {
  std::string text = read_text(path);
  for (int i = 0; i < 500 && text.find(wanted) == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    text = read_text(path);
  }
  return text;
}

}  // namespace

// The idle one is closed at once; requests begun are given a grace period: one that is finished
// in it is answered, one that never is gets closed, and the process exits 0 within 10 s.
TEST(operations, sigterm_with_a_trickling_client_and_an_idle_one_exits_0_in_time) {
  server_process server({"--header-timeout", "30"});
  http_connection idle(server.port()), finishing(server.port()), trickling(server.port());
  ASSERT_TRUE(finishing.send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  ASSERT_TRUE(trickling.send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  ASSERT_TRUE(http_get(server.port(), "/app/homepage"));  // all are accepted by now
  auto start = std::chrono::steady_clock::now();
  server.send_signal(SIGTERM);
  EXPECT_TRUE(idle.closed_by_server());
  ASSERT_TRUE(finishing.send("\r\n"));
  auto reply = finishing.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->header("connection"), "close");
  EXPECT_EQ(server.stop(), 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 10.0);
  EXPECT_TRUE(trickling.closed_by_server());
}

TEST(operations, sigterm_lets_a_request_in_flight_finish) {
  server_process server;
  http_connection connection(server.port());
  std::string request = upload_request(upload_body("report", report_package()));
  ASSERT_TRUE(connection.send(request.substr(0, request.size() - 5)));
  ASSERT_TRUE(http_get(server.port(), "/app/homepage"));
  server.send_signal(SIGTERM);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(connection.send(request.substr(request.size() - 5)));
  auto reply = connection.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body, "OK");
  EXPECT_EQ(reply->header("connection"), "close");
  EXPECT_EQ(server.stop(), 0);
  EXPECT_EQ(count_rows(server.database(), "shares"), 1);
}

TEST(operations, sighup_reopens_the_log_and_sigusr1_changes_nothing) {
  char pattern[] = "/tmp/folvi-share-log.XXXXXX";
  ASSERT_TRUE(mkdtemp(pattern));
  std::string folder = pattern, log = folder + "/requests.log";
  {
    server_process server({"--log", log});
    ASSERT_TRUE(http_get(server.port(), "/app/homepage"));
    read_showing(log, "/app/homepage");
    std::filesystem::rename(log, log + ".1");  // as logrotate does
    server.send_signal(SIGUSR1);
    server.send_signal(SIGHUP);
    server.log_showing("log reopened");
    ASSERT_TRUE(http_get(server.port(), "/app/methodology"));
    EXPECT_TRUE(server.alive());
    read_showing(log, "/app/methodology");
    EXPECT_EQ(server.stop(), 0);
    EXPECT_NE(server.log().find("signal 10 ignored"), std::string::npos) << server.log();
  }
  std::string old_log = read_text(log + ".1"), new_log = read_text(log);
  EXPECT_NE(old_log.find("\"GET /app/homepage\" 200"), std::string::npos) << old_log;
  EXPECT_EQ(old_log.find("methodology"), std::string::npos) << old_log;
  EXPECT_NE(new_log.find("\"GET /app/methodology\" 200"), std::string::npos) << new_log;
  std::filesystem::remove_all(folder);
}

TEST(operations, healthz_answers_when_the_database_does) {
  server_process server;
  auto reply = http_get(server.port(), "/healthz");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->body, "ok");
  EXPECT_EQ(reply->header("cache-control"), "no-store");
}

TEST(operations, uploads_are_rate_limited_per_client_and_a_trusted_proxy_names_the_client) {
  server_process server({"--upload-burst", "2", "--upload-rate", "0.01", "--trusted-proxy", "127.0.0.1"});
  std::string request = upload_request(upload_body("report", report_package()));
  auto as_client = [&](const std::string& forwarded) {
    std::string with_header = request;
    with_header.insert(with_header.find("\r\n") + 2, "X-Forwarded-For: " + forwarded + "\r\n");
    return http_exchange(server.port(), with_header);
  };
  EXPECT_EQ(as_client("198.51.100.7")->body, "OK");
  EXPECT_EQ(as_client("203.0.113.5, 198.51.100.7")->body, "OK");  // the proxy's own entry counts
  auto refused = as_client("198.51.100.7");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 429);
  EXPECT_EQ(refused->body, "Rejected: too many uploads from this address; try again later");
  EXPECT_EQ(refused->header("retry-after"), "100");
  // Another client behind the same proxy has its own bucket.
  EXPECT_EQ(as_client("198.51.100.8")->body, "OK");
  EXPECT_EQ(count_rows(server.database(), "shares"), 3);
  EXPECT_EQ(query_text(server.database(), "SELECT count(*) FROM shares WHERE client_address = '198.51.100.7'"), "2");
  std::string log = server.log_showing("\" 429 ");
  EXPECT_NE(log.find(" 198.51.100.7 \"POST /upload\" 429 "), std::string::npos) << log;
}

TEST(operations, forwarded_for_from_an_untrusted_peer_is_ignored) {
  server_process server({"--upload-burst", "1", "--upload-rate", "0.01"});
  std::string request = upload_request(upload_body("report", report_package()), "X-Forwarded-For: 198.51.100.9\r\n");
  EXPECT_EQ(http_exchange(server.port(), request)->body, "OK");
  EXPECT_EQ(http_exchange(server.port(), request)->status, 429);
  EXPECT_EQ(query_text(server.database(), "SELECT client_address FROM shares"), "127.0.0.1");
}
