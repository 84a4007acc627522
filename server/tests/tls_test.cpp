// HTTPS with the test CA: the certificate names localhost, and a client that checks it
// (cpp-httplib's client over OpenSSL here) gets the same replies as over plain HTTP.
#include <gtest/gtest.h>
#include <httplib.h>

#include "server_process.h"
#include "share_helpers.h"
#include "upload_body.h"

namespace {

const std::string ca_dir = TEST_CA_DIR;


}  // namespace

TEST(tls, uploads_and_pages_over_https_with_the_test_ca) {
  server_process server({"--cert", ca_dir + "/server.pem", "--key", ca_dir + "/server.key"});
  httplib::SSLClient client("localhost", server.port());
  client.set_ca_cert_path((ca_dir + "/ca.pem").c_str());
  client.enable_server_certificate_verification(true);

  auto reply = client.Post("/upload", upload_body("screenshot", screenshot_package()),
                           "multipart/form-data; boundary=i-will-not-crash");
  ASSERT_TRUE(reply) << httplib::to_string(reply.error());
  EXPECT_EQ(reply->status, 200);
  std::string prefix = "OK\r\nhttps://localhost:" + std::to_string(server.port()) + "/s/";
  ASSERT_EQ(reply->body.substr(0, prefix.size()), prefix);
  auto page = client.Get(("/s/" + reply->body.substr(prefix.size())).c_str());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("Shared benchmark result"), std::string::npos);
  EXPECT_EQ(client.Post("/upload", upload_body("report", report_package()),
                        "multipart/form-data; boundary=i-will-not-crash")->body,
            "OK");
  EXPECT_EQ(count_rows(server.database(), "shares"), 2);
}

// Without the test CA the client has only the system's authorities.
TEST(tls, a_client_without_the_ca_refuses_the_server) {
  server_process server({"--cert", ca_dir + "/server.pem", "--key", ca_dir + "/server.key"});
  httplib::SSLClient client("localhost", server.port());
  client.enable_server_certificate_verification(true);
  auto reply = client.Get("/app/homepage");
  EXPECT_FALSE(reply);
  EXPECT_EQ(reply.error(), httplib::Error::SSLServerVerification);
}

TEST(tls, a_missing_certificate_stops_the_start) {
  EXPECT_THROW(server_process({"--cert", ca_dir + "/absent.pem", "--key", ca_dir + "/server.key"}),
               std::runtime_error);
}
