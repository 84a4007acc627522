// folvi-share: receives the benchmark's uploads and serves the share pages.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "share_server.h"

namespace {

bool write_port_file(const std::string& path, int port) {
  // Written aside and renamed, so a reader never sees a partial number.
  std::string temporary = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << port << "\n";
    if (!out.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  server_options options;
  std::string error;
  if (!parse_server_options(argc, argv, options, error)) {
    std::fprintf(stderr, "folvi-share: %s\n\n%s", error.c_str(), server_usage);
    return 2;
  }
  if (options.help) {
    std::fputs(server_usage, stdout);
    return 0;
  }

  // Termination signals are taken by one waiting thread; every other thread blocks them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a client gone mid-reply is an error return, not a signal

  auto store = share_store::open(options.database, error);
  std::string database = printable_database_address(options.database);
  if (!store) {
    std::fprintf(stderr, "folvi-share: database %s: %s\n", database.c_str(), error.c_str());
    return 1;
  }
  if (!options.backup_file.empty()) {
    if (!store->backup(options.backup_file, error)) {
      std::fprintf(stderr, "folvi-share: backup of %s: %s\n", database.c_str(), error.c_str());
      return 1;
    }
    std::fprintf(stderr, "folvi-share: copied %s into %s\n", database.c_str(), options.backup_file.c_str());
    return 0;
  }
  share_server server(options, package_limits{}, *store);
  int port = server.bind(error);
  if (port < 0) {
    std::fprintf(stderr, "folvi-share: %s\n", error.c_str());
    return 1;
  }
  if (!options.port_file.empty() && !write_port_file(options.port_file, port)) {
    std::fprintf(stderr, "folvi-share: cannot write the port file %s\n", options.port_file.c_str());
    return 1;
  }
  std::fprintf(stderr, "folvi-share: listening on %s://%s:%d, database %s\n",
               options.cert_file.empty() ? "http" : "https", options.address.c_str(), port, database.c_str());

  std::atomic<bool> signalled{false};
  std::thread signal_waiter([&server, &signalled, stop_signals] {
    int received = 0;
    sigwait(&stop_signals, &received);
    signalled = true;
    server.stop();
  });
  bool served = server.run();
  // run() also ends when listening fails; the waiter is then woken by a signal of its own.
  if (!signalled) pthread_kill(signal_waiter.native_handle(), SIGTERM);
  signal_waiter.join();
  if (!options.port_file.empty()) std::remove(options.port_file.c_str());
  std::fprintf(stderr, "folvi-share: stopped\n");
  return served ? 0 : 1;
}
