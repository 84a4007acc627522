#include <gtest/gtest.h>

#include <cctype>

#include "support/digest.h"
#include "support/hex_text.h"
#include "support/host_info.h"
#include "support/optional_functions.h"
#include "support/os_version.h"
#include "support/registry.h"

TEST(os_version, classification_table) {
  struct {
    uint32_t platform, major, minor;
    uint8_t type;
    bool r2;
    int index;
    const char* name;
  } rows[] = {
      {2, 10, 0, 1, false, 12, "Windows 10"},    // Windows 10 and 11
      {2, 10, 0, 3, false, 13, "Windows 2016"},  // Server 2016 to 2022
      {2, 10, 1, 1, false, 14, "Windows 10+"},    {2, 6, 1, 1, false, 7, "Windows 7"},
      {2, 6, 1, 2, false, 6, "Windows 2008 R2"},  {2, 6, 3, 1, false, 11, "Windows 8.1"},
      {2, 6, 3, 3, false, 10, "Windows 2012 R2"}, {2, 6, 2, 1, false, 9, "Windows 8"},
      {2, 6, 0, 1, false, 4, "Windows Vista"},    {2, 6, 0, 3, false, 5, "Windows 2008"},
      {2, 5, 2, 3, true, 3, "Windows 2003 R2"},   {2, 5, 2, 3, false, 2, "Windows 2003"},
      {2, 5, 1, 1, false, 1, "Windows XP"},       {2, 5, 0, 1, false, 0, "Unknown"},
      {2, 4, 0, 1, false, 0, "Unknown"},          {1, 10, 0, 1, false, 0, "Unknown"},
  };
  for (const auto& r : rows) {
    int index = classify_os_version({r.platform, r.major, r.minor, 0, r.type, r.r2});
    EXPECT_EQ(index, r.index) << r.major << "." << r.minor << " type " << int(r.type);
    EXPECT_STREQ(os_name_of_index(index), r.name);
  }
}

TEST(os_version, product_type_codes) {
  EXPECT_EQ(product_type_code(L"WinNT"), 1u);
  EXPECT_EQ(product_type_code(L"LanmanNT"), 2u);
  EXPECT_EQ(product_type_code(L"ServerNT"), 3u);
  EXPECT_EQ(product_type_code(L""), 0u);
  EXPECT_EQ(product_type_code(L"Other"), 0u);
}

TEST(os_version, text_of_the_facts) {
  EXPECT_EQ(os_version_text({2, 6, 1, 7601, 1, false}, "1", "1"), "2.6.1.7601.1.1.1");
  EXPECT_EQ(os_version_text({2, 10, 0, 20348, 3, false}, "x", "x"), "2.10.0.20348.3.x.x");
}

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

TEST(hex_text, to_hex_forms) {
  const uint8_t b[] = {0xAB, 0x01};
  EXPECT_EQ(to_hex(b, 2, true, ':'), "AB:01");
  EXPECT_EQ(to_hex(b, 2, false), "ab01");
  EXPECT_EQ(to_hex(b, 0, true, ':'), "");
}

TEST(hex_text, guid_round_trip_and_rejects) {
  uint8_t g[16];
  ASSERT_TRUE(guid_from_text("00112233-4455-6677-8899-aabbccddeeff", g));
  const uint8_t layout[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                              0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
  EXPECT_EQ(to_hex(g, 16, false), to_hex(layout, 16, false));
  EXPECT_EQ(guid_to_text(g, true), "00112233-4455-6677-8899-AABBCCDDEEFF");
  const uint8_t nil[16] = {};
  EXPECT_EQ(guid_to_text(nil, false), "00000000-0000-0000-0000-000000000000");
  for (const char* bad : {"{00112233-4455-6677-8899-aabbccddeeff}", "00112233-4455-6677-8899-aabbccddeef",
                          "00112233-4455-6677-8899_aabbccddeeff", "0011223g-4455-6677-8899-aabbccddeeff",
                          "00112233-4455-6677-88-99aabbccddeeff", ""})
    EXPECT_FALSE(guid_from_text(bad, g)) << bad;
}

TEST(digest, md5_known_values_and_repeatable_final) {
  uint8_t out[16];
  md5_digest().digest("", 0, out);
  EXPECT_EQ(to_hex(out, 16, false), "d41d8cd98f00b204e9800998ecf8427e");
  md5_digest().digest("abc", 3, out);
  EXPECT_EQ(to_hex(out, 16, false), "900150983cd24fb0d6963f7d28e17f72");
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

TEST(host_info, machine_id_digest) {
  std::string id = machine_id_digest();
  ASSERT_EQ(id.size(), 32u) << id;
  for (char c : id) EXPECT_TRUE(std::isdigit(uint8_t(c)) || (c >= 'a' && c <= 'f')) << id;
  EXPECT_EQ(machine_id_digest_of(L"{00112233-4455-6677-8899-aabbccddeeff}"), "-");
  EXPECT_EQ(machine_id_digest_of(L""), "-");
  // MD5 of the GUID's binary layout 33 22 11 00 55 44 77 66 88 99 aa bb cc dd ee ff.
  EXPECT_EQ(machine_id_digest_of(L"00112233-4455-6677-8899-aabbccddeeff"), "901c080f08a63d34cb8ac182e6ae6c83");
  EXPECT_EQ(machine_id_digest_of(L"00112233-4455-6677-8899-AABBCCDDEEFF"), "901c080f08a63d34cb8ac182e6ae6c83");
  // The machine's own digest is that of its registry value.
  std::wstring guid;
  ASSERT_TRUE(reg_read_string(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Cryptography", L"MachineGuid", guid,
                              wow64_view(), nullptr));
  EXPECT_EQ(id, machine_id_digest_of(guid));
}

TEST(host_info, program_version_from_resource) {
  file_version v;
  ASSERT_TRUE(program_version(v, nullptr));
  EXPECT_EQ(v.full(), FOLVI_EXPECTED_VERSION);
  EXPECT_EQ((file_version{1, 2, 0, 0}.short_form()), "1.2");
  EXPECT_EQ((file_version{1, 2, 3, 0}.short_form()), "1.2.3");
  EXPECT_EQ((file_version{1, 2, 0, 4}.short_form()), "1.2.0.4");
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
