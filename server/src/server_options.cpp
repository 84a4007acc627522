#include "server_options.h"

#include <cerrno>
#include <cstdlib>

const char server_usage[] =
    "Usage: folvi-share [options]\n"
    "Receives FOLVI benchmark shares and serves their pages.\n"
    "  --listen ADDRESS:PORT  where to listen (default 127.0.0.1:8443; port 0 picks a free one;\n"
    "                         IPv6 as [ADDRESS]:PORT)\n"
    "  --port-file FILE       write the port listened on to FILE once listening\n"
    "  --db FILE|URL          SQLite database file, created on first start (default folvi-share.db),\n"
    "                         or a PostgreSQL address postgresql://... shared by several servers\n"
    "  --backup FILE          copy the SQLite database (while servers use it) into FILE, and exit\n"
    "  --cert FILE --key FILE serve HTTPS with this PEM certificate chain and key (else HTTP)\n"
    "  --host NAME            host (and :port) written into share links\n"
    "                         (default localhost, with the port unless it is 443)\n"
    "  --max-body SIZE        largest upload body accepted, e.g. 16M (default 16M)\n"
    "  --help                 this text\n";

namespace {

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

}  // namespace

std::optional<uint64_t> parse_size(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t multiplier = 1;
  switch (text.back()) {
    case 'K': case 'k': multiplier = 1u << 10; break;
    case 'M': case 'm': multiplier = 1u << 20; break;
    case 'G': case 'g': multiplier = 1u << 30; break;
    default: break;
  }
  if (multiplier != 1) text.remove_suffix(1);
  if (text.empty() || text.size() > 12) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value == 0) return std::nullopt;
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
    std::string value = argv[++i];
    if (option == "--listen") {
      if (!parse_listen(value, options)) return error = "--listen wants ADDRESS:PORT, not " + value, false;
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
      if (!size) return error = "--max-body wants a size such as 16M, not " + value, false;
      options.max_body = *size;
    } else {
      error = "unknown option " + std::string(option);
      return false;
    }
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
