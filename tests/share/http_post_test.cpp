#include "share/http_post.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstring>
#include <string>
#include <vector>

#include "golden.h"
#include "handle_count.h"
#include "recorded_errors.h"
#include "responder.h"
#include "share/multipart_body.h"

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

// What the server receives is the body as built (its bytes are the body's test) and these headers.
TEST(http_post, the_server_receives_the_body_and_header) {
  const char zip[] = "PK\x03\x04\0\0\r\n--i-will-not-crash--\r\n\x80\xff";
  http_target target = loopback();
  target.path = "record/utf8-name";
  recorded_errors errors;
  heap_buffer reply, body;
  reply.reserve(1024);
  const form_part parts[] = {text_field("type", "screenshot"),
                             memory_file_field("data", L"\u00e9t\u00e9 \u20ac.zip", zip, sizeof zip - 1), form_part()};
  ASSERT_TRUE(post_multipart(target, parts, &reply, &errors)) << errors.only();
  EXPECT_EQ(text_of(reply), "OK");
  ASSERT_TRUE(build_multipart_body(parts, body, nullptr));
  EXPECT_EQ(responder_record("utf8-name.body"), text_of(body));
  const size_t sent = body.size();
  const std::string head = responder_record("utf8-name.head");  // a name outside ASCII counts in bytes
  EXPECT_EQ(head.rfind("POST /record/utf8-name HTTP/1.1\r\n", 0), 0u) << head;
  for (const std::string& line : {std::string("Content-Type: multipart/form-data; boundary=i-will-not-crash"),
                                  std::string("User-Agent: FOLVI test agent"), std::string("Accept: */*"),
                                  "Content-Length: " + std::to_string(sent)})
    EXPECT_NE(head.find("\n" + line + "\n"), std::string::npos) << line << " in " << head;
}

// Each exchange of the table, with a reply buffer of 1,024 bytes that held 700 before: whether it
// succeeded (a GET with its status), what the buffer holds and the failures reported.
TEST(http_post, replies_that_fit_are_read_whole_and_others_fail) {
  expect_table("share/http_replies.txt", [](const std::string& question) {
    const std::vector<std::string> w = words(question);
    http_target target = loopback();
    if (w[1] == "nowhere") target.port = 1;  // nothing listens there
    target.path = w.back();
    heap_buffer reply;
    reply.resize(700);
    std::memset(reply.data(), 'u', 700);
    uint32_t status = 0;
    recorded_errors errors;
    if (w[0] == "post-unread")
      return std::to_string(http_post(target, target.path, nullptr, nullptr, &errors)) + ", " + errors.only();
    reply.reserve(1024);
    const bool ok = w[0] == "get" ? http_get(target, target.path, reply, status, &errors)
                                  : post_to(target.path, reply, errors, target);
    const std::string held = text_of(reply);
    const bool same = held.size() > 16 && held.find_first_not_of(held[0]) == std::string::npos;
    return (ok ? "ok " : "failed ") + std::to_string(status) + ", " +
           (same ? std::to_string(held.size()) + " x " + held[0] : "[" + held + "]") +
           (reply.data()[reply.size()] ? ", unterminated" : "") + ", " + errors.only();
  });
  const std::string head = responder_record("asked.head");
  EXPECT_EQ(head.rfind("GET /record/asked?direction=read&model=A%20B HTTP/1.1\r\n", 0), 0u) << head;
  EXPECT_EQ(head.find("Content-Type"), std::string::npos) << head;
  EXPECT_NE(head.find("\nUser-Agent: FOLVI test agent\n"), std::string::npos) << head;
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

TEST(http_post, no_leaks) {
  heap_buffer reply;
  recorded_errors errors;
  http_target nowhere = loopback();
  nowhere.port = 1;
  // Every path must give back all it took. WinINet keeps idle connections (a socket handle each)
  // depending on how the last exchange ended, so both counts are taken after the same round, and
  // each round ends with replies read whole, which leave one connection kept whatever came before.
  const auto round = [&] {
    post_to("reply/ok", reply, errors, nowhere);
    for (const char* path : {"reply/long-length", "reply/long-unsized", "reply/truncated", "reply/status-500",
                             "reply/redirect", "reply/ok"}) {
      heap_buffer r;
      post_to(path, r, errors);
      uint32_t status = 0;
      http_get(loopback(), std::string("/") + path, r, status, &errors);
    }
  };
  round();
  const DWORD before = process_handle_count();
  for (int i = 0; i < 3; ++i) round();
  EXPECT_EQ(process_handle_count(), before);
}
