// The site's pages, its replies to unknown addresses, and hostile report text in a share page.
#include <gtest/gtest.h>

#include "golden.h"
#include "html_text.h"
#include "server_process.h"
#include "share_helpers.h"

namespace {

void expect_html_page(const std::optional<http_reply>& reply, int status) {
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, status);
  EXPECT_EQ(reply->header("content-type"), "text/html; charset=utf-8");
  EXPECT_EQ(reply->header("content-security-policy"),
            "default-src 'none'; img-src 'self'; style-src 'self'; base-uri 'none'; form-action 'none'; "
            "frame-ancestors 'none'");
  EXPECT_EQ(reply->header("x-content-type-options"), "nosniff");
  EXPECT_EQ(reply->body.find("<script"), std::string::npos);
  EXPECT_EQ(reply->body.find("style="), std::string::npos);  // inline styles would break under the policy
}

}  // namespace

TEST(pages, homepage_and_methodology_explain_the_benchmark_and_unknown_addresses_get_404) {
  server_process server;
  auto home = http_get(server.port(), "/app/homepage");
  expect_html_page(home, 200);
  EXPECT_NE(home->body.find("cold"), std::string::npos);
  EXPECT_NE(home->body.find("href=\"/app/methodology\""), std::string::npos);
  auto method = http_get(server.port(), "/app/methodology");
  expect_html_page(method, 200);
  for (const char* topic :
       {"<h2>Cold cache</h2>", "Buffers in flight", "FILE_FLAG_NO_BUFFERING", "standby list",
        "Read phase, then write phase", "The best-rate block", "Reading the report", "Read.99_perc",
        "<a href=\"/app/predictions\">predictions page</a>", "What keeps a few people from steering the answers"})
    EXPECT_NE(method->body.find(topic), std::string::npos) << topic;
  auto css = http_get(server.port(), "/app/style.css");
  ASSERT_TRUE(css);
  EXPECT_EQ(css->status, 200);
  EXPECT_EQ(css->header("content-type"), "text/css; charset=utf-8");
  auto root = http_get(server.port(), "/");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->status, 302);
  EXPECT_EQ(root->header("location"), "/app/homepage");
  for (const char* path : {"/nothing", "/app/", "/app/homepage/x", "/s/", "/s/short", "/s/AAAAAAAAAAAAAAAAAAAAAA",
                           "/s/AAAAAAAAAAAAAAAAAAAAAA/screenshot.png", "/s/AAAAAAAAAAAAAAAAAAAAAA/other.png",
                           "/s/../../etc/passwd", "/favicon.ico"})
    expect_html_page(http_get(server.port(), path), 404);
  auto get_upload = http_get(server.port(), "/upload");
  ASSERT_TRUE(get_upload);
  EXPECT_EQ(get_upload->status, 405);
  EXPECT_EQ(get_upload->header("allow"), "POST");
}

TEST(pages, hostile_report_text_stays_text) {
  server_process server;
  package_files files = screenshot_files();
  files.report =
      "Recorded                        <script>alert(1)</script>\r\n"
      "Device.model                    \"><img src=x onerror=alert(2)>\r\n"
      "Test.path                       C:\\</pre><iframe src=//evil>&amp;\xED\xA0\x80\xFF\r\n";
  auto reply = post_upload(server.port(), "screenshot", build_package(files));
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200);
  auto page = http_get(server.port(), "/s/" + share_id_of(*reply));
  expect_html_page(page, 200);
  for (const char* raw : {"<script>", "<img src=x", "</pre><iframe", "onerror=alert(2)>"})
    EXPECT_EQ(page->body.find(raw), std::string::npos) << raw;
  const std::string body = page->body,
                    report = body.substr(body.find("<pre"), body.find("</pre>") + 6 - body.find("<pre"));
  expect_golden(report + "\n", "hostile_report.html");
  EXPECT_EQ(valid_utf8(page->body), page->body);  // the stray bytes became U+FFFD
}
