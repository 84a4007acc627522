#include "server_process.h"

#include "child_process.h"
#include "golden.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

server_process::server_process(const std::vector<std::string>& extra_arguments) {
  char pattern[] = "/tmp/folvi-share-test.XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  database_ = std::make_unique<test_database>(folder_);
  std::string port_file = folder_ + "/port";
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
  std::string log_file = folder_ + "/server.log";

  pid_ = start_program(arguments, "", log_file);
  // Wait for the port file; a server that exits instead has failed to start.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::ifstream in(port_file);
    if (in >> port_) return;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("folvi-share did not start:\n" + log());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stop();
  throw std::runtime_error("folvi-share wrote no port file:\n" + log());
}

server_process::~server_process() {
  stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string server_process::log() const { return file_text(folder_ + "/server.log"); }

std::string server_process::log_when(const std::function<bool(const std::string&)>& ready) const {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string text = log();
  while (!ready(text) && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    text = log();
  }
  return text;
}

void server_process::kill_hard() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

int server_process::stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void server_process::send_signal(int signal_number) const {
  if (pid_ > 0) kill(pid_, signal_number);
}

bool server_process::alive() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  pid_ = -1;
  return false;
}
