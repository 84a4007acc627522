#include "tls_context.h"

#include <openssl/ssl.h>

namespace {

// Forward secrecy and authenticated encryption; AES-GCM first (hardware support is common).
const char tls12_ciphers[] =
    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:"
    "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:"
    "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305";

}  // namespace

std::shared_ptr<boost::asio::ssl::context> make_tls_context(const std::string& cert_file, const std::string& key_file,
                                                            std::string& error) {
  namespace ssl = boost::asio::ssl;
  auto context = std::make_shared<ssl::context>(ssl::context::tls_server);
  SSL_CTX* native = context->native_handle();
  SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION);
  SSL_CTX_set_options(native, SSL_OP_CIPHER_SERVER_PREFERENCE | SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_COMPRESSION);
  if (SSL_CTX_set_cipher_list(native, tls12_ciphers) != 1) {
    error = "the TLS 1.2 cipher list was refused";
    return nullptr;
  }
  boost::system::error_code ec;
  context->use_certificate_chain_file(cert_file, ec);
  if (!ec) context->use_private_key_file(key_file, ssl::context::pem, ec);
  if (!ec && SSL_CTX_check_private_key(native) != 1) ec = boost::asio::error::invalid_argument;
  if (ec) {
    error = "could not load the certificate " + cert_file + " with the key " + key_file;
    return nullptr;
  }
  return context;
}
