#include "app/prediction.h"

#include <windows.h>
#include <wininet.h>

#include <array>
#include <cmath>
#include <cstring>

#include "bench/profile_limits.h"
#include "results/json_reader.h"
#include "results/report_parse.h"
#include "share/http_post.h"
#include "support/format_string.h"

namespace {
constexpr size_t longest_reason = 200;  // bytes of the server's reason that are shown
constexpr uint32_t status_ok = 200, status_not_found = 404, status_bad_request = 400;
const char* const levels[] = {"model", "kind and bus", "kind", "all"};

std::string fact(const report_entries& facts, const char* key) {
  for (const report_entry& e : facts)
    if (e.key == key) return e.value;
  return std::string();
}

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Text from the network as one harmless line: each run of control characters one space, and not
// too long.
std::string printable(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i)
    if (!is_control(text[i])) line += text[i];
    else if (i == 0 || !is_control(text[i - 1])) line += ' ';
  if (line.size() <= longest_reason) return line;
  size_t cut = longest_reason;
  while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  return line.substr(0, cut) + "...";
}

// The "reason" of an error answer, empty when it has none.
std::string reason_of(const std::string& body) {
  json_value doc;
  std::string ignored;
  if (!read_json(body, doc, ignored)) return std::string();
  const json_value* reason = doc.find("reason");
  return reason && reason->kind == json_value::string ? printable(reason->text) : std::string();
}

const json_value* member(const json_value& v, const char* key, json_value::kind_t kind, std::string& why) {
  const json_value* m = v.find(key);
  if (m && m->kind == kind) return m;
  why = format_string("\"%s\" is %s", key, m ? "of the wrong type" : "missing");
  return nullptr;
}

bool whole(const json_value& v, const char* key, uint32_t least, uint32_t most, uint32_t& out, std::string& why) {
  const json_value* m = member(v, key, json_value::number, why);
  if (!m) return false;
  if (!(m->num >= least && m->num <= most) || std::floor(m->num) != m->num)
    return why = format_string("\"%s\" is not a whole number from %u to %u", key, unsigned(least), unsigned(most)),
           false;
  out = uint32_t(m->num);
  return true;
}

bool share(const json_value& v, const char* key, double& out, std::string& why) {
  const json_value* m = member(v, key, json_value::number, why);
  if (!m) return false;
  if (!(m->num >= 0 && m->num <= 1)) return why = format_string("\"%s\" is not a share from 0 to 1", key), false;
  out = m->num;
  return true;
}

bool text_from(const json_value& v, const char* key, bool (*allowed)(const std::string&), std::string& out,
               std::string& why) {
  const json_value* m = member(v, key, json_value::string, why);
  if (!m) return false;
  if (!allowed(m->text)) return why = format_string("\"%s\" is not known: \"", key) + printable(m->text) + "\"", false;
  out = m->text;
  return true;
}

bool known_level(const std::string& text) {
  for (const char* l : levels)
    if (text == l) return true;
  return false;
}

bool known_mode(const std::string& text) { return mode_of(text) >= 0; }

// The query's names of the device's facts, in the order they are asked.
std::array<std::pair<const char*, const std::string*>, 5> named_facts(const predict_device& d) {
  return {{{"type", &d.type}, {"vendor", &d.vendor}, {"model", &d.model}, {"bus", &d.bus}, {"usb", &d.usb}}};
}

bool recommendation(const json_value& doc, const char* direction, prediction& out, std::string& why) {
  const json_value* asked = member(doc, "direction", json_value::string, why);
  if (!asked) return false;
  if (asked->text != direction)
    return why = "\"direction\" is \"" + printable(asked->text) + "\", not \"" + direction + "\"", false;
  const json_value* basis = member(doc, "basis", json_value::object, why);
  return whole(doc, "size", 1, UINT32_MAX, out.size, why) && whole(doc, "count", 1, most_buffers, out.count, why) &&
         text_from(doc, "mode", known_mode, out.mode, why) &&
         share(doc, "expected_efficiency", out.expected_efficiency, why) &&
         share(doc, "within_5_percent", out.within_5_percent, why) && basis &&
         text_from(*basis, "level", known_level, out.level, why) &&
         whole(*basis, "observations", 1, UINT32_MAX, out.observations, why);
}
// What the usual failures of a request mean to the person who ran it.
const char* failure_meaning(const api_error_info& failure) {
  if (failure.code == reply_size_check_code)
    return failure.api == "HttpCheckReplySize" ? "its answer is too long" : "its answer was cut short";
  switch (failure.code) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return "its name is not known";
    case ERROR_INTERNET_CANNOT_CONNECT: return "it cannot be connected to";
    case ERROR_INTERNET_TIMEOUT: return "it did not answer in time";
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET: return "the connection broke off";
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED: return "its certificate is not trusted";
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR: return "TLS failed";
    default: return "the request failed";
  }
}
}  // namespace

std::string no_answer_line(const std::string& server, const api_error_info& failure) {
  return "no answer from " + server + ": " + failure_meaning(failure) + " (" + printable(failure.api) + "() " +
         failure_text(failure.code) + ")";
}

predict_device device_of(const report_entries& storage_facts) {
  return {fact(storage_facts, "Device.type"), fact(storage_facts, "Device.vendor"), fact(storage_facts, "Device.model"),
          fact(storage_facts, "Device.bus"), fact(storage_facts, "Device.usb")};
}

std::string url_encoded(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || std::strchr("-._~", c))
      out += char(c);
    else out += format_string("%%%02X", unsigned(c));
  }
  return out;
}

std::string predict_path(const char* direction, const predict_device& device) {
  std::string path = std::string("/api/v1/predict?direction=") + direction;
  for (const auto& f : named_facts(device))
    if (!f.second->empty()) path += std::string("&") + f.first + "=" + url_encoded(*f.second);
  return path;
}

bool read_prediction(uint32_t status, const std::string& body, const char* direction, prediction& out,
                     std::string& error) {
  out = prediction();
  if (status != status_ok) {
    const std::string reason = reason_of(body);
    if (status == status_not_found)
      error = "the server has no recommendation" + (reason.empty() ? std::string(" (HTTP 404)") : ": " + reason);
    else if (status == status_bad_request)
      error = "the server refused the question" + (reason.empty() ? std::string(" (HTTP 400)") : ": " + reason);
    else error = format_string("the server answered HTTP %u", unsigned(status)) + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  json_value doc;
  std::string why;
  if (read_json(body, doc, why) && doc.kind != json_value::object) why = "not a JSON object";
  if (!why.empty() || !recommendation(doc, direction, out, why)) {
    error = "the server's answer is not a recommendation: " + why;
    out = prediction();
    return false;
  }
  return true;
}

std::string prediction_line(const char* direction, const prediction& p) {
  return format_string(
      "Recommended %s: %u x %u bytes, %s, expected efficiency %.1f%%, within 5%% of the best in "
      "%.1f%% (level %s, %u observation%s)",
      direction, unsigned(p.count), unsigned(p.size), p.mode.c_str(), p.expected_efficiency * 100,
      p.within_5_percent * 100, p.level.c_str(), unsigned(p.observations), p.observations == 1 ? "" : "s");
}

std::string device_line(const predict_device& device) {
  std::string line;
  for (const auto& f : named_facts(device))
    if (!f.second->empty()) line += std::string(line.empty() ? "" : ", ") + f.first + " " + *f.second;
  return "Device: " + (line.empty() ? std::string("not identified, asking about all devices") : line);
}
