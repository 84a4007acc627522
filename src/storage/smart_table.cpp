#include "storage/smart_table.h"

#include <algorithm>
#include <cctype>

#include "support/format_string.h"

using namespace smart_codes;

namespace {
std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// Iterative glob: remembers the last star to fall back on.
bool glob(const char* p, const char* t) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*t) {
    if (*p == '*') {
      star = p++;
      resume = t;
    } else if (*p == '?' || (*p && std::tolower((unsigned char)*p) == std::tolower((unsigned char)*t))) {
      ++p;
      ++t;
    } else if (star) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == 0;
}

bool any_matches(const std::vector<const char*>& patterns, const std::string& text) {
  if (patterns.empty()) return true;
  for (const char* p : patterns)
    if (smart_pattern_matches(p, text)) return true;
  return false;
}

bool counts_as_ssd(const std::string& vendor, const std::string& model, bool identify_says_ssd) {
  static const char* const ssd_vendors[] = {"kingston", "ocz", "sandisk", "corsair"};
  for (const char* v : ssd_vendors)
    if (vendor == v) return true;
  return model.find("ssd") != std::string::npos || model.compare(0, 3, "mzv") == 0 || identify_says_ssd;
}

// How many bytes one raw unit stands for, and the factor of the number shown; 0 bytes: no size.
struct unit_scale {
  uint64_t bytes;
  uint64_t shown_factor;
};
unit_scale scale_of(unit u) {
  switch (u) {
    case gb: return {1ull << 30, 1};
    case mb32: return {32ull << 20, 32};
    case mb: return {1ull << 20, 1};
    case sector_bytes: return {512, 512};
    case sectors: return {512, 1};
    default: return {0, 1};
  }
}

const char* unit_suffix(unit u) {
  static const char* const suffixes[] = {"",
                                         "%",
                                         " \xC2\xB0"
                                         "C",
                                         " ms",
                                         " min",
                                         " GB",
                                         " MB",
                                         " MB",
                                         " bytes",
                                         ""};
  return u < std::size(suffixes) ? suffixes[u] : "";
}

// "(1.5 TiB)": what a count of bytes comes to, in the largest binary unit it fills.
std::string human_size(double bytes) {
  static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB", "ZiB", "YiB"};
  size_t u = 0;
  while (bytes >= 1024 && u + 1 < std::size(units)) {
    bytes /= 1024;
    ++u;
  }
  return u == 0 ? format_string(" (%.0f bytes)", bytes) : format_string(" (%.1f %s)", bytes, units[u]);
}

std::string value_text(const smart_row& r) {
  const uint64_t raw = r.attribute.raw;
  std::string text;
  switch (r.format) {
    case no_format: return text;
    case raw_hex:
      if (raw == 0) return "-";
      text = format_string("%012I64X", (unsigned long long)raw);
      break;
    case value: text = format_string("%u", unsigned(r.attribute.value)); break;
    case value_of_255: text = format_string("%u", unsigned(r.attribute.value) * 100 / 255); break;
    case raw8:
    case raw16:
    case raw24:
    case raw32:
    case raw40: {
      const int bits = 8 * (r.format - raw8 + 1);
      const uint64_t cut = raw & ((1ull << bits) - 1);
      const unit_scale s = scale_of(r.unit);
      text = format_string("%I64u", (unsigned long long)(cut * s.shown_factor)) + unit_suffix(r.unit);
      if (s.bytes) text += human_size(double(cut) * double(s.bytes));
      return text;
    }
    case hi32_lo32:
      text = format_string("%I64u / %I64u", (unsigned long long)((raw >> 32) & 0xFFFF),
                           (unsigned long long)(raw & 0xFFFFFFFF));
      break;
    case hi16_lo16:
      text = format_string("%I64u / %I64u", (unsigned long long)((raw >> 16) & 0xFFFF),
                           (unsigned long long)(raw & 0xFFFF));
      break;
    case byte1_byte0: {
      const uint64_t b1 = (raw >> 8) & 0xFF, b0 = raw & 0xFF;
      text = b1 <= 100 && b0 <= 100 ? format_string("%I64u.%02I64u", (unsigned long long)b1, (unsigned long long)b0)
                                    : format_string("%012I64X", (unsigned long long)raw);
      break;
    }
    case yes_no: return raw == 1 ? "Yes" : raw == 0 ? "No" : "";
  }
  return text + unit_suffix(r.unit);
}

// The definitions of the counted groups, later ones over earlier ones.
void apply_groups(smart_row& r, const std::string& match, uint8_t kind) {
  const char* name = nullptr;
  for (size_t g = 0; g < smart_attribute_group_count; ++g) {
    const smart_attribute_group& group = smart_attribute_groups[g];
    if (!(group.kinds & kind) || !any_matches(group.patterns, match) || !any_matches(group.also, match)) continue;
    const smart_attribute_def* def = group.defs.find(r.attribute.id);
    if (!def) continue;
    r.group = &group;
    r.defined = true;
    r.format = def->format;
    r.unit = def->unit;
    if (def->name) name = def->name;
  }
  if (!r.defined) r.name = "?";
  else r.name = name && *name ? name : "- undocumented -";
}
}  // namespace

bool smart_pattern_matches(const char* pattern, const std::string& text) { return glob(pattern, text.c_str()); }

std::vector<smart_row> smart_rows(const smart_block& block, bool identify_says_ssd, const std::string& vendor,
                                  const std::string& model) {
  std::string maker = vendor;
  const size_t joined = maker.find(" / ");
  if (joined != std::string::npos) maker = maker.substr(joined + 3);
  maker = lower(maker);
  const std::string lower_model = lower(model);
  const std::string match = maker + "|" + lower_model;
  const uint8_t kind = counts_as_ssd(maker, lower_model, identify_says_ssd) ? smart_ssd : smart_hdd;
  std::vector<smart_row> rows;
  for (size_t i = 0; i < smart_entries; ++i) {
    smart_row r;
    r.attribute = attribute_entry(block.attributes, i);
    if (r.attribute.id == 0) continue;
    r.threshold = threshold_of(block.thresholds, r.attribute.id);
    r.prefail = (r.attribute.flags & 1) != 0;
    r.critical = r.attribute.id == 5 || r.attribute.id == 9 || r.attribute.id == 12;
    r.threshold_state = r.threshold < 0 ? -1 : r.attribute.value >= r.threshold ? 1 : 0;
    apply_groups(r, match, kind);
    r.value_text = value_text(r);
    rows.push_back(r);
  }
  return rows;
}
