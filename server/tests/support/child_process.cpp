#include "child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

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
  int status = 0;
  waitpid(start_program(arguments, out_file, err_file), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
