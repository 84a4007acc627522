// Running the server: signals, the health check, the log and the client behind a proxy.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>

#include "golden.h"
#include "server_process.h"
#include "share_helpers.h"
#include "temp_folder.h"
#include "upload_body.h"

// The idle one is closed at once; requests begun are given a grace period: those finished in it
// are answered (an upload in flight is stored), one that never is gets closed, and the process
// exits 0 within 10 s.
TEST(operations, sigterm_closes_the_idle_lets_requests_in_flight_finish_and_exits_0_in_time) {
  server_process server({"--header-timeout", "30"});
  http_connection idle(server.port()), finishing(server.port()), trickling(server.port()), uploading(server.port());
  std::string upload = upload_request(upload_body("report", report_package()));
  ASSERT_TRUE(finishing.send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  ASSERT_TRUE(trickling.send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  ASSERT_TRUE(uploading.send(upload.substr(0, upload.size() - 5)));
  ASSERT_TRUE(http_get(server.port(), "/app/homepage"));  // all are accepted by now
  auto start = std::chrono::steady_clock::now();
  server.send_signal(SIGTERM);
  EXPECT_TRUE(idle.closed_by_server());
  ASSERT_TRUE(finishing.send("\r\n"));
  ASSERT_TRUE(uploading.send(upload.substr(upload.size() - 5)));
  for (auto [connection, body] : {std::pair{&uploading, "OK"}, {&finishing, ""}}) {
    auto reply = connection->receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    if (*body) {
      EXPECT_EQ(reply->body, body);
    }
    EXPECT_EQ(reply->header("connection"), "close");
  }
  EXPECT_EQ(server.stop(), 0);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
  EXPECT_TRUE(trickling.closed_by_server());
  EXPECT_EQ(count_rows(server.database(), "shares"), 1);
}

TEST(operations, sighup_reopens_the_log_and_sigusr1_changes_nothing) {
  temp_folder folder;
  std::string log = folder.path + "/requests.log";
  server_process server({"--log", log});
  auto health = http_get(server.port(), "/healthz");
  ASSERT_TRUE(health);
  EXPECT_EQ(health->status, 200);
  EXPECT_EQ(health->body, "ok");
  EXPECT_EQ(health->header("cache-control"), "no-store");
  ASSERT_TRUE(http_get(server.port(), "/app/homepage"));
  // A request's line is written once its reply has gone out.
  eventually([&] { return file_text(log).find("/app/homepage") != std::string::npos; });
  std::filesystem::rename(log, log + ".1");  // as logrotate does
  server.send_signal(SIGUSR1);
  server.send_signal(SIGHUP);
  server.log_showing("log reopened");
  ASSERT_TRUE(http_get(server.port(), "/app/methodology"));
  EXPECT_TRUE(server.alive());
  eventually([&] { return file_text(log).find("/app/methodology") != std::string::npos; });
  std::string new_log = file_text(log), old_log = file_text(log + ".1");
  EXPECT_EQ(server.stop(), 0);
  EXPECT_NE(server.log().find("signal 10 ignored"), std::string::npos) << server.log();
  EXPECT_NE(old_log.find("\"GET /app/homepage\" 200"), std::string::npos) << old_log;
  EXPECT_EQ(old_log.find("methodology"), std::string::npos) << old_log;
  EXPECT_NE(new_log.find("\"GET /app/methodology\" 200"), std::string::npos) << new_log;
}

// Forwarded-for counts only from a trusted proxy: from 127.0.0.1 it does, from 127.0.0.2 not.
TEST(operations, uploads_are_rate_limited_per_client_and_only_a_trusted_proxy_names_the_client) {
  server_process server({"--upload-burst", "2", "--upload-rate", "0.01", "--trusted-proxy", "127.0.0.1"});
  std::string request = upload_request(upload_body("report", report_package()));
  auto as_client = [&](const std::string& forwarded, const char* peer = nullptr) {
    std::string with_header = request;
    with_header.insert(with_header.find("\r\n") + 2, "X-Forwarded-For: " + forwarded + "\r\n");
    http_connection connection(server.port(), peer);
    connection.send(with_header);
    auto reply = connection.receive();
    return reply ? std::to_string(reply->status) + " " + reply->body + " " + reply->header("retry-after") : "none";
  };
  EXPECT_EQ(as_client("198.51.100.7"), "200 OK ");
  EXPECT_EQ(as_client("203.0.113.5, 198.51.100.7"), "200 OK ");  // the proxy's own entry counts
  EXPECT_EQ(as_client("198.51.100.7"), "429 Rejected: too many uploads from this address; try again later 100");
  EXPECT_EQ(as_client("198.51.100.8"), "200 OK ");  // another client behind the same proxy
  EXPECT_EQ(as_client("198.51.100.9", "127.0.0.2"), "200 OK ");
  EXPECT_EQ(as_client("198.51.100.9", "127.0.0.2"), "200 OK ");
  EXPECT_EQ(as_client("198.51.100.9", "127.0.0.2").substr(0, 4), "429 ");
  EXPECT_EQ(query_text(server.database(), "SELECT count(*) FROM shares WHERE client_address = '198.51.100.7'"), "2");
  EXPECT_EQ(query_text(server.database(), "SELECT count(*) FROM shares WHERE client_address = '127.0.0.2'"), "2");
  std::string log = server.log_showing("\" 429 ");
  EXPECT_NE(log.find(" 198.51.100.7 \"POST /upload\" 429 "), std::string::npos) << log;
}
