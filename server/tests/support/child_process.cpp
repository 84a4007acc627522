#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "golden.h"

pid_t start_program(std::vector<std::string> arguments, const std::string& out_file, const std::string& err_file) {
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid > 0) return pid;
  for (auto [file, descriptor] : {std::pair{&out_file, 1}, {&err_file, 2}}) {
    int opened = file->empty() ? -1 : open(file->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (opened >= 0) dup2(opened, descriptor);
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

int run_program(const std::vector<std::string>& arguments, const std::string& out_file, const std::string& err_file) {
  pid_t pid = start_program(arguments, out_file, err_file);
  return end_child(pid, 0);
}

bool child_ready(pid_t& pid, const std::function<bool()>& ready) {
  bool exited = false, held = false;
  eventually([&] {
    int status = 0;
    exited = waitpid(pid, &status, WNOHANG) == pid;
    return exited || (held = ready());
  });
  if (exited) pid = -1;
  return held;
}

int end_child(pid_t& pid, int signal_number) {
  if (pid <= 0) return -1;
  if (signal_number) kill(pid, signal_number);
  int status = 0;
  waitpid(pid, &status, 0);
  pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
