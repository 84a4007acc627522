#include "share/http_post.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "handle_count.h"
#include "recorded_errors.h"
#include "responder.h"

namespace {

http_target loopback(uint32_t chunk = 8192) {
  http_target t;
  t.host = "127.0.0.1";
  t.port = responder_port();
  t.agent = "FOLVI test agent";
  t.reply_chunk = chunk;
  return t;
}

std::string text_of(const heap_buffer& b) { return std::string(reinterpret_cast<const char*>(b.data()), b.size()); }

// One post of a small form to `path`; the reply buffer holds at most 1,024 bytes.
bool post_to(const std::string& path, heap_buffer& reply, recorded_errors& errors, http_target target = loopback()) {
  target.path = path;
  const form_part parts[] = {text_field("type", "report"), form_part()};
  if (!reply.capacity()) reply.reserve(1024);
  return post_multipart(target, parts, &reply, &errors);
}

// Answers true until its limits are reached, and remembers what it saw.
class status_recorder final : public http_status_cb {
 public:
  bool on_status(HANDLE, DWORD status, void*, DWORD) override {
    statuses.push_back(status);
    return statuses.size() < status_limit;
  }
  bool on_progress(uint32_t received, uint32_t length) override {
    progress.push_back(std::to_string(received) + "/" + std::to_string(length));
    return progress.size() < progress_limit;
  }
  std::vector<DWORD> statuses;
  std::vector<std::string> progress;
  size_t status_limit = SIZE_MAX, progress_limit = SIZE_MAX;
};

}  // namespace

TEST(http_post, the_server_receives_the_exact_body_and_header) {
  const char zip[] = "PK\x03\x04\0\0\r\n--i-will-not-crash--\r\n\x80\xff";
  const std::string package(zip, sizeof zip - 1);
  http_target target = loopback();
  target.path = "record/golden";
  const form_part parts[] = {text_field("type", "screenshot"),
                             memory_file_field("data", L"package.zip", package.data(), uint32_t(package.size())),
                             form_part()};
  heap_buffer reply;
  reply.reserve(1024);
  recorded_errors errors;
  ASSERT_TRUE(post_multipart(target, parts, &reply, &errors)) << errors.only();
  EXPECT_EQ(text_of(reply), "OK");
  const std::string golden =
      "--i-will-not-crash\r\n"
      "Content-Disposition: form-data; name=\"type\"\r\n"
      "\r\n"
      "screenshot"
      "\r\n--i-will-not-crash\r\n"
      "--i-will-not-crash\r\n"
      "Content-Disposition: form-data; name=\"data\"; filename=\"package.zip\"\r\n"
      "Content-Type: application/octet-stream\r\n"
      "\r\n" +
      package + "\r\n--i-will-not-crash\r\n";
  EXPECT_EQ(responder_record("golden.body"), golden);
  const std::string head = responder_record("golden.head");
  EXPECT_EQ(head.rfind("POST /record/golden HTTP/1.1\r\n", 0), 0u) << head;
  EXPECT_NE(head.find("\nContent-Type: multipart/form-data; boundary=i-will-not-crash\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nUser-Agent: FOLVI test agent\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nAccept: */*\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nContent-Length: " + std::to_string(golden.size()) + "\n"), std::string::npos) << head;

  // A file name outside ASCII is counted in the bytes that are sent.
  target.path = "record/utf8-name";
  const form_part wide[] = {memory_file_field("data", L"\u00e9t\u00e9 \u20ac.zip", "z", 1), form_part()};
  ASSERT_TRUE(post_multipart(target, wide, &reply, &errors)) << errors.only();
  EXPECT_EQ(responder_record("utf8-name.body"),
            "--i-will-not-crash\r\nContent-Disposition: form-data; name=\"data\"; filename=\"\xc3\xa9t\xc3\xa9 "
            "\xe2\x82\xac.zip\"\r\nContent-Type: application/octet-stream\r\n\r\nz\r\n--i-will-not-crash\r\n");
}

TEST(http_post, replies_that_do_not_fit_fail) {
  struct {
    const char* path;
    const char* report;
  } cases[] = {
      {"reply/long-length", "HttpCheckReplySize 11111 1025 1024"},
      // Without a length the reply is read up to the room there is; one byte more fails the same way.
      {"reply/long-unsized", "HttpCheckReplySize 11111 1025 1024"},
      {"reply/long-chunked", "HttpCheckReplySize 11111 1025 1024"},
      {"reply/truncated", "InternetReadFile 11111 100 40"},
      {"reply/status-500", "CheckHttpStatusCode 500 "},
      // Redirects are not followed: the 302 itself fails.
      {"reply/redirect", "CheckHttpStatusCode 302 "},
  };
  for (const auto& c : cases) {
    heap_buffer reply;
    recorded_errors errors;
    EXPECT_FALSE(post_to(c.path, reply, errors)) << c.path;
    EXPECT_EQ(errors.only(), c.report) << c.path;
    if (std::string(c.path).find("status") != std::string::npos) {
      EXPECT_EQ(reply.size(), 0u);
    }
  }
  // Announced as too long: refused before a byte is read.
  heap_buffer reply;
  recorded_errors errors;
  post_to("reply/long-length", reply, errors);
  EXPECT_EQ(reply.size(), 0u);
}

TEST(http_post, replies_that_fit_are_read_whole) {
  struct {
    const char* path;
    std::string reply;
  } cases[] = {
      {"reply/full-length", std::string(1024, 'y')},
      {"reply/full-unsized", std::string(1024, 'w')},
      {"reply/short-unsized", "OK, unsized"},
      {"reply/ok", "OK"},
  };
  for (const auto& c : cases) {
    heap_buffer reply;
    recorded_errors errors;
    EXPECT_TRUE(post_to(c.path, reply, errors)) << c.path << ": " << errors.only();
    EXPECT_EQ(text_of(reply), c.reply) << c.path;
    EXPECT_EQ(reply.data()[reply.size()], 0);
  }
  // A buffer used before starts empty again.
  heap_buffer reply;
  recorded_errors errors;
  reply.reserve(1024);
  reply.resize(700);
  EXPECT_TRUE(post_to("reply/ok", reply, errors));
  EXPECT_EQ(text_of(reply), "OK");
  // No reply buffer: the reply is not read.
  http_target target = loopback();
  target.path = "reply/long-length";
  EXPECT_TRUE(http_post(target, target.path, nullptr, nullptr, &errors));
  EXPECT_TRUE(errors.all.empty());
}

TEST(http_post, status_callback_sees_progress_and_can_cancel) {
  status_recorder status;
  http_target target = loopback(1000);
  target.status = &status;
  heap_buffer reply;
  recorded_errors errors;
  ASSERT_TRUE(post_to("reply/full-length", reply, errors, target)) << errors.only();
  ASSERT_FALSE(status.statuses.empty());
  EXPECT_EQ(status.statuses[0], DWORD(INTERNET_STATUS_HANDLE_CREATED));
  EXPECT_EQ(status.progress, (std::vector<std::string>{"1000/1024", "1024/1024"}));

  status_recorder cancel_at_once;
  cancel_at_once.status_limit = 1;
  target.status = &cancel_at_once;
  EXPECT_FALSE(post_to("record/never", reply, errors, target));
  EXPECT_EQ(cancel_at_once.statuses, std::vector<DWORD>{INTERNET_STATUS_HANDLE_CREATED});
  EXPECT_EQ(responder_record("never.body"), "");

  status_recorder cancel_reading;
  cancel_reading.progress_limit = 1;
  target.status = &cancel_reading;
  EXPECT_FALSE(post_to("reply/full-length", reply, errors, target));
  EXPECT_EQ(cancel_reading.progress, std::vector<std::string>{"1000/1024"});
}

TEST(http_post, unreachable_server_and_no_leaks) {
  heap_buffer reply;
  recorded_errors errors;
  http_target nowhere = loopback();
  nowhere.port = 1;  // nothing listens there
  EXPECT_FALSE(post_to("reply/ok", reply, errors, nowhere));
  ASSERT_EQ(errors.all.size(), 1u);
  EXPECT_EQ(errors.all[0].api, "HttpSendRequest");
  EXPECT_EQ(errors.all[0].code, uint32_t(ERROR_INTERNET_CANNOT_CONNECT));

  // Every path must give back all it took. WinINet keeps idle connections (a socket handle each)
  // depending on how the last exchange ended, so both counts are taken after the same round.
  const auto round = [&] {
    for (const char* path : {"reply/ok", "reply/long-unsized", "reply/truncated", "reply/status-500", "reply/redirect",
                             "reply/long-length"}) {
      heap_buffer r;
      post_to(path, r, errors);
      uint32_t status = 0;
      http_get(loopback(), std::string("/") + path, r, status, &errors);
    }
    post_to("reply/ok", reply, errors, nowhere);
  };
  round();
  const DWORD before = process_handle_count();
  for (int i = 0; i < 3; ++i) round();
  EXPECT_EQ(process_handle_count(), before);
}

TEST(http_get, every_status_is_an_answer_read_like_a_post) {
  http_target target = loopback();
  heap_buffer reply;
  reply.reserve(1024);
  uint32_t status = 0;
  recorded_errors errors;
  ASSERT_TRUE(http_get(target, "/record/asked?direction=read&model=A%20B", reply, status, &errors)) << errors.only();
  EXPECT_EQ(status, 404u);
  EXPECT_EQ(text_of(reply), "{\"reason\":\"kept\"}");
  const std::string head = responder_record("asked.head");
  EXPECT_EQ(head.rfind("GET /record/asked?direction=read&model=A%20B HTTP/1.1\r\n", 0), 0u) << head;
  EXPECT_EQ(head.find("Content-Type"), std::string::npos) << head;
  EXPECT_NE(head.find("\nUser-Agent: FOLVI test agent\n"), std::string::npos) << head;

  ASSERT_TRUE(http_get(target, "/reply/status-500", reply, status, &errors)) << errors.only();
  EXPECT_EQ(status, 500u);
  EXPECT_EQ(text_of(reply), "Internal Server Error");
  // Not followed: the redirect is the answer.
  ASSERT_TRUE(http_get(target, "/reply/redirect", reply, status, &errors)) << errors.only();
  EXPECT_EQ(status, 302u);
  EXPECT_TRUE(errors.all.empty());

  // The same limits as a post's reply.
  EXPECT_FALSE(http_get(target, "/reply/long-unsized", reply, status, &errors));
  EXPECT_EQ(errors.only(), "HttpCheckReplySize 11111 1025 1024");
  recorded_errors unreachable;
  target.port = 1;
  EXPECT_FALSE(http_get(target, "/reply/ok", reply, status, &unreachable));
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(unreachable.all.size(), 1u);
  EXPECT_EQ(unreachable.all[0].code, uint32_t(ERROR_INTERNET_CANNOT_CONNECT));
}
