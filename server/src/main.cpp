// folvi-share: receives the benchmark's uploads and serves the share pages.
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

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

// Every open connection is a descriptor; the default soft limit of 1024 is far too few.
void raise_descriptor_limit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
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

  // Signals are taken by one waiting thread; every other thread blocks them.
  sigset_t handled;
  sigemptyset(&handled);
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) sigaddset(&handled, signal_number);
  pthread_sigmask(SIG_BLOCK, &handled, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a client gone mid-reply is an error return, not a signal
  raise_descriptor_limit();

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

  std::thread signal_waiter([&server, handled] {
    for (;;) {
      int received = 0;
      if (sigwait(&handled, &received) != 0) continue;
      if (received == SIGHUP) {
        std::string reload_error;
        if (server.reload(reload_error))
          std::fprintf(stderr, "folvi-share: SIGHUP: log reopened, certificate reloaded\n");
        else std::fprintf(stderr, "folvi-share: SIGHUP: %s; going on as before\n", reload_error.c_str());
      } else if (received == SIGUSR1 || received == SIGUSR2) {
        std::fprintf(stderr, "folvi-share: signal %d ignored\n", received);
      } else {
        std::fprintf(stderr, "folvi-share: stopping: finishing the requests in flight\n");
        server.drain();
        return;
      }
    }
  });
  server.run();
  signal_waiter.join();
  if (!options.port_file.empty()) std::remove(options.port_file.c_str());
  std::fprintf(stderr, "folvi-share: stopped\n");
  return 0;
}
