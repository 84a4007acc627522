// An HTTPS client of cpp-httplib that trusts the test CA and checks the server's name.
#pragma once
#include <httplib.h>

#include <memory>
#include <string>
#include <vector>

#include "upload_body.h"

inline std::unique_ptr<httplib::SSLClient> test_ca_client(int port) {
  auto client = std::make_unique<httplib::SSLClient>("localhost", port);
  client->set_ca_cert_path((std::string(TEST_CA_DIR) + "/ca.pem").c_str());
  client->enable_server_certificate_verification(true);
  return client;
}

// The server started with the test CA's certificate.
inline std::vector<std::string> test_ca_server_arguments() {
  return {"--cert", std::string(TEST_CA_DIR) + "/server.pem", "--key", std::string(TEST_CA_DIR) + "/server.key"};
}

// The client's upload body, POSTed over HTTPS.
inline httplib::Result https_upload(httplib::SSLClient& client, const std::string& type, const std::string& package) {
  return client.Post("/upload", upload_body(type, package), "multipart/form-data; boundary=i-will-not-crash");
}
