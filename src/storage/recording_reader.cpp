// The reader of scan recordings: every way a file can be wrong is refused with its line.
#include <cstring>

#include "storage/recorded_calls.h"
#include "storage/scan_recording.h"
#include "support/format_string.h"

namespace {
std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

bool listed(const char* const* names, size_t count, const std::string& name, bool& repeats) {
  for (size_t i = 0; i < count && names[i]; ++i) {
    const size_t n = std::strlen(names[i]);
    const bool star = names[i][n - 1] == '*';
    if (name.size() == n - (star ? 1 : 0) && name.compare(0, name.size(), names[i], name.size()) == 0) {
      repeats = star;
      return true;
    }
  }
  return false;
}

size_t count_names(const char* const* names, size_t most) {
  size_t n = 0;
  while (n < most && names[n]) ++n;
  return n;
}

class reader {
 public:
  reader(const std::string& text, scan_recording& r, std::string& error)
      : lines_(split_lines(text)), r_(r), error_(error) {}

  bool run() {
    if (!header()) return false;
    for (at_ = 4; at_ < lines_.size(); ++at_) {
      const std::string& line = lines_[at_];
      if (line.empty() || line[0] == '#') continue;
      if (line[0] != ' ') {
        if (!end_entry() || !begin_entry(line)) return false;
      } else if (!field(line)) {
        return false;
      }
    }
    return end_entry();
  }

 private:
  bool fail(size_t index, const std::string& why) {
    error_ = format_string("line %u: ", unsigned(index + 1)) + why;
    return false;
  }

  bool header() {
    if (lines_.empty() || lines_[0] != recording_first_line)
      return fail(0, std::string("not a scan recording (the first line is not \"") + recording_first_line + "\")");
    uint64_t v = 0;
    if (lines_.size() < 2 || lines_[1].compare(0, 7, "format ") != 0 || !parse_recorded_number(lines_[1].substr(7), v))
      return fail(1, "\"format N\" expected");
    if (v != uint64_t(scan_recording::format))
      return fail(1, format_string("format %llu is not known; this program reads format %d", (unsigned long long)v,
                                   scan_recording::format));
    if (lines_.size() < 3 || lines_[2].compare(0, 8, "program ") != 0) return fail(2, "\"program VERSION\" expected");
    r_.program_version = lines_[2].substr(8);
    if (lines_.size() < 4 || lines_[3].compare(0, 9, "pointers ") != 0 ||
        !parse_recorded_number(lines_[3].substr(9), v) || (v != 32 && v != 64))
      return fail(3, "\"pointers 32\" or \"pointers 64\" expected");
    if (int(v) != r_.pointer_bits)
      return fail(3, format_string("recorded by a %d-bit program; this one is %d-bit, its requests differ", int(v),
                                   r_.pointer_bits));
    return true;
  }

  bool begin_entry(const std::string& line) {
    call_ = find_recorded_call(line.c_str());
    if (!call_) return fail(at_, "unknown request \"" + line + "\"");
    r_.entries.emplace_back();
    r_.entries.back().call = line;
    r_.entries.back().line = int(at_ + 1);
    return true;
  }

  // Every field in place, once unless it may repeat, and answers that agree with their sizes.
  bool end_entry() {
    if (!finish_bytes()) return false;
    if (!call_) return true;
    const recorded_entry& e = r_.entries.back();
    const size_t entry_line = size_t(e.line - 1);
    const size_t nrequest = count_names(call_->request, 6), nanswer = count_names(call_->answer, 13);
    for (size_t i = 0; i < nrequest; ++i)
      if (std::string(call_->request[i]).back() != '*' && !has(e.request, call_->request[i]))
        return fail(entry_line, e.call + " lacks its request field \"" + call_->request[i] + "\"");
    for (size_t i = 0; i < nanswer; ++i) {
      const std::string name = call_->answer[i];
      if (name.back() != '*' && !has(e.answer, name))
        return fail(entry_line, e.call + " lacks its answer field \"" + name + "\"");
    }
    call_ = nullptr;
    if (e.call != "ioctl") return true;
    uint64_t out_size = 0;
    for (const recorded_field& f : e.request)
      if (f.name == "out_size") parse_recorded_number(f.text, out_size);
    const recorded_field* out = e.find("out");
    if (out->bytes.size() > out_size)
      return fail(size_t(out->line - 1), format_string("out holds %u bytes, more than out_size %llu",
                                                       unsigned(out->bytes.size()), (unsigned long long)out_size));
    if (e.number("returned") > out_size)
      return fail(size_t(e.find("returned")->line - 1),
                  format_string("returned %llu is more than out_size %llu", (unsigned long long)e.number("returned"),
                                (unsigned long long)out_size));
    return true;
  }

  static bool has(const std::vector<recorded_field>& fields, const std::string& name) {
    for (const recorded_field& f : fields)
      if (f.name == name) return true;
    return false;
  }

  bool field(const std::string& line) {
    if (line.compare(0, 4, "  > ") != 0 && line.compare(0, 4, "  < ") != 0) return hex_line(line);
    if (!finish_bytes()) return false;
    if (!call_) return fail(at_, "a field outside an entry");
    const bool request = line[2] == '>';
    const size_t blank = line.find(' ', 4);
    recorded_field f;
    f.name = line.substr(4, blank == std::string::npos ? std::string::npos : blank - 4);
    const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    f.line = int(at_ + 1);
    bool repeats = false;
    const bool known =
        request ? listed(call_->request, 6, f.name, repeats) : listed(call_->answer, 13, f.name, repeats);
    if (!known)
      return fail(at_, std::string("\"") + f.name + "\" is not " + (request ? "a request" : "an answer") +
                           " field of " + call_->name);
    std::vector<recorded_field>& side = request ? r_.entries.back().request : r_.entries.back().answer;
    if (!repeats && has(side, f.name)) return fail(at_, "\"" + f.name + "\" given twice");
    if (blank == std::string::npos && kind_of_field(f.name) != field_kind::text)
      return fail(at_, "\"" + f.name + "\" has no value");
    if (!set_value(f, value)) return false;
    side.push_back(f);
    if (f.binary) pending_ = &side.back(), pending_size_ = size_t(announced_), last_hex_line_ = at_;
    return true;
  }

  bool set_value(recorded_field& f, const std::string& value) {
    uint64_t n = 0;
    switch (kind_of_field(f.name)) {
      case field_kind::text:
        if (!unescape_value(value, f.text)) return fail(at_, "\"" + f.name + "\": a % not followed by two hex digits");
        return true;
      case field_kind::number:
        if (!parse_recorded_number(value, n)) return fail(at_, "\"" + f.name + "\": \"" + value + "\" is not a number");
        if ((f.name == "ok") && n > 1) return fail(at_, "\"ok\" is 0 or 1");
        f.text = value;
        return true;
      case field_kind::binary: {
        const size_t blank = value.find(' ');
        if (!parse_recorded_number(value.substr(0, blank), n) || n > (1u << 24))
          return fail(at_, "\"" + f.name + "\": \"" + value + "\" is not a byte count");
        f.binary = true;
        announced_ = n;
        has_crc_ = blank != std::string::npos;
        if (has_crc_ && (value.compare(blank, 7, " crc32 ") != 0 || value.size() != blank + 15 ||
                         !parse_recorded_number("0x" + value.substr(blank + 7), crc_)))
          return fail(at_, "\"" + f.name + "\": \"" + value + "\" is not \"COUNT\" or \"COUNT crc32 XXXXXXXX\"");
        return true;
      }
    }
    return true;
  }

  // "OFFSET  XX XX ...": the offset must be the bytes so far, so a lost line shows.
  bool hex_line(const std::string& line) {
    if (!pending_) return fail(at_, "an indented line that is neither a field (\"  > \", \"  < \") nor hex data");
    size_t p = line.find_first_not_of(' ');
    if (p == std::string::npos) return fail(at_, "hex data without its offset");
    const size_t end = line.find(' ', p);
    uint64_t offset = 0;
    if (!parse_recorded_number("0x" + line.substr(p, end - p), offset)) return fail(at_, "hex data without its offset");
    if (offset != pending_->bytes.size())
      return fail(at_, format_string("hex offset %llx, expected %x (a line is missing or out of place)",
                                     (unsigned long long)offset, unsigned(pending_->bytes.size())));
    for (p = end; p != std::string::npos && p < line.size();) {
      p = line.find_first_not_of(' ', p);
      if (p == std::string::npos) break;
      int hi = 0, lo = 0;
      if (p + 1 >= line.size() || (p + 2 < line.size() && line[p + 2] != ' ') || !hex_digit(line[p], hi) ||
          !hex_digit(line[p + 1], lo))
        return fail(at_, "bad hex byte \"" + line.substr(p, line.find(' ', p) - p) + "\"");
      pending_->bytes.push_back(uint8_t(hi << 4 | lo));
      last_hex_line_ = at_;
      p += 2;
    }
    if (pending_->bytes.size() > pending_size_)
      return fail(at_, format_string("\"%s\" announces %u bytes, more are given", pending_->name.c_str(),
                                     unsigned(pending_size_)));
    return true;
  }

  bool finish_bytes() {
    if (!pending_) return true;
    recorded_field* f = pending_;
    pending_ = nullptr;
    if (f->bytes.size() != pending_size_)
      return fail(size_t(f->line - 1), format_string("\"%s\" announces %u bytes, %u are given", f->name.c_str(),
                                                     unsigned(pending_size_), unsigned(f->bytes.size())));
    if (has_crc_ && recorded_crc32(f->bytes) != uint32_t(crc_))
      return fail(size_t(f->line - 1),
                  format_string("the bytes of \"%s\" (to line %u) do not match its crc32; after editing them, drop "
                                "the \"crc32 X\"",
                                f->name.c_str(), unsigned(last_hex_line_ + 1)));
    return true;
  }

  std::vector<std::string> lines_;
  scan_recording& r_;
  std::string& error_;
  size_t at_ = 0;
  const recorded_call* call_ = nullptr;
  recorded_field* pending_ = nullptr;
  size_t pending_size_ = 0;
  uint64_t announced_ = 0;
  bool has_crc_ = false;
  size_t last_hex_line_ = 0;
  uint64_t crc_ = 0;
};
}  // namespace

bool read_recording(const std::string& text, scan_recording& recording, std::string& error) {
  recording = scan_recording{};
  reader r(text, recording, error);
  if (r.run()) return true;
  recording.entries.clear();
  return false;
}
