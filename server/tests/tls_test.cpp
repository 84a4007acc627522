// HTTPS with the test CA: the certificate names localhost, and a client that checks it
// (cpp-httplib's client over OpenSSL here) gets the same replies as over plain HTTP.
#include <gtest/gtest.h>

#include "server_process.h"
#include "share_helpers.h"
#include "test_ca_client.h"

TEST(tls, uploads_and_pages_over_https_with_the_test_ca) {
  server_process server(test_ca_server_arguments());
  auto client = test_ca_client(server.port());
  auto reply = https_upload(*client, "screenshot", screenshot_package());
  ASSERT_TRUE(reply) << httplib::to_string(reply.error());
  EXPECT_EQ(reply->status, 200);
  std::string prefix = "OK\r\nhttps://localhost:" + std::to_string(server.port()) + "/s/";
  ASSERT_EQ(reply->body.substr(0, prefix.size()), prefix);
  auto page = client->Get(("/s/" + reply->body.substr(prefix.size())).c_str());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("Shared benchmark result"), std::string::npos);
  EXPECT_EQ(https_upload(*client, "report", report_package())->body, "OK");
  EXPECT_EQ(count_rows(server.database(), "shares"), 2);
}

// Without the test CA the client has only the system's authorities.
TEST(tls, a_client_without_the_ca_refuses_the_server) {
  server_process server(test_ca_server_arguments());
  httplib::SSLClient client("localhost", server.port());
  client.enable_server_certificate_verification(true);
  auto reply = client.Get("/app/homepage");
  EXPECT_FALSE(reply);
  EXPECT_EQ(reply.error(), httplib::Error::SSLServerVerification);
}

TEST(tls, a_missing_certificate_stops_the_start) {
  EXPECT_THROW(server_process({"--cert", std::string(TEST_CA_DIR) + "/absent.pem", "--key", std::string(TEST_CA_DIR) + "/server.key"}),
               std::runtime_error);
}
