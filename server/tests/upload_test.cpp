// Uploads as the client sends them, and what the server keeps and serves for them; the page
// itself is data/synthetic_share_page.html's to check.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "server_process.h"
#include "share_helpers.h"
#include "test_images.h"
#include "upload_body.h"

TEST(upload, a_screenshot_share_answers_its_link_and_serves_page_and_images) {
  server_process server;
  auto reply = post_upload(server.port(), "screenshot", screenshot_package());
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200) << reply->body;
  EXPECT_TRUE(std::regex_match(
      reply->body, std::regex("OK\r\nhttps://localhost:" + std::to_string(server.port()) + "/s/[A-Za-z0-9_-]{22}")))
      << reply->body;
  EXPECT_EQ(reply->header("content-type"), "text/plain; charset=utf-8");
  std::string id = share_id_of(*reply);
  EXPECT_EQ(status_of(http_get(server.port(), "/s/" + id)), 200);
  package_files files = screenshot_files();
  for (auto [name, bmp] : {std::pair{"screenshot", files.screenshot},
                           {"read_graph", files.read_graph},
                           {"write_graph", files.write_graph}}) {
    auto image = http_get(server.port(), "/s/" + id + "/" + name + ".png");
    ASSERT_TRUE(image);
    ASSERT_EQ(image->status, 200) << name;
    EXPECT_EQ(image->header("content-type"), "image/png");
    auto decoded = decode_png_with_libpng(image->body);
    rgb_image expected;
    std::string error;
    ASSERT_TRUE(decoded && decode_bmp(bmp, expected, error)) << name;
    EXPECT_EQ(decoded->width, expected.width);
    EXPECT_TRUE(decoded->rgb == expected.rgb) << name;
  }
}

// Bodies end exactly where declared, so that one connection carries several; each request is
// logged on one line, with milliseconds in the time stamp and of the share id (a secret link)
// only its first six characters.
TEST(upload, report_shares_answer_ok_alone_and_are_logged_but_never_published) {
  server_process server;
  http_connection connection(server.port());
  std::string request = upload_request(upload_body("report", report_package()));
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(connection.send(request));
    auto reply = connection.receive();
    ASSERT_TRUE(reply) << i;
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body, "OK") << i;
  }
  EXPECT_EQ(count_rows(server.database(), "shares WHERE kind = 'report'"), 2);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 0);
  std::string id = query_text(server.database(), "SELECT id FROM shares");
  ASSERT_EQ(id.size(), 22u);
  EXPECT_EQ(status_of(http_get(server.port(), "/s/" + id)), 404);  // even knowing the id gives no page
  EXPECT_EQ(server.stop(), 0);
  std::string log = server.log();
  EXPECT_TRUE(
      std::regex_search(log, std::regex(":\\d\\d\\.\\d{3}Z 127\\.0\\.0\\.1 \"POST /upload\" 200 \\d+ms \"FOLVI "
                                        "Benchmark, v\\. 0\\.1\\.2\\.3\" stored report [A-Za-z0-9_-]{6}\\.\\.\\.\n")))
      << log;
  EXPECT_EQ(log.find(id), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /s/" + id.substr(0, 6) + "...\" 404"), std::string::npos) << log;
  EXPECT_NE(log.find("folvi-share: stopped"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(server.folder() + "/port"));
}

// What a failed insert leaves behind is the store's test; here, how the client is told.
TEST(upload, a_store_failure_answers_500) {
  server_process server;
  fail_inserts(server.database(), "share_images", "NEW.name = 'write_graph'", "injected");
  auto reply = post_upload(server.port(), "screenshot", screenshot_package());
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 500);
  EXPECT_EQ(reply->body, "Rejected: the server could not store the share");
}
