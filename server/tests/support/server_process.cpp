#include "server_process.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "child_process.h"
#include "golden.h"

server_process::server_process(const std::vector<std::string>& extra_arguments)
    : folder_("/tmp/folvi-share-test.XXXXXX"), database_(folder_.path) {
  std::string port_file = folder() + "/port";
  // The test's own come last, so that a --config among the extra ones cannot move the port; the
  // database too, unless the test names another (a second server on the first one's database).
  std::vector<std::string> arguments = {FOLVI_SHARE_EXE};
  arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
  for (const char* own : {"--listen", "127.0.0.1:0", "--port-file"}) arguments.push_back(own);
  arguments.push_back(port_file);
  if (std::find(extra_arguments.begin(), extra_arguments.end(), "--db") == extra_arguments.end()) {
    arguments.push_back("--db");
    arguments.push_back(database());
  }
  pid_ = start_program(arguments, "", folder() + "/server.log");
  // A server that exits instead of writing its port file has failed to start.
  if (child_ready(pid_, [&] { return bool(std::ifstream(port_file) >> port_); })) return;
  stop();
  throw std::runtime_error("folvi-share did not start:\n" + log());
}

server_process::~server_process() { stop(); }

std::string server_process::log() const { return file_text(folder() + "/server.log"); }

std::string server_process::log_when(const std::function<bool(const std::string&)>& ready) const {
  std::string text;
  eventually([&] { return ready(text = log()); });
  return text;
}

void server_process::kill_hard() { end_child(pid_, SIGKILL); }

int server_process::stop() { return end_child(pid_, SIGTERM); }

void server_process::send_signal(int signal_number) const {
  if (pid_ > 0) kill(pid_, signal_number);
}

bool server_process::alive() {
  int status = 0;
  if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
  return pid_ > 0;
}
