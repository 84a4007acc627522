#include "results/json_reader.h"

#include <cstdlib>
#include <cstring>

#include "support/format_string.h"

namespace {
constexpr int deepest = 64;

class reader {
 public:
  explicit reader(const std::string& t) : s_(t) {
    if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = 3;
  }

  bool document(json_value& out) {
    if (!value(out, 0)) return false;
    space();
    return at_ == s_.size() || fail("text after the document");
  }

  std::string error;

 private:
  bool fail(const char* what) {
    if (error.empty()) error = format_string("byte %u: %s", unsigned(at_ + 1), what);
    return false;
  }
  void space() {
    while (at_ < s_.size() && std::strchr(" \t\r\n", s_[at_]) && s_[at_]) ++at_;
  }
  bool take(char c) {
    space();
    if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
    return false;
  }
  bool word(const char* w) {
    const size_t n = std::strlen(w);
    if (s_.compare(at_, n, w) != 0) return false;
    at_ += n;
    return true;
  }

  bool value(json_value& v, int depth) {
    if (depth > deepest) return fail("nested too deeply");
    space();
    if (at_ >= s_.size()) return fail("the document ends early");
    const char c = s_[at_];
    if (c == '{') return object(v, depth);
    if (c == '[') return array(v, depth);
    if (c == '"') return v.kind = json_value::string, string(v.text);
    if (word("true")) return v.kind = json_value::boolean, v.flag = true;
    if (word("false")) return v.kind = json_value::boolean, true;
    if (word("null")) return v.kind = json_value::null, true;
    return number(v);
  }

  bool number(json_value& v) {
    const size_t from = at_;
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    const size_t digits = at_;
    while (at_ < s_.size() && std::strchr("0123456789.eE+-", s_[at_]) && s_[at_]) ++at_;
    if (at_ == digits || !std::strchr("0123456789", s_[digits])) return at_ = from, fail("expected a value");
    const std::string piece = s_.substr(from, at_ - from);
    char* end = nullptr;
    v.num = std::strtod(piece.c_str(), &end);
    if (*end != '\0') return at_ = from, fail("not a number");
    v.kind = json_value::number;
    return true;
  }

  bool hex4(unsigned& unit) {
    if (at_ + 4 > s_.size()) return fail("a \\u escape ends early");
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[at_++];
      const char* digits = "0123456789abcdef";
      const char* d = std::strchr(digits, c | 0x20);
      if (!c || !d) return fail("not a hexadecimal digit");
      unit = unit * 16 + unsigned(d - digits);
    }
    return true;
  }

  static void append_utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | cp >> 6), out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | cp >> 12), out += char(0x80 | (cp >> 6 & 0x3F)), out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | cp >> 18), out += char(0x80 | (cp >> 12 & 0x3F)), out += char(0x80 | (cp >> 6 & 0x3F)),
          out += char(0x80 | (cp & 0x3F));
    }
  }

  bool escape(std::string& out) {
    const char c = s_[at_++];
    const char* plain = "\"\\/bfnrt";
    const char* meant = "\"\\/\b\f\n\r\t";
    if (c && std::strchr(plain, c)) return out += meant[std::strchr(plain, c) - plain], true;
    if (c != 'u') return --at_, fail("an unknown escape");
    unsigned unit = 0;
    if (!hex4(unit)) return false;
    // A surrogate pair is one character; a lone surrogate is kept as the unit it is.
    if (unit >= 0xD800 && unit < 0xDC00 && s_.compare(at_, 2, "\\u") == 0) {
      const size_t back = at_;
      at_ += 2;
      unsigned low = 0;
      if (!hex4(low)) return false;
      if (low >= 0xDC00 && low < 0xE000)
        return append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)), true;
      at_ = back;
    }
    append_utf8(out, unit);
    return true;
  }

  bool string(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const char c = s_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return --at_, fail("a control character in a string");
      if (c != '\\') {
        out += c;
      } else if (at_ >= s_.size() || !escape(out)) {
        return fail("a string ends early");
      }
    }
    return fail("a string ends early");
  }

  bool array(json_value& v, int depth) {
    ++at_;
    v.kind = json_value::array;
    if (take(']')) return true;
    do {
      v.items.emplace_back();
      if (!value(v.items.back(), depth + 1)) return false;
    } while (take(','));
    return take(']') || fail("expected ',' or ']'");
  }

  bool object(json_value& v, int depth) {
    ++at_;
    v.kind = json_value::object;
    if (take('}')) return true;
    do {
      space();
      if (at_ >= s_.size() || s_[at_] != '"') return fail("expected a key");
      v.members.emplace_back();
      if (!string(v.members.back().first)) return false;
      if (!take(':')) return fail("expected ':'");
      if (!value(v.members.back().second, depth + 1)) return false;
    } while (take(','));
    return take('}') || fail("expected ',' or '}'");
  }

  const std::string& s_;
  size_t at_ = 0;
};
}  // namespace

const json_value* json_value::find(const char* key) const {
  for (const auto& m : members)
    if (m.first == key) return &m.second;
  return nullptr;
}

bool read_json(const std::string& text, json_value& out, std::string& error) {
  reader r(text);
  out = json_value();
  if (r.document(out)) return true;
  error = r.error;
  return false;
}
