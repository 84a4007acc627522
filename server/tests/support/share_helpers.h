// Uploads as the client makes them, for the HTTP tests.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "http_exchange.h"
#include "test_zip.h"

package_files screenshot_files();  // screenshot and both graphs, made with the test pattern
std::string screenshot_package();
std::string report_package(const std::string& report = "Recorded                        2024/01/31 09:05:00\r\n");

// A small synthetic site: six reports of a fast SSD and six of a USB disk, then a screenshot share
// of the SSD (last: once the model has taken it, it has taken all); each its type and package.
std::vector<std::pair<std::string, std::string>> synthetic_site_uploads();
// A server's arguments to learn from synthetic reports, taking uploads as fast as they come.
const std::vector<std::string> synthetic_server = {"--learn-from", "synthetic",      "--upload-rate",
                                                   "1000",         "--upload-burst", "1000"};

// POSTs the client's body on a fresh connection.
std::optional<http_reply> post_upload(int port, const std::string& type, const std::string& package);
// The id at the end of "OK\r\nhttps://HOST/s/ID", or empty.
std::string share_id_of(const http_reply& reply);
