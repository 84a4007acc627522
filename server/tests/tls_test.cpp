// HTTPS with the test CA (uploads and pages over it are the chromium and listener tests'): the
// suites agreed, a certificate that will not load, and one loaded again on SIGHUP.
#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "server_process.h"
#include "share_helpers.h"
#include "temp_folder.h"
#include "test_ca_client.h"

namespace {

// A handshake by OpenSSL's client with these versions and TLS 1.2 ciphers in this order of
// preference; the version and cipher agreed, or empty when the server refused.
std::string negotiate(int port, int version, const char* ciphers) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  SSL_CTX_set_min_proto_version(context, version);
  SSL_CTX_set_max_proto_version(context, version);
  SSL_CTX_set_security_level(context, 0);  // let the client offer what the server must refuse
  if (ciphers) SSL_CTX_set_cipher_list(context, ciphers);
  std::string agreed;
  BIO* connection = BIO_new_connect(("127.0.0.1:" + std::to_string(port)).c_str());
  if (BIO_do_connect(connection) == 1) {
    SSL* ssl = SSL_new(context);
    SSL_set_bio(ssl, connection, connection);
    SSL_set_tlsext_host_name(ssl, "localhost");
    if (SSL_connect(ssl) == 1) agreed = std::string(SSL_get_version(ssl)) + " " + SSL_get_cipher_name(ssl);
    SSL_free(ssl);
  } else {
    BIO_free(connection);
  }
  SSL_CTX_free(context);
  return agreed;
}

}  // namespace

TEST(tls, only_forward_secret_aead_suites_in_the_servers_order) {
  server_process server(test_ca_server_arguments());
  int port = server.port();
  EXPECT_EQ(negotiate(port, TLS1_3_VERSION, nullptr).rfind("TLSv1.3 TLS_", 0), 0u);
  // The client prefers ChaCha20; the server's order puts AES-GCM first.
  EXPECT_EQ(negotiate(port, TLS1_2_VERSION,
                      "ECDHE-RSA-CHACHA20-POLY1305:ECDHE-RSA-AES256-GCM-SHA384:ECDHE-RSA-AES128-GCM-SHA256"),
            "TLSv1.2 ECDHE-RSA-AES128-GCM-SHA256");
  EXPECT_EQ(negotiate(port, TLS1_2_VERSION, "ECDHE-RSA-CHACHA20-POLY1305"), "TLSv1.2 ECDHE-RSA-CHACHA20-POLY1305");
  for (const char* refused : {"AES128-SHA", "AES128-GCM-SHA256", "ECDHE-RSA-AES128-SHA", "ECDHE-RSA-AES256-SHA384",
                              "DHE-RSA-AES128-GCM-SHA256"})
    EXPECT_EQ(negotiate(port, TLS1_2_VERSION, refused), "") << refused;
  EXPECT_EQ(negotiate(port, TLS1_1_VERSION, "ALL"), "");
  EXPECT_TRUE(server.alive());
}

TEST(tls, sighup_loads_the_certificate_again_and_keeps_the_old_one_when_the_new_is_broken) {
  temp_folder folder;
  const std::string ca = TEST_CA_DIR, pem = folder.path + "/server.pem";
  std::filesystem::copy_file(ca + "/server.key", folder.path + "/server.key");
  std::ofstream(pem) << "not a certificate\n";
  EXPECT_THROW(server_process({"--cert", pem, "--key", folder.path + "/server.key"}), std::runtime_error);
  std::filesystem::copy_file(ca + "/server.pem", pem, std::filesystem::copy_options::overwrite_existing);
  server_process server({"--cert", pem, "--key", folder.path + "/server.key"});
  { std::ofstream(pem, std::ios::trunc) << "not a certificate\n"; }
  server.send_signal(SIGHUP);
  EXPECT_NE(server.log_showing("going on as before").find("could not load the certificate"), std::string::npos);
  ASSERT_TRUE(test_ca_client(server.port())->Get("/app/homepage"));
  std::filesystem::copy_file(ca + "/server.pem", pem, std::filesystem::copy_options::overwrite_existing);
  server.send_signal(SIGHUP);
  server.log_showing("certificate reloaded");
  auto reply = test_ca_client(server.port())->Get("/app/homepage");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(server.stop(), 0);
}
