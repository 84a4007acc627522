#include "server_options.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <vector>

const char server_usage[] =
    "Usage: folvi-share [options]\n"
    "Receives FOLVI benchmark shares and serves their pages.\n"
    "  --config FILE          read options from FILE: one \"NAME VALUE\" a line, NAME an option\n"
    "                         below without its dashes; # begins a comment\n"
    "  --listen ADDRESS:PORT  where to listen (default 127.0.0.1:8443; port 0 picks a free one;\n"
    "                         IPv6 as [ADDRESS]:PORT)\n"
    "  --port-file FILE       write the port listened on to FILE once listening\n"
    "  --db FILE|URL          SQLite database file, created on first start (default folvi-share.db),\n"
    "                         or a PostgreSQL address postgresql://... shared by several servers\n"
    "  --backup FILE          copy the SQLite database (while servers use it) into FILE, and exit\n"
    "  --cert FILE --key FILE serve HTTPS with this PEM certificate chain and key (else HTTP);\n"
    "                         SIGHUP loads them again\n"
    "  --host NAME            host (and :port) written into share links\n"
    "                         (default localhost, with the port unless it is 443)\n"
    "  --max-body SIZE        largest upload body accepted, e.g. 16M (default 16M, at most 1G)\n"
    "  --log FILE             request log (default standard error); SIGHUP reopens it\n"
    "  --trusted-proxy ADDRESS  a proxy whose X-Forwarded-For names the client (repeatable)\n"
    "  --upload-rate N        uploads per second per client, sustained (default 1)\n"
    "  --upload-burst N       uploads per client at once before the rate holds (default 20)\n"
    "  --client-connections N open connections per client address (default 64)\n"
    "  --connections N        open connections in all (default 10000)\n"
    "  --header-timeout S     seconds for a request's head to arrive (default 10)\n"
    "  --body-timeout S       seconds for an upload body to arrive after its head (default 60)\n"
    "  --conversions N        uploads unpacked and converted at once (default 2)\n"
    "  --threads N            network threads (default 2)\n"
    "  --learn-from real|synthetic  reports the strategy model learns from (default real);\n"
    "                         synthetic takes only generated test reports, and the pages say so\n"
    "  --model-refresh S      seconds between looks for reports that other servers stored\n"
    "                         (default 30; this server's own uploads count at once)\n"
    "  --help                 this text\n";

namespace {

constexpr uint64_t largest_body = uint64_t{1} << 30;  // bodies are held in memory

bool parse_port(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  port = value;
  return true;
}

bool parse_listen(std::string_view text, server_options& options) {
  size_t colon;
  std::string_view address;
  if (!text.empty() && text[0] == '[') {
    size_t close = text.find(']');
    if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') return false;
    address = text.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = text.rfind(':');
    if (colon == std::string_view::npos) return false;
    address = text.substr(0, colon);
  }
  if (address.empty()) return false;
  options.address = std::string(address);
  return parse_port(text.substr(colon + 1), options.port);
}

bool parse_count(const std::string& text, int low, int high, int& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  int value = std::atoi(text.c_str());
  if (value < low || value > high) return false;
  out = value;
  return true;
}

bool parse_rate(const std::string& text, double& out) {
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0 || !(value > 0) || value > 1e9) return false;
  out = value;
  return true;
}

bool apply_option(std::string_view option, const std::string& value, server_options& options, std::string& error,
                  int depth);

// Lines "NAME VALUE"; blank lines and lines starting with # are skipped.
bool read_config(const std::string& path, server_options& options, std::string& error, int depth) {
  if (depth > 4) return error = "--config files include each other too deeply", false;
  std::ifstream in(path);
  if (!in) return error = "cannot read the config file " + path, false;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    size_t name_end = line.find_first_of(" \t", start);
    std::string name = line.substr(start, name_end - start);
    size_t value_at = name_end == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", name_end);
    std::string value = value_at == std::string::npos ? std::string() : line.substr(value_at);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    std::string where = path + ":" + std::to_string(number) + ": ";
    if (name == "help" || value.empty()) return error = where + name + " needs a value", false;
    if (!apply_option("--" + name, value, options, error, depth + 1)) return error = where + error, false;
  }
  return true;
}

bool apply_option(std::string_view option, const std::string& value, server_options& options, std::string& error,
                  int depth) {
  auto wrong = [&](const char* wants) {
    return error = std::string(option) + " wants " + wants + ", not " + value, false;
  };
  if (option == "--listen") {
    if (!parse_listen(value, options)) return wrong("ADDRESS:PORT");
  } else if (option == "--config") {
    return read_config(value, options, error, depth);
  } else if (option == "--port-file") {
    options.port_file = value;
  } else if (option == "--db") {
    options.database = value;
  } else if (option == "--backup") {
    if (value.empty()) return error = "--backup needs a file name", false;
    options.backup_file = value;
  } else if (option == "--cert") {
    options.cert_file = value;
  } else if (option == "--key") {
    options.key_file = value;
  } else if (option == "--host") {
    if (value.empty() || value.find_first_of("/\\ \r\n") != std::string::npos)
      return error = "--host wants a host name, optionally with :port", false;
    options.host = value;
  } else if (option == "--max-body") {
    auto size = parse_size(value);
    if (!size || *size > largest_body) return wrong("a size from 1 to 1G such as 16M");
    options.max_body = *size;
  } else if (option == "--log") {
    options.log_file = value;
  } else if (option == "--trusted-proxy") {
    options.trusted_proxies.push_back(value);
  } else if (option == "--upload-rate") {
    if (!parse_rate(value, options.upload_rate)) return wrong("a number of uploads per second above 0");
  } else if (option == "--upload-burst") {
    if (!parse_rate(value, options.upload_burst) || options.upload_burst < 1) return wrong("a number from 1");
  } else if (option == "--client-connections") {
    if (!parse_count(value, 1, 1000000, options.max_client_connections)) return wrong("a count from 1");
  } else if (option == "--connections") {
    if (!parse_count(value, 1, 1000000, options.max_connections)) return wrong("a count from 1");
  } else if (option == "--header-timeout") {
    if (!parse_count(value, 1, 3600, options.header_seconds)) return wrong("seconds from 1 to 3600");
  } else if (option == "--body-timeout") {
    if (!parse_count(value, 1, 3600, options.body_seconds)) return wrong("seconds from 1 to 3600");
  } else if (option == "--conversions") {
    if (!parse_count(value, 1, 64, options.conversions)) return wrong("a count from 1 to 64");
  } else if (option == "--threads") {
    if (!parse_count(value, 1, 64, options.threads)) return wrong("a count from 1 to 64");
  } else if (option == "--learn-from") {
    if (value != "real" && value != "synthetic") return wrong("real or synthetic");
    options.learn_synthetic = value == "synthetic";
  } else if (option == "--model-refresh") {
    if (!parse_count(value, 1, 86400, options.model_refresh_seconds)) return wrong("seconds from 1 to 86400");
  } else {
    error = "unknown option " + std::string(option);
    return false;
  }
  return true;
}

}  // namespace

std::optional<uint64_t> parse_size(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t multiplier = 1;
  switch (text.back()) {
    case 'K':
    case 'k': multiplier = 1u << 10; break;
    case 'M':
    case 'm': multiplier = 1u << 20; break;
    case 'G':
    case 'g': multiplier = 1u << 30; break;
    default: break;
  }
  if (multiplier != 1) text.remove_suffix(1);
  if (text.empty() || text.size() > 20) return std::nullopt;
  uint64_t value = 0;
  const uint64_t most = std::numeric_limits<uint64_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (most - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (value == 0 || value > most / multiplier) return std::nullopt;
  return value * multiplier;
}

bool parse_server_options(int argc, const char* const* argv, server_options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = std::string(option) + (option.rfind("--", 0) == 0 ? " needs a value" : ": unknown argument");
      return false;
    }
    if (!apply_option(option, argv[++i], options, error, 0)) return false;
  }
  if (options.cert_file.empty() != options.key_file.empty()) {
    error = "--cert and --key go together";
    return false;
  }
  if (options.database.empty()) {
    error = "--db needs a file name";
    return false;
  }
  return true;
}

std::string link_host(const server_options& options, int bound_port) {
  if (!options.host.empty()) return options.host;
  return bound_port == 443 ? "localhost" : "localhost:" + std::to_string(bound_port);
}
