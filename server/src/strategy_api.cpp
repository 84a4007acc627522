#include "strategy_api.h"

#include <cstdio>
#include <set>

#include "html_text.h"
#include "report_runs.h"

namespace {

constexpr size_t longest_value = 256;

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool percent_decode(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] != '%') {
      out += text[i];
    } else {
      if (i + 2 >= text.size()) return false;
      int high = hex_digit(text[i + 1]), low = hex_digit(text[i + 2]);
      if (high < 0 || low < 0) return false;
      out += static_cast<char>(high * 16 + low);
      i += 2;
    }
  }
  return true;
}

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : valid_utf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string strategy_fields(const strategy& what) {
  return "\"size\":" + std::to_string(what.size) + ",\"count\":" + std::to_string(what.count) +
         ",\"mode\":" + json_string(mode_labels[what.mode]);
}

std::string figures_json(const method_figures& figures) {
  std::string out =
      "{\"evaluated\":" + std::to_string(figures.evaluated) + ",\"unmeasured\":" + std::to_string(figures.unmeasured);
  if (figures.evaluated == 0) return out + ",\"median\":null,\"p10\":null,\"within_5_percent\":null}";
  return out + ",\"median\":" + decimal_text(figures.median) + ",\"p10\":" + decimal_text(figures.p10) +
         ",\"within_5_percent\":" + decimal_text(figures.within_5_percent) + "}";
}

std::string level_json(const level_figures& figures) {
  return "{\"model\":" + figures_json(figures.model) + ",\"most_often\":" + figures_json(figures.most_often) +
         ",\"fixed\":" + figures_json(figures.fixed) + "}";
}

std::string direction_json(const direction_evaluation& evaluation) {
  std::string out = "{\"observations\":" + std::to_string(evaluation.observations) + ",\"most_often\":";
  out += evaluation.most_often ? "{" + strategy_fields(*evaluation.most_often) + "}" : "null";
  out += ",\"fixed\":{" + strategy_fields(fixed_strategy) + "},\"overall\":" + level_json(evaluation.overall);
  out += ",\"levels\":{";
  for (basis_level level : basis_levels) {
    if (level != basis_level::model) out += ",";
    out += json_string(level_label(level)) + ":" + level_json(evaluation.by_level[static_cast<size_t>(level)]);
  }
  return out + "}}";
}

}  // namespace

const char* direction_label(direction which) { return which == direction::read ? "read" : "write"; }

std::string decimal_text(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string strategy_text(const strategy& what) {
  uint64_t size = what.size;
  std::string shown = std::to_string(size) + " bytes";
  if (size % (1u << 20) == 0) shown = std::to_string(size >> 20) + " MiB";
  else if (size % 1024 == 0) shown = std::to_string(size >> 10) + " KiB";
  return shown + " x " + std::to_string(what.count) + ", " + mode_labels[what.mode];
}

bool parse_predict_query(std::string_view query, predict_question& question, std::string& reason) {
  std::set<std::string> seen;
  question = {};
  while (!query.empty()) {
    size_t end = query.find('&');
    std::string_view pair = query.substr(0, end);
    query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    if (pair.empty()) continue;
    size_t equals = pair.find('=');
    std::string name, value;
    if (!percent_decode(pair.substr(0, equals), name))
      return reason = "a parameter name is not percent-encoded properly", false;
    std::string shown = printable_ascii(name, 40);
    if (equals == std::string_view::npos || !percent_decode(pair.substr(equals + 1), value))
      return reason = "parameter " + shown + " has no proper value", false;
    if (!seen.insert(name).second) return reason = "parameter " + shown + " is given twice", false;
    if (value.size() > longest_value)
      return reason = "parameter " + shown + " is longer than " + std::to_string(longest_value) + " bytes", false;
    device_description& d = question.device;
    if (name == "direction") {
      if (value != "read" && value != "write") return reason = "direction must be read or write", false;
      question.which = value == "read" ? direction::read : direction::write;
    } else if (name == "type") {
      d.type = value;
    } else if (name == "vendor") {
      d.vendor = value;
    } else if (name == "model") {
      d.model = value;
    } else if (name == "bus") {
      d.bus = value;
    } else if (name == "usb") {
      d.usb = value;
    } else {
      return reason = "unknown parameter " + shown + " (known: direction, type, vendor, model, bus, usb)", false;
    }
  }
  if (!seen.count("direction")) return reason = "direction is required: read or write", false;
  return true;
}

std::string prediction_json(direction which, const prediction& answer) {
  return "{\"direction\":" + json_string(direction_label(which)) + "," + strategy_fields(answer.what) +
         ",\"expected_efficiency\":" + decimal_text(answer.choice.expected_efficiency) +
         ",\"within_5_percent\":" + decimal_text(answer.choice.within_5_percent) +
         ",\"basis\":{\"level\":" + json_string(level_label(answer.level)) +
         ",\"observations\":" + std::to_string(answer.observations) + "}}";
}

std::string evaluation_json(const model_snapshot& snapshot) {
  std::string out = "{\"synthetic\":" + std::string(snapshot.synthetic ? "true" : "false");
  out += ",\"reports\":{\"taken\":" + std::to_string(snapshot.model.runs()) + ",\"skipped\":{";
  bool first = true;
  for (const char* reason : {skip_not_a_report, skip_cut_short, skip_bad_value, skip_rows_disagree, skip_unreadable}) {
    auto found = snapshot.skipped.find(reason);
    out += (first ? "" : ",") + json_string(reason) + ":" +
           std::to_string(found == snapshot.skipped.end() ? 0 : found->second);
    first = false;
  }
  out += "},\"left_out\":" + std::to_string(snapshot.left_out) + "}";
  out += ",\"observations\":" + std::to_string(snapshot.model.observations().size());
  out += ",\"read\":" + direction_json(snapshot.evaluation.read);
  out += ",\"write\":" + direction_json(snapshot.evaluation.write);
  return out + "}";
}

std::string reason_json(std::string_view reason) { return "{\"reason\":" + json_string(reason) + "}"; }
