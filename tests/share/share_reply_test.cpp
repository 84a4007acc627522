#include "share/share_reply.h"

#include <gtest/gtest.h>

#include "share/upload_progress.h"

TEST(share_reply, acceptance_and_link) {
  std::string link = "untouched";
  EXPECT_TRUE(accept_share_reply(false, "OK", &link));
  EXPECT_TRUE(accept_share_reply(false, "OK, stored as 17", &link));
  EXPECT_FALSE(accept_share_reply(false, "Ok", &link));
  EXPECT_FALSE(accept_share_reply(false, "", &link));
  EXPECT_FALSE(accept_share_reply(false, "Rejected: too large", &link));
  EXPECT_EQ(link, "untouched");  // a report share has no link

  EXPECT_FALSE(accept_share_reply(true, "OK", &link));
  EXPECT_FALSE(accept_share_reply(true, "OK\r\nhttp://example.net/s/1", &link));
  EXPECT_FALSE(accept_share_reply(true, "OK\nhttps://example.net/s/1", &link));
  EXPECT_TRUE(accept_share_reply(true, "OK\r\nhttps://example.net/s/1", &link));
  EXPECT_EQ(link, "https://example.net/s/1");
  // Trailing line ends are not part of the link.
  EXPECT_TRUE(accept_share_reply(true, "OK\r\nhttps://example.net/s/2\r\n", &link));
  EXPECT_EQ(link, "https://example.net/s/2");
  EXPECT_TRUE(accept_share_reply(true, "OK\r\nhttps://example.net/s/3\n\r\n", &link));
  EXPECT_EQ(link, "https://example.net/s/3");
  // The link goes to the shell as it stands: nothing inside it that could split it.
  EXPECT_FALSE(accept_share_reply(true, "OK\r\nhttps://example.net/s/4\r\nfile:///c:/x", &link));
  EXPECT_FALSE(accept_share_reply(true, "OK\r\nhttps://example.net/a b", &link));
  EXPECT_FALSE(accept_share_reply(true, std::string("OK\r\nhttps://x\0y", 14), &link));
  EXPECT_EQ(link, "https://example.net/s/3");
}

TEST(upload_progress, how_the_dialog_ends) {
  upload_outcome o = upload_preparation_failed();
  EXPECT_EQ(o.result, 2);
  EXPECT_EQ(o.message, L"Error preparing for the upload");

  o = upload_finished(true, false, "OK\r\nhttps://example.net/s/1");
  EXPECT_EQ(o.result, 2);
  EXPECT_EQ(o.message, L"Regrettably, upload failed");
  EXPECT_EQ(o.link, L"");

  o = upload_finished(false, true, "OK");
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.message, L"");
  EXPECT_EQ(o.link, L"");  // a report share opens nothing

  o = upload_finished(true, true, "OK");
  EXPECT_EQ(o.result, 2);
  EXPECT_EQ(o.message, L"Upload failed. Server response:\n\nOK");

  o = upload_finished(false, true, "Rejected: no report \xe2\x80\x94 empty");
  EXPECT_EQ(o.message, L"Upload failed. Server response:\n\nRejected: no report \u2014 empty");

  o = upload_finished(true, true, "OK\r\nhttps://example.net/s/\xc3\xa9\r\n");
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.link, L"https://example.net/s/\u00e9");
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
