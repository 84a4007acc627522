// The listener on its own: clients that send slowly or nothing cost the others nothing, heads
// and bodies have deadlines, one address cannot take every connection, and replies say what
// HTTP wants said.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <thread>
#include <vector>

#include "server_process.h"
#include "share_helpers.h"
#include "upload_body.h"
#include "test_ca_client.h"

namespace {

const char home_request[] = "GET /app/homepage HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";

// Connections from 127.0.0.2 on (or from `first` on), a hundred per address at most.
std::vector<std::unique_ptr<http_connection>> open_from_others(int port, int count, int first = 2) {
  std::vector<std::unique_ptr<http_connection>> held;
  for (int i = 0; i < count; ++i) {
    std::string source = "127.0.0." + std::to_string(first + i / 100);
    held.push_back(std::make_unique<http_connection>(port, source.c_str()));
  }
  return held;
}

void expect_homepage(int port) {
  auto reply = http_exchange(port, home_request);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
}

}  // namespace

TEST(listener, idle_and_trickling_clients_leave_service_to_the_others) {
  server_process server({"--client-connections", "100"});
  auto idle = open_from_others(server.port(), 600);
  auto trickling = open_from_others(server.port(), 50, 20);
  for (auto& connection : trickling) ASSERT_TRUE(connection->send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  for (int i = 0; i < 20; ++i) expect_homepage(server.port());
  // The held ones are still there, unanswered, and can still finish their requests.
  ASSERT_TRUE(trickling[0]->send("\r\n"));
  auto late = trickling[0]->receive();
  ASSERT_TRUE(late);
  EXPECT_EQ(late->status, 200);
}

TEST(listener, tls_sockets_that_never_say_hello_leave_service_to_the_others) {
  server_process server(test_ca_server_arguments());
  auto silent = open_from_others(server.port(), 20);
  auto client = test_ca_client(server.port());
  for (int i = 0; i < 20; ++i) {
    auto reply = client->Get("/app/homepage");
    ASSERT_TRUE(reply) << httplib::to_string(reply.error());
    EXPECT_EQ(reply->status, 200);
  }
}

TEST(listener, a_head_that_trickles_past_its_deadline_is_answered_408_and_closed) {
  server_process server({"--header-timeout", "1"});
  http_connection connection(server.port());
  // A line every 300 ms keeps an idle timer alive forever; the deadline is for the whole head.
  ASSERT_TRUE(connection.send("GET /app/homepage HTTP/1.1\r\n"));
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (!connection.send("X-Slow: " + std::to_string(i) + "\r\n")) break;
  }
  auto reply = connection.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 408);
  EXPECT_EQ(reply->body, "Rejected: the request head did not arrive in time");
  EXPECT_TRUE(connection.closed_by_server());
  EXPECT_NE(server.log_showing(" 408 ").find("127.0.0.1 \"- \" 408 "), std::string::npos) << server.log();
}

TEST(listener, a_body_that_trickles_past_its_deadline_stores_nothing) {
  server_process server({"--body-timeout", "1"});
  std::string request = upload_request(upload_body("report", report_package()));
  http_connection connection(server.port());
  ASSERT_TRUE(connection.send(request.substr(0, request.size() - 10)));
  auto reply = connection.receive();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 408);
  EXPECT_EQ(reply->body, "Rejected: the body did not arrive in time");
  EXPECT_EQ(count_rows(server.database(), "shares"), 0);
}

TEST(listener, one_address_gets_only_its_share_of_connections) {
  server_process server({"--client-connections", "3"});
  auto held = open_from_others(server.port(), 3);
  // The fourth from the same address is closed at once; other addresses are still served.
  http_connection fourth(server.port(), "127.0.0.2");
  fourth.send(home_request);  // may fail: the server has closed its side
  EXPECT_FALSE(fourth.receive());
  expect_homepage(server.port());
  held.pop_back();
  auto again = std::make_unique<http_connection>(server.port(), "127.0.0.2");
  ASSERT_TRUE(again->send(home_request));
  // The count falls when a connection ends: retry while the server has yet to see the close.
  for (int attempt = 0; attempt < 50 && !again->receive(); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    again = std::make_unique<http_connection>(server.port(), "127.0.0.2");
    ASSERT_TRUE(again->send(home_request));
  }
}

TEST(listener, replies_carry_a_date_and_ranges_get_the_whole_image) {
  server_process server;
  auto home = http_get(server.port(), "/app/homepage");
  ASSERT_TRUE(home);
  EXPECT_TRUE(std::regex_match(home->header("date"),
                               std::regex("(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|"
                                          "Oct|Nov|Dec) \\d{4} \\d\\d:\\d\\d:\\d\\d GMT")))
      << home->header("date");
  EXPECT_EQ(home->header("strict-transport-security"), "");  // plain HTTP: nothing to pin

  auto upload = post_upload(server.port(), "screenshot", screenshot_package());
  ASSERT_TRUE(upload);
  std::string png_path = "/s/" + share_id_of(*upload) + "/screenshot.png";
  auto whole = http_get(server.port(), png_path);
  ASSERT_TRUE(whole);
  auto ranged = http_exchange(server.port(), "GET " + png_path +
                                                 " HTTP/1.1\r\nHost: localhost\r\nRange: bytes=0-99\r\n"
                                                 "Connection: close\r\n\r\n");
  ASSERT_TRUE(ranged);
  EXPECT_EQ(ranged->status, 200);
  EXPECT_EQ(ranged->body, whole->body);
  EXPECT_EQ(ranged->header("content-range"), "");
}

TEST(listener, two_content_lengths_are_refused_whatever_they_say) {
  server_process server;
  std::string body = upload_body("report", report_package());
  std::string length = std::to_string(body.size());
  for (std::string second : {length, std::string("5")}) {
    auto reply = http_exchange(server.port(), upload_request(body, "Content-Length: " + second + "\r\n"));
    ASSERT_TRUE(reply) << second;
    EXPECT_EQ(reply->status, 400) << second;
    EXPECT_EQ(reply->body.rfind("Rejected: ", 0), 0u) << reply->body;
    EXPECT_EQ(reply->header("connection"), "close");
  }
  EXPECT_EQ(count_rows(server.database(), "shares"), 0);
}
