// Programs the tests start themselves, so that they signal and reap only their own children.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// Starts arguments[0] with its standard output and error into the files named (kept when empty).
pid_t start_program(std::vector<std::string> arguments, const std::string& out_file, const std::string& err_file);
// Starts it and waits for its end: its exit status, or -1 when it did not exit normally.
int run_program(const std::vector<std::string>& arguments, const std::string& out_file, const std::string& err_file);
// Whether `ready` came to hold while our child `pid` ran; a child that exited first is reaped (pid -1).
bool child_ready(pid_t& pid, const std::function<bool()>& ready);
// The signal to our child, then its exit status once reaped (-1 when it did not exit normally or none ran).
int end_child(pid_t& pid, int signal_number);
