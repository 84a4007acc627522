#include "share/share_reply.h"

#include <cstring>

namespace {

constexpr char report_accepted[] = "OK";
constexpr char screenshot_accepted[] = "OK\r\nhttps://";
constexpr size_t link_offset = 4;  // after "OK" and CR LF

bool begins_with(const std::string& text, const char* prefix) { return text.compare(0, strlen(prefix), prefix) == 0; }

bool plain_link(const std::string& link) {
  for (unsigned char c : link)
    if (c <= ' ' || c == 0x7F) return false;
  return true;
}

}  // namespace

bool accept_share_reply(bool screenshot, const std::string& reply, std::string* link) {
  if (!screenshot) return begins_with(reply, report_accepted);
  if (!begins_with(reply, screenshot_accepted)) return false;
  std::string text = reply.substr(link_offset);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  if (!plain_link(text)) return false;
  if (link) *link = text;
  return true;
}
