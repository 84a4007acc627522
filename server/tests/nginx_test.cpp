// The deployment as shipped: nginx with the site from server/deploy in front of folvi-share
// started with the config from server/deploy, both on loopback ports.
#include <gtest/gtest.h>

#include "nginx_process.h"
#include "server_process.h"
#include "share_helpers.h"
#include "test_ca_client.h"

namespace {

const std::string deploy = DEPLOY_DIR;

struct deployment {
  server_process share{{"--config", deploy + "/folvi-share.conf", "--log", "/dev/stderr"}};
  nginx_process nginx{deploy + "/nginx-folvi-share.conf", share.port()};
};

}  // namespace

TEST(nginx, uploads_and_pages_through_the_deployed_site) {
  deployment site;
  auto client = test_ca_client(site.nginx.https_port());
  auto reply = https_upload(*client, "screenshot", screenshot_package());
  ASSERT_TRUE(reply) << httplib::to_string(reply.error()) << site.nginx.error_log();
  ASSERT_EQ(reply->status, 200) << reply->body;
  ASSERT_EQ(reply->body.substr(0, 32), "OK\r\nhttps://share.example.org/s/");
  EXPECT_EQ(https_upload(*client, "report", report_package())->body, "OK");

  std::string id = reply->body.substr(32);
  auto page = client->Get(("/s/" + id).c_str());
  auto image = client->Get(("/s/" + id + "/screenshot.png").c_str());
  ASSERT_TRUE(page && image);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);
  EXPECT_EQ(page->get_header_value("Strict-Transport-Security"), "max-age=31536000");
  EXPECT_EQ(page->get_header_value_count("Strict-Transport-Security"), 1u);
  EXPECT_EQ(image->status, 200);
  EXPECT_EQ(image->get_header_value("Content-Type"), "image/png");
  EXPECT_EQ(client->Get("/app/homepage")->status, 200);

  // Refusals come through with their reasons; the client is the proxy's, logged as such.
  auto refused = https_upload(*client, "report", "not a zip archive");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 400);
  EXPECT_EQ(refused->body.rfind("Rejected: ", 0), 0u) << refused->body;
  EXPECT_EQ(count_rows(site.share.database(), "shares"), 2);
  EXPECT_NE(site.share.log_showing("\"GET /app/homepage\" 200").find("127.0.0.1 \"GET /app/homepage\" 200"),
            std::string::npos);

  httplib::Client plain("127.0.0.1", site.nginx.http_port());
  auto redirect = plain.Get("/app/homepage");
  ASSERT_TRUE(redirect);
  EXPECT_EQ(redirect->status, 301);
}

TEST(nginx, uploads_beyond_the_sites_rate_get_429) {
  deployment site;
  auto client = test_ca_client(site.nginx.https_port());
  // nginx lets 1 a second through with a burst of 20; folvi-share's own bucket holds 20 too.
  int accepted = 0, limited = 0;
  for (int i = 0; i < 24; ++i) {
    auto reply = https_upload(*client, "report", report_package());
    ASSERT_TRUE(reply);
    if (reply->status == 200) ++accepted;
    if (reply->status == 429) ++limited;
  }
  EXPECT_GE(accepted, 20);
  EXPECT_LE(accepted, 22);
  EXPECT_EQ(accepted + limited, 24);
  EXPECT_EQ(count_rows(site.share.database(), "shares"), accepted);
}
