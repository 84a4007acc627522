#include "responder.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string responder_folder() {
  const char* dir = std::getenv("FOLVI_TEST_RESPONDER_DIR");
  return dir ? dir : "";
}

namespace {

std::string read_unix_file(const std::string& unix_path) {
  // Wine maps the Unix root to drive Z:.
  std::string path = "Z:" + unix_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

uint16_t responder_port() { return uint16_t(std::atoi(read_unix_file(responder_folder() + "/port").c_str())); }

std::string responder_record(const std::string& name) { return read_unix_file(responder_folder() + "/" + name); }
