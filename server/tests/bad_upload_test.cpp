// Hostile and broken uploads: each is refused with a clear status and reason, or stored whole;
// the server goes on answering and the database holds exactly the accepted shares.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>

#include "server_process.h"
#include "share_helpers.h"
#include "test_images.h"
#include "upload_body.h"

namespace {

void expect_refused(const std::optional<http_reply>& reply, int status, const std::string& reason) {
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, status) << reply->body;
  EXPECT_EQ(reply->body.rfind("Rejected: ", 0), 0u) << reply->body;
  EXPECT_NE(reply->body.find(reason), std::string::npos) << reply->body;
  EXPECT_EQ(reply->header("connection"), "close");
}

std::string zip_with(std::vector<zip_item> items) { return build_zip(items); }

void expect_still_serving(const server_process& server, long long shares) {
  auto page = http_get(server.port(), "/app/homepage");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(count_rows(server.database(), "shares"), shares);
}

}  // namespace

TEST(bad_upload, hostile_packages_are_refused) {
  server_process server;
  zip_item bomb{"report.folvi.txt", std::string(48u << 20, '\0')};
  bomb.declared_size = 4096;
  expect_refused(post_upload(server.port(), "report", zip_with({bomb, {"stack_scan.txt", "s"}})), 400,
                 "report.folvi.txt: inflates to more than its declared size");

  zip_item report{"report.folvi.txt", "report text"}, scan{"stack_scan.txt", "scan text"};
  expect_refused(post_upload(server.port(), "report", build_zip({report, scan}, {{std::nullopt, 0u}, "", ""})), 400,
                 "overlapping entries");
  zip_item traversal = report;
  traversal.name = "../../home/user/.bashrc";
  expect_refused(post_upload(server.port(), "report", zip_with({traversal, scan})), 400,
                 "entry name with a path: \"../../home/user/.bashrc\"");
  zip_item huge = report;
  huge.declared_size = 0xFFFFFFF0;
  expect_refused(post_upload(server.port(), "report", zip_with({huge, scan})), 400,
                 "entry too large: \"report.folvi.txt\"");
  zip_item lying_crc = report;
  lying_crc.declared_crc = 1;
  expect_refused(post_upload(server.port(), "report", zip_with({lying_crc, scan})), 400, "CRC-32 mismatch");
  expect_refused(post_upload(server.port(), "report", "this is not a zip archive at all"), 400, "not a ZIP archive");
  expect_refused(post_upload(server.port(), "report", screenshot_package()), 400,
                 "a report share carries only the texts");
  package_files bad_bmp = screenshot_files();
  bad_bmp.screenshot = "BM" + std::string(100, '\x7f');
  expect_refused(post_upload(server.port(), "screenshot", build_package(bad_bmp)), 400, "screenshot.bmp: ");
  expect_still_serving(server, 0);
}

TEST(bad_upload, wrong_fields_are_refused) {
  server_process server;
  std::string package = report_package();
  struct case_ {
    std::vector<body_part> parts;
    const char* reason;
  } cases[] = {
      {{{"kind", "report", ""}, {"data", package, "package.zip"}},
       "the first form field must be the text field \"type\""},
      {{{"type", "report", ""}, {"file", package, "package.zip"}},
       "the second form field must be the file field \"data\""},
      {{{"data", package, "package.zip"}, {"type", "report", ""}},
       "the first form field must be the text field \"type\""},
      {{{"type", "report", ""}, {"data", package, "package.tar"}}, "must be named \"package.zip\""},
      {{{"type", "report", ""}, {"data", package, ""}}, "the second form field must be the file field \"data\""},
      {{{"type", "report", ""}, {"data", package, "package.zip"}, {"extra", "x", ""}}, "more form fields"},
      {{{"type", "report", ""}}, "form field \"data\" missing"},
      {{{"type", "reports", ""}, {"data", package, "package.zip"}}, "field \"type\" must be"},
      {{{"type", std::string(100, 'r'), ""}, {"data", package, "package.zip"}}, "field \"type\" too long"},
  };
  for (const case_& c : cases)
    expect_refused(http_exchange(server.port(), upload_request(client_layout_body(c.parts))), 400, c.reason);
  expect_still_serving(server, 0);
}

TEST(bad_upload, requests_that_are_not_uploads_are_refused_before_reading) {
  server_process server;
  std::string body = upload_body("report", report_package());
  auto with_type = [&](const std::string& content_type) {
    return "POST /upload HTTP/1.1\r\nHost: localhost\r\nContent-Type: " + content_type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  expect_refused(http_exchange(server.port(), with_type("application/zip")), 415, "multipart/form-data");
  expect_refused(http_exchange(server.port(), with_type("multipart/form-data")), 415, "with a boundary");
  expect_refused(http_exchange(server.port(), upload_request(body, "Content-Encoding: gzip\r\n")), 415,
                 "compressed request bodies");
  expect_refused(http_exchange(server.port(),
                               "POST /upload HTTP/1.1\r\nHost: localhost\r\nTransfer-Encoding: chunked\r\n"
                               "Content-Type: multipart/form-data; boundary=i-will-not-crash\r\n\r\n0\r\n\r\n"),
                 411, "Content-Length");
  expect_refused(http_exchange(server.port(),
                               "POST /upload HTTP/1.1\r\nHost: localhost\r\n"
                               "Content-Type: multipart/form-data; boundary=i-will-not-crash\r\n\r\n"),
                 411, "Content-Length");
  expect_still_serving(server, 0);
}

TEST(bad_upload, an_oversized_body_is_answered_413_before_it_is_sent) {
  server_process server({"--max-body", "1M"});
  http_connection connection(server.port());
  // Only the head goes out; the reply comes without a byte of the declared gigabyte.
  ASSERT_TRUE(connection.send(
      "POST /upload HTTP/1.1\r\nHost: localhost\r\nContent-Type: multipart/form-data; boundary=i-will-not-crash\r\n"
      "Content-Length: 1073741824\r\n\r\n"));
  expect_refused(connection.receive(), 413, "upload larger than 1048576 bytes");
  EXPECT_TRUE(connection.closed_by_server());

  // Just over the limit with a real body: refused the same way.
  zip_item stored_report{"report.folvi.txt", std::string(1u << 20, 'r')};
  stored_report.deflate = false;
  std::string big = upload_body("report", zip_with({stored_report, {"stack_scan.txt", "s"}}));
  expect_refused(http_exchange(server.port(), upload_request(big)), 413, "upload larger than");
  expect_still_serving(server, 0);
}

// A client that ends its side before the declared length is told so (it can still read).
TEST(bad_upload, a_body_cut_short_stores_nothing) {
  server_process server;
  std::string body = upload_body("screenshot", screenshot_package());
  std::string request = upload_request(body);
  std::string head_only = request.substr(0, request.size() - body.size());
  // Cuts: in the first part, in the second part's headers, inside the package, just before the
  // trailing boundary, and inside the trailing boundary line.
  size_t cuts[] = {30, 150, body.size() / 2, body.size() - 22, body.size() - 10};
  for (size_t keep : cuts) {
    http_connection connection(server.port());
    ASSERT_TRUE(connection.send(head_only + body.substr(0, keep)));
    connection.finish_sending();
    expect_refused(connection.receive(), 400, "the body ended before its Content-Length");
  }
  expect_still_serving(server, 0);
  auto refusals_in = [](const std::string& log) {
    size_t refusals = 0;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
      if (line.find("\"POST /upload\" 400 ") != std::string::npos &&
          line.find("Rejected: the body ended before its Content-Length") != std::string::npos)
        ++refusals;
    return refusals;
  };
  std::string log = server.log_when([&](const std::string& text) { return refusals_in(text) >= std::size(cuts); });
  EXPECT_EQ(refusals_in(log), std::size(cuts)) << log;
}

TEST(bad_upload, a_thousand_uploads_in_a_loop_leave_exactly_the_accepted_ones) {
  server_process server({"--upload-rate", "100000", "--upload-burst", "100000"});
  std::string good_report = report_package();
  package_files small_shot;
  small_shot.screenshot = make_bmp(24, 16, test_pattern);
  std::string good_screenshot = build_package(small_shot);
  zip_item bomb{"report.folvi.txt", std::string(1u << 20, '\0')};
  bomb.declared_size = 10;
  std::string bad_package = build_zip({bomb, {"stack_scan.txt", "s"}});

  int accepted = 0, refused = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) {
    std::optional<http_reply> reply;
    switch (i % 4) {
      case 0: reply = post_upload(server.port(), "report", good_report); break;
      case 1: reply = post_upload(server.port(), "screenshot", good_screenshot); break;
      case 2: reply = post_upload(server.port(), "report", bad_package); break;
      default: {
        http_connection connection(server.port());
        std::string request = upload_request(upload_body("report", good_report));
        connection.send(request.substr(0, 200 + i % 300));
        connection.finish_sending();
        reply = connection.receive();
      }
    }
    ASSERT_TRUE(reply) << "upload " << i << " got no reply";
    if (reply->status == 200) {
      ++accepted;
    } else {
      ASSERT_EQ(reply->body.rfind("Rejected: ", 0), 0u) << i;
      ++refused;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("1000 uploads in %.2f s: %.0f per second\n", seconds, 1000 / seconds);
  EXPECT_EQ(accepted, 500);
  EXPECT_EQ(refused, 500);
  EXPECT_EQ(count_rows(server.database(), "shares"), accepted);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 250);
  expect_still_serving(server, accepted);
}
