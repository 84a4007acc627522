#include "app/cli_smart.h"

#include <cstdio>
#include <map>

#include "app/cli_report.h"
#include "storage/ata_blocks.h"
#include "storage/drive_identify.h"
#include "storage/nvme_requests.h"
#include "storage/smart_table.h"
#include "support/text.h"

namespace {
enum class block_kind { identify, smart, thresholds, nvme_identify, nvme_health };

struct kind_info {
  const char* name;
  block_kind kind;
  size_t size;
  const char* what;
};
const kind_info kinds[] = {
    {"identify", block_kind::identify, ata_block_size, "an IDENTIFY DEVICE block"},
    {"smart", block_kind::smart, ata_block_size, "a SMART READ DATA block"},
    {"thresholds", block_kind::thresholds, ata_block_size, "a SMART READ THRESHOLDS block"},
    {"nvme-identify", block_kind::nvme_identify, nvme_identify_size, "an NVMe identify-controller block"},
    {"nvme-health", block_kind::nvme_health, nvme_log_size, "an NVMe SMART/health log page"},
};

bool read_file(const std::wstring& path, std::vector<uint8_t>& bytes) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  uint8_t chunk[4096];
  size_t n;
  // A block is small: stop reading well past the largest, the size check says the rest.
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= 2 * nvme_identify_size)
    bytes.insert(bytes.end(), chunk, chunk + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

std::string check_nvme(block_kind kind, const std::vector<uint8_t>& block) {
  bool zero = true;
  for (uint8_t b : block) zero = zero && b == 0;
  if (zero) return "all its bytes are zero";
  if (kind != block_kind::nvme_identify) return std::string();
  for (unsigned char c : nvme_string(block.data(), 24, 40))
    if (c < 0x20 || c >= 0x7F) return "its model holds bytes that are not text";
  return std::string();
}

// Lines as the dump writes them, without level characters or indentation.
class plain_text_logger {
 public:
  plain_text_logger() : lines_(new capturing_logger), log_(new indenting_logger(lines_)) {}
  ~plain_text_logger() {
    log_->release();
    lines_->release();
  }
  plain_text_logger(const plain_text_logger&) = delete;
  plain_text_logger& operator=(const plain_text_logger&) = delete;
  indenting_logger* log() { return log_; }
  std::string text() {
    std::string all;
    for (const std::string& line : lines_->lines()) all += line;
    return all;
  }

 private:
  capturing_logger* lines_;
  indenting_logger* log_;
};

// The verdict of the attribute-set rules, empty when the data passes them.
std::string plausibility_verdict(const ata_block& block) {
  plain_text_logger verdict;
  if (smart_plausible(block, verdict.log())) return std::string();
  std::string why = verdict.text();
  while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
  return why.substr(why.find_first_not_of(' '));
}

struct block_verdict {
  std::string refusal;  // why the block is not believed; empty when it is
  std::string note;     // why it is shown although it looks odd
};

// What the storage scan does with the block: it stores SMART data whose checksum is right whatever
// it looks like, and data whose checksum is wrong when it still looks like an attribute set.
block_verdict check_ata(block_kind kind, const ata_block& block) {
  api_error_logger checks;
  if (!not_all_zeroes(block, &checks)) return {"all its bytes are zero", ""};
  const bool sum_right = verify_checksum(block, kind == block_kind::identify, &checks);
  const std::string sum =
      sum_right ? ""
                : "its checksum is wrong (the bytes sum to " + std::to_string(checks.last_error().code) + ", not 0)";
  if (kind == block_kind::identify) {
    if (!sum_right) return {sum, ""};
    if (!check_ata_strings(block, &checks))
      return {"its model, serial or firmware holds the byte " + checks.last_error().detail + ", which is not text", ""};
    return {};
  }
  const std::string verdict = plausibility_verdict(block);
  if (!sum_right) {
    if (!verdict.empty()) return {sum + " and it is not an attribute set: " + verdict, ""};
    return {"", sum + "; shown all the same, as it looks like an attribute set"};
  }
  if (kind == block_kind::smart && !verdict.empty())
    return {"", "not a usual attribute set (" + verdict + "); shown all the same, as its checksum is right"};
  return {};
}

std::string render(const drive_info& d) {
  const display_names names = normalize_drive_names(d);
  plain_text_logger out;
  indenting_logger* log = out.log();
  if (d.identify_source != 0 || d.has_nvme_identify) {
    log->log(2, "Vendor                     [%s]\n", names.vendor.c_str());
    log->log(2, "Model                      [%s], org [%s]\n", names.model.c_str(), d.product_org.c_str());
    log->log(2, "Serial                     [%s]\n", d.serial.c_str());
    log->log(2, "Firmware                   [%s]\n", d.revision_org.c_str());
  }
  dump_drive_health(d, names.vendor, names.model, log);
  return out.text();
}
}  // namespace

bool is_smart_command(const std::vector<std::wstring>& args) { return !args.empty() && args[0] == L"--smart"; }

bool smart_command_text(const std::vector<std::wstring>& args, std::string& text, std::vector<std::string>& notes,
                        std::string& error) {
  if (args.size() < 2) return error = "--smart: give one or more KIND:FILE", false;
  std::map<block_kind, std::vector<uint8_t>> blocks;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = to_utf8(args[i]);
    const size_t colon = arg.find(':');
    const kind_info* k = nullptr;
    for (const kind_info& info : kinds)
      if (colon != std::string::npos && arg.compare(0, colon, info.name) == 0 && colon == std::string(info.name).size())
        k = &info;
    if (!k)
      return error = "--smart: \"" + arg +
                     "\" is not KIND:FILE with KIND identify, smart, thresholds, nvme-identify or nvme-health",
             false;
    if (blocks.count(k->kind)) return error = "--smart: " + std::string(k->name) + " is given twice", false;
    std::vector<uint8_t> bytes;
    if (!read_file(from_utf8(arg.substr(colon + 1)), bytes)) return error = arg + ": cannot be read", false;
    if (bytes.size() != k->size)
      return error = arg + ": " + std::to_string(bytes.size()) + " bytes, but " + k->what + " has " +
                     std::to_string(k->size),
             false;
    std::string why;
    if (k->size == ata_block_size && k->kind != block_kind::nvme_health) {
      ata_block block;
      std::copy(bytes.begin(), bytes.end(), block.begin());
      const block_verdict verdict = check_ata(k->kind, block);
      why = verdict.refusal;
      if (!verdict.note.empty()) notes.push_back(arg + ": note: " + verdict.note);
    } else {
      why = check_nvme(k->kind, bytes);
    }
    if (!why.empty()) return error = arg + ": not " + std::string(k->what) + ": " + why, false;
    blocks[k->kind] = bytes;
  }
  if (blocks.count(block_kind::thresholds) && !blocks.count(block_kind::smart))
    return error = "--smart: thresholds: go with smart:", false;
  drive_info d;
  auto copy = [&](block_kind kind, uint8_t* to) { std::copy(blocks[kind].begin(), blocks[kind].end(), to); };
  if (blocks.count(block_kind::identify)) {
    copy(block_kind::identify, d.identify.data());
    d.identify_source = source_ata;
  }
  if (blocks.count(block_kind::smart)) {
    copy(block_kind::smart, d.smart.attributes.data());
    if (blocks.count(block_kind::thresholds)) copy(block_kind::thresholds, d.smart.thresholds.data());
    d.smart_source = source_ata;
  }
  if (blocks.count(block_kind::nvme_identify)) {
    d.nvme_identify = blocks[block_kind::nvme_identify];
    d.has_nvme_identify = true;
  }
  if (blocks.count(block_kind::nvme_health)) {
    copy(block_kind::nvme_health, d.nvme_log.data());
    d.has_nvme_log = true;
  }
  update_names_from_identify(d, nullptr);
  text = render(d);
  return true;
}

int run_smart_command(const std::vector<std::wstring>& args) {
  std::string text, error;
  std::vector<std::string> notes;
  if (!smart_command_text(args, text, notes, error)) {
    std::fprintf(stderr, "folvi-cli: %s\n", error.c_str());
    return 2;
  }
  for (const std::string& note : notes) std::fprintf(stderr, "folvi-cli: %s\n", note.c_str());
  return write_stdout(text) ? 0 : 3;
}
