#include <gtest/gtest.h>

#include <cctype>

#include "golden.h"
#include "support/digest.h"
#include "support/hex_text.h"
#include "support/host_info.h"
#include "support/optional_functions.h"
#include "support/os_version.h"
#include "support/registry.h"
#include "support/text.h"

namespace {
// "classify platform major minor type r2", "version_text platform major minor build type kernel
// registry", "product_type text", "to_hex upper separator bytes...", "guid text" (read and written
// back), "md5 text", "machine_id guid", "short_form a b c d".
std::string answer(const std::string& question) {
  const std::vector<std::string> w = words(question);
  const auto n = [&](size_t i) { return uint32_t(std::stoul(w[i], nullptr, 0)); };
  const std::string rest = question.substr(question.find(' ') + 1);
  if (w[0] == "classify") {
    const int index = classify_os_version({n(1), n(2), n(3), 0, uint8_t(n(4)), n(5) != 0});
    return std::to_string(index) + " " + os_name_of_index(index);
  }
  if (w[0] == "version_text") return os_version_text({n(1), n(2), n(3), n(4), uint8_t(n(5)), false}, w[6], w[7]);
  if (w[0] == "product_type") return std::to_string(product_type_code(from_utf8(rest)));
  if (w[0] == "to_hex") {
    std::vector<uint8_t> bytes;
    for (size_t i = 3; i < w.size(); ++i) bytes.push_back(uint8_t(n(i)));
    return "\"" + to_hex(bytes.data(), bytes.size(), w[1] == "upper", w[2] == "none" ? 0 : w[2][0]) + "\"";
  }
  if (w[0] == "guid") {
    uint8_t g[16];
    if (!guid_from_text(rest, g)) return "refused";
    return to_hex(g, 16, false) + " " + guid_to_text(g, true) + " " + guid_to_text(g, false);
  }
  if (w[0] == "md5") {
    uint8_t out[16];
    md5_digest().digest(rest.data(), rest.size(), out);
    return to_hex(out, 16, false);
  }
  if (w[0] == "machine_id") return machine_id_digest_of(from_utf8(rest));
  if (w[0] == "short_form") return file_version{n(1), n(2), n(3), n(4)}.short_form();
  return "unknown question";
}
}  // namespace

TEST(host_info, os_versions_hex_texts_guids_and_digests) { expect_table("support/host_info.txt", answer); }

// Whatever system runs the tests: it is one the table knows, and its text has every part.
TEST(os_version, running_system_is_classified_and_described) {
  EXPECT_GT(os_version_index(), 0);
  EXPECT_STRNE(os_name(), "Unknown");
  const std::string v = os_version_string();
  size_t dots = 0;
  for (char c : v) {
    dots += c == '.';
    EXPECT_TRUE(c == '.' || c == 'x' || std::isdigit(uint8_t(c))) << v;
  }
  EXPECT_EQ(dots, 6u) << v;
  EXPECT_EQ(v.rfind("2.", 0), 0u) << v;  // the NT platform
}

TEST(digest, final_repeats_and_updates_go_on) {
  uint8_t out[16];
  md5_digest().digest("abc", 3, out);
  digest_ctx* ctx = md5_digest().new_context();
  ctx->update("a", 1);
  uint8_t first[16], again[16];
  ctx->final(first);
  ctx->final(again);
  EXPECT_EQ(md5_digest().compare(first, again), 0);
  ctx->update("bc", 2);
  ctx->final(again);
  EXPECT_EQ(md5_digest().compare(out, again), 0);
  EXPECT_NE(md5_digest().compare(first, again), 0);
  ctx->close();
  delete ctx;
}

// The machine's own digest is that of its registry value; the program's version is its resource's.
TEST(host_info, machine_id_digest_and_program_version) {
  std::wstring guid;
  ASSERT_TRUE(reg_read_string(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Cryptography", L"MachineGuid", guid,
                              wow64_view(), nullptr));
  EXPECT_EQ(machine_id_digest(), machine_id_digest_of(guid));
  file_version v;
  ASSERT_TRUE(program_version(v, nullptr));
  EXPECT_EQ(v.full(), FOLVI_EXPECTED_VERSION);
}

TEST(host_info, wow64_only_for_32_bit_on_a_64_bit_system) {
  // The 64-bit tests run in a 64-bit prefix, the 32-bit stage in a 32-bit one.
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  const bool system64 = native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  EXPECT_EQ(is_wow64(), sizeof(void*) == 4 && system64);
  // The report names the system's bitness, whichever build asks.
  EXPECT_EQ(is_64bit_os(), system64);
}

TEST(registry, scratch_key_round_trip) {
  const wchar_t* key = L"Software\\FolviBenchTests\\scratch";
  api_error_logger errors;
  DWORD value = 7;
  ASSERT_TRUE(reg_write_value(key, L"dw", REG_DWORD, &value, 4, wow64_view(), &errors));
  const wchar_t text[] = L"hello";
  ASSERT_TRUE(reg_write_value(key, L"sz", REG_SZ, text, sizeof text, wow64_view(), &errors));
  DWORD read = 0;
  EXPECT_TRUE(reg_read_dword(key, L"dw", read, wow64_view(), &errors));
  EXPECT_EQ(read, 7u);
  std::wstring s;
  EXPECT_TRUE(reg_read_string(HKEY_CURRENT_USER, key, L"sz", s, wow64_view(), &errors));
  EXPECT_EQ(s, L"hello");
  // Wrong type, wrong size and missing values fail and say why.
  EXPECT_FALSE(reg_read_dword(key, L"sz", read, wow64_view(), &errors));
  EXPECT_EQ(errors.last_error().api, "CheckRegValueType");
  const uint8_t three[3] = {1, 2, 3};
  ASSERT_TRUE(reg_write_value(key, L"short", REG_DWORD, three, 3, wow64_view(), &errors));
  EXPECT_FALSE(reg_read_dword(key, L"short", read, wow64_view(), &errors));
  EXPECT_EQ(errors.last_error().api, "CheckRegValueSize");
  EXPECT_TRUE(reg_delete_value(key, L"dw", wow64_view(), &errors));
  EXPECT_FALSE(reg_read_dword(key, L"dw", read, wow64_view(), &errors));
  EXPECT_EQ(errors.last_error().api, "RegQueryValueEx");
  EXPECT_EQ(errors.last_error().code, uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(reg_delete_value(key, L"dw", wow64_view(), &errors));
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FolviBenchTests"), ERROR_SUCCESS);
}

TEST(optional_functions, marked_functions_resolve) {
  const optional_functions& f = load_optional_functions();
  EXPECT_NE(f.NtQueryVolumeInformationFile, nullptr);
  EXPECT_NE(f.RtlNtStatusToDosError, nullptr);
  EXPECT_NE(f.IsWow64Process, nullptr);
  EXPECT_EQ(&load_optional_functions(), &f);
}
