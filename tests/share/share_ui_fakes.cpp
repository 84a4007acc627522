#include "share_ui_fakes.h"

#include "responder.h"

http_target responder_target(const std::string& path) {
  http_target target;
  target.host = "127.0.0.1";
  target.port = responder_port();
  target.agent = "FOLVI share dialog tests";
  target.path = path;
  target.reply_chunk = 8192;
  return target;
}
