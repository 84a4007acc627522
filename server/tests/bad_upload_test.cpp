// Hostile and broken uploads: each is refused with a clear status and reason, or stored whole;
// the server goes on answering and the database holds exactly the accepted shares. What the
// package and form readers refuse is theirs to say; here it is how each refusal is answered.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <regex>

#include "golden.h"
#include "server_process.h"
#include "share_helpers.h"
#include "test_images.h"
#include "upload_body.h"

namespace {

// The reply's status and body, and whether it closes the connection.
std::string answer(const std::optional<http_reply>& reply) {
  if (!reply) return "no reply";
  return std::to_string(reply->status) + " " + reply->body + (reply->header("connection") == "close" ? " (close)" : "");
}

void expect_still_serving(const server_process& server, long long shares) {
  EXPECT_EQ(status_of(http_get(server.port(), "/app/homepage")), 200);
  EXPECT_EQ(count_rows(server.database(), "shares"), shares);
}

std::string cut_upload(int port, const std::string& request, size_t keep) {
  http_connection connection(port);
  connection.send(request.substr(0, keep));
  connection.finish_sending();
  return answer(connection.receive());
}

}  // namespace

TEST(bad_upload, each_refusal_says_why_and_closes_the_connection) {
  server_process server({"--max-body", "1M"});
  std::string body = upload_body("screenshot", screenshot_package());
  std::string request = upload_request(body), head = request.substr(0, request.size() - body.size());
  const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
  const std::string post = "POST /upload HTTP/1.1\r\nHost: localhost\r\n";
  const std::string form = "Content-Type: multipart/form-data; boundary=i-will-not-crash\r\n";
  zip_item stored_report{"report.folvi.txt", std::string(1u << 20, 'r')};
  stored_report.deflate = false;
  std::string transcript;
  for (const std::string& sent :
       {upload_request(upload_body("report", "this is not a zip archive at all")),
        upload_request(client_layout_body({{"type", "report", ""}})),
        post + "Content-Type: application/zip\r\n" + length + "\r\n" + body,
        post + "Content-Type: multipart/form-data\r\n" + length + "\r\n" + body,
        upload_request(body, "Content-Encoding: gzip\r\n"),
        post + "Transfer-Encoding: chunked\r\n" + form + "\r\n0\r\n\r\n", post + form + "\r\n",
        upload_request(body, length), upload_request(body, "Content-Length: 5\r\n"),
        upload_request(upload_body("report", build_zip({stored_report, {"stack_scan.txt", "s"}})))})
    transcript += answer(http_exchange(server.port(), sent)) + "\n";
  // Only the head goes out; the reply comes without a byte of the declared gigabyte.
  http_connection connection(server.port());
  ASSERT_TRUE(connection.send(post + form + "Content-Length: 1073741824\r\n\r\n"));
  transcript += answer(connection.receive());
  transcript += connection.closed_by_server() ? " closed\n" : " left open\n";
  // A client that ends its side before the declared length is told so (it can still read): cut
  // in the first part, in the second part's headers, inside the package, just before the
  // trailing boundary, and inside the trailing boundary line.
  for (size_t keep : {30ul, 150ul, body.size() / 2, body.size() - 22, body.size() - 10})
    transcript += cut_upload(server.port(), request, head.size() + keep) + "\n";
  expect_golden(transcript, "bad_uploads.txt");
  expect_still_serving(server, 0);
  auto cuts_logged = [](const std::string& log) {
    std::regex cut("\"POST /upload\" 400 [^\n]*Rejected: the body ended before its Content-Length");
    return std::distance(std::sregex_iterator(log.begin(), log.end(), cut), std::sregex_iterator());
  };
  std::string log = server.log_when([&](const std::string& text) { return cuts_logged(text) >= 5; });
  EXPECT_EQ(cuts_logged(log), 5) << log;
}

TEST(bad_upload, a_thousand_uploads_in_a_loop_leave_exactly_the_accepted_ones) {
  server_process server({"--upload-rate", "100000", "--upload-burst", "100000"});
  std::string good_report = report_package(), request = upload_request(upload_body("report", good_report));
  package_files small_shot;
  small_shot.screenshot = make_bmp(24, 16, test_pattern);
  std::string good_screenshot = build_package(small_shot);
  zip_item bomb{"report.folvi.txt", std::string(1u << 20, '\0')};
  bomb.declared_size = 10;
  std::string bad_package = build_zip({bomb, {"stack_scan.txt", "s"}});
  int accepted = 0, refused = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; ++i) {
    std::string reply = i % 4 == 0   ? answer(post_upload(server.port(), "report", good_report))
                        : i % 4 == 1 ? answer(post_upload(server.port(), "screenshot", good_screenshot))
                        : i % 4 == 2 ? answer(post_upload(server.port(), "report", bad_package))
                                     : cut_upload(server.port(), request, 200 + i % 300);
    if (reply.rfind("200 OK", 0) == 0) ++accepted;
    else if (reply.rfind("400 Rejected: ", 0) == 0) ++refused;
    else ADD_FAILURE() << "upload " << i << ": " << reply;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("1000 uploads in %.2f s: %.0f per second\n", seconds, 1000 / seconds);
  EXPECT_EQ(accepted, 500);
  EXPECT_EQ(refused, 500);
  EXPECT_EQ(count_rows(server.database(), "share_images"), 250);
  expect_still_serving(server, accepted);
}
