// The listener on its own: clients that send slowly or nothing cost the others nothing, heads
// and bodies have deadlines, one address cannot take every connection, and replies say what
// HTTP wants said.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <thread>
#include <vector>

#include "golden.h"
#include "server_process.h"
#include "share_helpers.h"
#include "test_ca_client.h"
#include "upload_body.h"

namespace {

const char home_request[] = "GET /app/homepage HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";

// Connections from 127.0.0.2 on (or from `first` on), a hundred per address at most.
std::vector<std::unique_ptr<http_connection>> open_from_others(int port, int count, int first = 2) {
  std::vector<std::unique_ptr<http_connection>> held;
  for (int i = 0; i < count; ++i)
    held.push_back(std::make_unique<http_connection>(port, ("127.0.0." + std::to_string(first + i / 100)).c_str()));
  return held;
}

int home_status(int port, const char* source = nullptr) {
  http_connection connection(port, source);
  connection.send(home_request);  // may fail: the server may have closed its side
  return status_of(connection.receive());
}

}  // namespace

TEST(listener, idle_and_trickling_clients_leave_service_to_the_others) {
  server_process server({"--client-connections", "100"});
  auto idle = open_from_others(server.port(), 600);
  auto trickling = open_from_others(server.port(), 50, 20);
  for (auto& connection : trickling) ASSERT_TRUE(connection->send("GET /app/homepage HTTP/1.1\r\nHost: x\r\n"));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(home_status(server.port()), 200);
  // The held ones are still there, unanswered, and can still finish their requests.
  ASSERT_TRUE(trickling[0]->send("\r\n"));
  EXPECT_EQ(status_of(trickling[0]->receive()), 200);
}

TEST(listener, tls_sockets_that_never_say_hello_leave_service_to_the_others) {
  server_process server(test_ca_server_arguments());
  auto silent = open_from_others(server.port(), 20);
  auto client = test_ca_client(server.port());
  for (int i = 0; i < 20; ++i) {
    auto reply = client->Get("/app/homepage");
    ASSERT_TRUE(reply) << httplib::to_string(reply.error());
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->get_header_value("Strict-Transport-Security"), "max-age=31536000");
  }
}

TEST(listener, heads_and_bodies_that_trickle_past_their_deadlines_are_answered_408_and_store_nothing) {
  server_process server({"--header-timeout", "1", "--body-timeout", "1"});
  http_connection head(server.port()), body(server.port());
  std::string request = upload_request(upload_body("report", report_package()));
  ASSERT_TRUE(body.send(request.substr(0, request.size() - 10)));
  // A line every 300 ms keeps an idle timer alive forever; the deadline is for the whole head.
  ASSERT_TRUE(head.send("GET /app/homepage HTTP/1.1\r\n"));
  for (int i = 0; i < 5 && head.send("X-Slow: " + std::to_string(i) + "\r\n"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (auto [connection, reason] : {std::pair{&head, "Rejected: the request head did not arrive in time"},
                                    {&body, "Rejected: the body did not arrive in time"}}) {
    auto reply = connection->receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 408);
    EXPECT_EQ(reply->body, reason);
    EXPECT_TRUE(connection->closed_by_server());
  }
  EXPECT_NE(server.log_showing(" 408 ").find("127.0.0.1 \"- \" 408 "), std::string::npos) << server.log();
  EXPECT_EQ(count_rows(server.database(), "shares"), 0);
}

TEST(listener, one_address_gets_only_its_share_of_connections) {
  server_process server({"--client-connections", "3"});
  auto held = open_from_others(server.port(), 3);
  // The fourth from the same address is closed at once; other addresses are still served.
  EXPECT_EQ(home_status(server.port(), "127.0.0.2"), 0);
  EXPECT_EQ(home_status(server.port()), 200);
  held.pop_back();
  // The count falls when a connection ends: retry while the server has yet to see the close.
  EXPECT_TRUE(eventually([&] { return home_status(server.port(), "127.0.0.2") == 200; }));
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
  auto ranged = http_exchange(server.port(), "GET " + png_path +
                                                 " HTTP/1.1\r\nHost: localhost\r\nRange: bytes=0-99\r\n"
                                                 "Connection: close\r\n\r\n");
  ASSERT_TRUE(whole && ranged);
  EXPECT_EQ(ranged->status, 200);
  EXPECT_EQ(ranged->body, whole->body);
  EXPECT_EQ(ranged->header("content-range"), "");
}
