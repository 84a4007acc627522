// Programs the tests start themselves, so that they signal and reap only their own children.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

// Starts arguments[0] with its standard output and error into the files named (kept when empty).
pid_t start_program(std::vector<std::string> arguments, const std::string& out_file, const std::string& err_file);
// Starts it and waits for its end: its exit status, or -1 when it did not exit normally.
int run_program(const std::vector<std::string>& arguments, const std::string& out_file, const std::string& err_file);
