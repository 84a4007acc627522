#include "share_ui_fakes.h"

#include <fstream>
#include <sstream>

#include "responder.h"

notepad_recorder::notepad_recorder() : real_(make_win32_report_files(nullptr)) {}

create_result notepad_recorder::create_new(const std::wstring& path, const std::string& bytes) {
  const create_result result = real_->create_new(path, bytes);
  if (result == create_result::created) created.push_back(path);
  return result;
}

bool notepad_recorder::launch_hidden(const std::wstring& program, const std::wstring& parameters, const std::wstring&) {
  launched.push_back(program + L" " + parameters);
  return true;
}

std::string notepad_recorder::take(const std::wstring& path) {
  std::string content;
  {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
  }
  DeleteFileW(path.c_str());
  return content;
}

http_target responder_target(const std::string& path) {
  http_target target;
  target.host = "127.0.0.1";
  target.port = responder_port();
  target.agent = "FOLVI share dialog tests";
  target.path = path;
  target.reply_chunk = 8192;
  return target;
}
