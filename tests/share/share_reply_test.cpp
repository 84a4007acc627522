#include "share/share_reply.h"

#include <gtest/gtest.h>

#include "share/upload_progress.h"
#include "support/text.h"
#include "golden.h"
#include "unescaped.h"

// Each reply of the table, in a report share and in a screenshot share: accepted with its link or
// refused, and how the dialog ends.
namespace {
std::string shown(const std::wstring& text) {
  std::string out;
  for (char c : to_utf8(text)) out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c ? std::string(1, c) : "\\x00";
  return "[" + out + "]";
}
}  // namespace

TEST(share_reply, acceptance_link_and_how_the_dialog_ends) {
  expect_table("share/share_replies.txt", [](const std::string& question) {
    const bool screenshot = question.rfind("screenshot", 0) == 0;
    const std::string reply = unescaped(question.substr(question.find(' ') + 1));
    if (question == "preparation failed") return "result 2 " + shown(upload_preparation_failed().message);
    std::string link = "untouched";
    const bool accepted = accept_share_reply(screenshot, reply, &link);
    const upload_outcome o = upload_finished(screenshot, question.find("worker-failed") == std::string::npos, reply);
    return std::string(accepted ? "accepted " : "refused ") + link + ", result " + std::to_string(o.result) + " " +
           shown(o.message) + " " + shown(o.link);
  });
}

TEST(upload_progress, spinner_and_showing_time) {
  const wchar_t* cycle[] = {L"booq", L"doop", L"obqo", L"odpo", L"oqbo", L"opdo", L"qoob", L"pood"};
  for (unsigned i = 0; i < 16; ++i) EXPECT_STREQ(spinner_frame(i), cycle[i % 8]) << i;
  // One process-wide count: a later dialog goes on where the last one stopped.
  std::wstring first = next_spinner_frame();
  unsigned at = 0;
  while (first != cycle[at]) ++at;
  for (unsigned i = 1; i <= 11; ++i) EXPECT_STREQ(next_spinner_frame(), cycle[(at + i) % 8]);

  EXPECT_FALSE(upload_shown_long_enough(1000, 1000));
  EXPECT_FALSE(upload_shown_long_enough(1000, 2999));
  EXPECT_TRUE(upload_shown_long_enough(1000, 3000));
  // The tick count wraps after 49.7 days.
  EXPECT_FALSE(upload_shown_long_enough(0xFFFFFF00u, 0x00000100u));
  EXPECT_TRUE(upload_shown_long_enough(0xFFFFFF00u, 0x00000800u));
}
