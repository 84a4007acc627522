// The server's TLS settings: TLS 1.3, and TLS 1.2 with ECDHE key exchange and AEAD ciphers
// only, in the server's order.
#pragma once
#include <boost/asio/ssl/context.hpp>
#include <memory>
#include <string>

std::shared_ptr<boost::asio::ssl::context> make_tls_context(const std::string& cert_file, const std::string& key_file,
                                                            std::string& error);
