// Uploads as the client sends them, and what the server keeps and serves for them.
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
  std::string prefix = "OK\r\nhttps://localhost:" + std::to_string(server.port()) + "/s/";
  ASSERT_EQ(reply->body.substr(0, prefix.size()), prefix);
  std::string id = share_id_of(*reply);
  EXPECT_TRUE(std::regex_match(id, std::regex("[A-Za-z0-9_-]{22}"))) << id;
  EXPECT_EQ(reply->header("content-type"), "text/plain; charset=utf-8");
  EXPECT_EQ(count_rows(server.database(), "shares"), 1);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 3);

  auto page = http_get(server.port(), "/s/" + id);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->header("content-security-policy").find("default-src 'none'"), std::string::npos);
  EXPECT_NE(page->body.find("Read.best.io                    4 x 1048576 bytes, raw"), std::string::npos);
  EXPECT_NE(page->body.find("<img src=\"/s/" + id + "/screenshot.png\" width=\"320\" height=\"200\""),
            std::string::npos);
  EXPECT_NE(page->body.find("560.1 MBps"), std::string::npos);

  package_files files = screenshot_files();
  for (auto [name, bmp] : {std::pair{"screenshot", files.screenshot},
                           {"read_graph", files.read_graph},
                           {"write_graph", files.write_graph}}) {
    auto image = http_get(server.port(), "/s/" + id + "/" + name + ".png");
    ASSERT_TRUE(image);
    ASSERT_EQ(image->status, 200) << name;
    EXPECT_EQ(image->header("content-type"), "image/png");
    auto decoded = decode_png_with_libpng(image->body);
    ASSERT_TRUE(decoded) << name;
    rgb_image expected;
    std::string error;
    ASSERT_TRUE(decode_bmp(bmp, expected, error));
    EXPECT_EQ(decoded->width, expected.width);
    EXPECT_TRUE(decoded->rgb == expected.rgb) << name;
  }
}

TEST(upload, a_report_share_answers_ok_alone_and_has_no_page) {
  server_process server;
  auto reply = post_upload(server.port(), "report", report_package());
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->body, "OK");
  EXPECT_EQ(count_rows(server.database(), "shares WHERE kind = 'report'"), 1);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 0);
  EXPECT_NE(server.log_showing("stored report").find("stored report"), std::string::npos);
}

TEST(upload, the_host_option_goes_into_links) {
  server_process server({"--host", "folvi.example"});
  auto reply = post_upload(server.port(), "screenshot", screenshot_package());
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body.substr(0, 28), "OK\r\nhttps://folvi.example/s/");
}

TEST(upload, bodies_end_exactly_where_declared_so_a_connection_carries_several) {
  server_process server;
  http_connection connection(server.port());
  std::string request = upload_request(upload_body("report", report_package()));
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(connection.send(request));
    auto reply = connection.receive();
    ASSERT_TRUE(reply) << i;
    EXPECT_EQ(reply->body, "OK") << i;
  }
  EXPECT_EQ(count_rows(server.database(), "shares"), 2);
}

TEST(upload, logs_one_line_per_request_and_stops_cleanly_on_sigterm) {
  server_process server;
  ASSERT_TRUE(post_upload(server.port(), "report", report_package()));
  ASSERT_TRUE(http_get(server.port(), "/app/homepage"));
  ASSERT_TRUE(http_get(server.port(), "/nothing"));
  EXPECT_EQ(server.stop(), 0);
  std::string log = server.log();
  // Milliseconds in the time stamp; of the share id (a secret link) only its first six characters.
  EXPECT_TRUE(
      std::regex_search(log, std::regex(":\\d\\d\\.\\d{3}Z 127\\.0\\.0\\.1 \"POST /upload\" 200 \\d+ms \"FOLVI "
                                        "Benchmark, v\\. 0\\.1\\.2\\.3\" stored report [A-Za-z0-9_-]{6}\\.\\.\\.\n")))
      << log;
  std::string id = query_text(server.database(), "SELECT id FROM shares");
  ASSERT_EQ(id.size(), 22u);
  EXPECT_EQ(log.find(id), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /app/homepage\" 200"), std::string::npos);
  EXPECT_NE(log.find("\"GET /nothing\" 404"), std::string::npos);
  EXPECT_NE(log.find("folvi-share: stopped"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(server.folder() + "/port"));
}

TEST(upload, a_store_failure_answers_500_and_keeps_nothing_of_that_share) {
  server_process server;
  ASSERT_TRUE(post_upload(server.port(), "screenshot", screenshot_package()));
  fail_inserts(server.database(), "share_images", "NEW.name = 'write_graph'", "injected");
  auto reply = post_upload(server.port(), "screenshot", screenshot_package());
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 500);
  EXPECT_EQ(reply->body, "Rejected: the server could not store the share");
  EXPECT_EQ(count_rows(server.database(), "shares"), 1);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 3);
  allow_inserts(server.database(), "share_images");
  EXPECT_EQ(post_upload(server.port(), "screenshot", screenshot_package())->status, 200);
}
