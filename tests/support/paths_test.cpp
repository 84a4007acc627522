#include "support/paths.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "support/async_call.h"
#include "support/long_path.h"
#include "support/notepad_settings.h"
#include "support/registry.h"
#include "support/scoped_win.h"
#include "support/text.h"

namespace {
// GetFileAttributesW gives INVALID_FILE_ATTRIBUTES, every bit set, for a path that is not there.
bool is_directory(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring scratch_folder() {
  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  return std::wstring(cwd) + L"\\scratch_paths";
}

// "parse path": kind, long prefix, root and components; "long_path path"; "file_name_chars text".
std::string answer(const std::string& question) {
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space);
  const std::wstring arg = from_utf8(question.substr(space + 1));
  if (fn == "long_path") return to_utf8(long_path(arg));
  if (fn == "file_name_chars") {
    std::string out;
    for (wchar_t c : arg) out += is_file_name_char(c) ? "y" : "n";
    return out;
  }
  if (fn != "parse") return "unknown question";
  const parsed_path p = parse_path(arg);
  std::string out = "kind " + std::to_string(p.kind) + (p.long_prefix ? " long" : "") + " root " + to_utf8(p.root);
  for (const std::wstring& c : p.components) out += " | " + to_utf8(c);
  return out;
}
}  // namespace

TEST(paths, kinds_long_forms_and_file_name_characters) { expect_table("support/paths.txt", answer); }

TEST(paths, ensure_directory_creates_nested_and_refuses_bad_kinds) {
  const std::wstring base = scratch_folder();
  const std::wstring deep = base + L"\\one\\two";
  api_error_logger errors;
  ASSERT_TRUE(ensure_directory(deep, &errors)) << errors.last_error().api << " " << errors.last_error().code;
  EXPECT_TRUE(is_directory(deep));
  EXPECT_FALSE(is_directory(deep + L"\\three"));
  EXPECT_TRUE(ensure_directory(deep, &errors));

  EXPECT_FALSE(ensure_directory(L"relative\\dir", &errors));
  EXPECT_EQ(errors.last_error().api, "GetPathType");
  EXPECT_EQ(errors.last_error().code, 1u);
  EXPECT_FALSE(ensure_directory(L"\\\\s\\share\\x", &errors));
  EXPECT_EQ(errors.last_error().api, "GetUncShare");

  // A file in the way: the folder below it cannot be made, and the failure names that folder.
  const std::wstring blocker = base + L"\\file";
  {
    scoped_handle f(CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(f.valid());
  }
  EXPECT_FALSE(ensure_directory(blocker + L"\\below", &errors));
  EXPECT_EQ(errors.last_error().api, "CreateDirectory");
  EXPECT_EQ(errors.last_error().detail, to_utf8(blocker + L"\\below"));

  DeleteFileW(blocker.c_str());
  RemoveDirectoryW(deep.c_str());
  RemoveDirectoryW((base + L"\\one").c_str());
  EXPECT_TRUE(RemoveDirectoryW(base.c_str()));
}

// The temporary folder ends with a backslash; a root's attributes, a missing drive's failure; a
// volume's device type (FILE_DEVICE_DISK, or FILE_DEVICE_DISK_FILE_SYSTEM as Wine answers for a
// root folder).
TEST(paths, temp_folder_root_attributes_and_volume_device_type) {
  std::wstring folder;
  ASSERT_TRUE(temp_folder(folder, nullptr));
  EXPECT_EQ(folder.back(), L'\\');
  EXPECT_TRUE(is_directory(folder));
  DWORD a = 0;
  EXPECT_TRUE(path_attributes(L"C:\\", a, nullptr));
  EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
  api_error_logger errors;
  EXPECT_FALSE(path_attributes(L"Q:\\", a, &errors));
  EXPECT_EQ(errors.last_error().code, uint32_t(ERROR_NOT_READY));
  scoped_handle h(CreateFileW(L"C:\\", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  volume_device_info info{};
  ASSERT_TRUE(query_volume_device_info(h.get(), info));
  EXPECT_TRUE(info.device_type == 0x07u || info.device_type == 0x08u) << info.device_type;
}

TEST(text, utf8_unit_by_unit) {
  EXPECT_EQ(to_utf8(L"a\u00e9\u20ac"), "a\xc3\xa9\xe2\x82\xac");
  std::wstring pair = L"\xd83d\xde00";  // a surrogate pair stays two 3-byte units
  EXPECT_EQ(to_utf8(pair), "\xed\xa0\xbd\xed\xb8\x80");
  EXPECT_EQ(from_utf8(to_utf8(pair)), pair);
  EXPECT_EQ(from_utf8("\xff"), L"\xfffd");
}

namespace {
const wchar_t notepad_key[] = L"Software\\FolviBenchTests\\Notepad";
bool only_courier(const std::wstring& face) { return face == L"Courier New"; }

struct scratch_notepad_key {
  ~scratch_notepad_key() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\FolviBenchTests"); }
};

// "face=Courier_New wrap=1" (either left out: no such value) written first; then what Notepad's key
// holds after save and after restore, and what save says it changed.
std::string settings_case(const std::string& spec) {
  scratch_notepad_key cleanup;
  std::wstring face = from_utf8(spec_value(spec, "face"));
  for (wchar_t& c : face)
    if (c == L'_') c = L' ';
  const std::string wrap = spec_value(spec, "wrap");
  if (!face.empty())
    reg_write_value(notepad_key, L"lfFaceName", REG_SZ, face.c_str(), DWORD((face.size() + 1) * 2), wow64_view(),
                    nullptr);
  const DWORD wrap_value = wrap == "1";
  if (!wrap.empty()) reg_write_value(notepad_key, L"fWrap", REG_DWORD, &wrap_value, 4, wow64_view(), nullptr);
  const auto held = [] {
    std::wstring f = L"-";
    DWORD w = 9;
    reg_read_string(HKEY_CURRENT_USER, notepad_key, L"lfFaceName", f, wow64_view(), nullptr);
    const bool has_wrap = reg_read_dword(notepad_key, L"fWrap", w, wow64_view(), nullptr);
    return "face " + to_utf8(f) + ", wrap " + (has_wrap ? std::to_string(w) : "-");
  };
  notepad_settings n(notepad_key, only_courier);
  n.save(nullptr);
  std::string out = "saved: " + held() + ", changed font " + std::to_string(n.changed_font()) + " wrap " +
                    std::to_string(n.changed_wrap()) + "\n";
  n.restore(nullptr);
  return out + "restored: " + held() + "\n";
}
}  // namespace

// A proportional font and wrapping are changed and put back; absent values are deleted again;
// good settings are left alone.
TEST(notepad_settings, changes_and_restores) { expect_cases("support/notepad_settings.txt", settings_case); }

namespace {
struct counting_call : async_call {
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  volatile LONG* ran;
  explicit counting_call(volatile LONG* ran) : ran(ran) {}
  ~counting_call() override { CloseHandle(go); }
  void run() override {
    WaitForSingleObject(go, INFINITE);
    InterlockedIncrement(ran);
  }
};
}  // namespace

// Runs once and releases itself, also when its creator lets go first (the thread's own release
// ends it); a second start is an internal error.
TEST(async_call, runs_once_and_releases_itself) {
  volatile LONG ran = 0;
  counting_call* call = new counting_call(&ran);
  ASSERT_TRUE(call->start());
  EXPECT_DEATH(call->start(), "async_call::start");
  EXPECT_EQ(call->ref_count(), 2);
  EXPECT_FALSE(call->is_done());
  SetEvent(call->go);
  call->wait();
  EXPECT_TRUE(call->is_done());
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(call->ref_count(), 1);
  call->release();

  counting_call* early = new counting_call(&ran);
  HANDLE go;
  DuplicateHandle(GetCurrentProcess(), early->go, GetCurrentProcess(), &go, 0, FALSE, DUPLICATE_SAME_ACCESS);
  ASSERT_TRUE(early->start());
  early->release();
  SetEvent(go);
  CloseHandle(go);
  for (int i = 0; i < 200 && ran < 2; ++i) Sleep(10);
  EXPECT_EQ(ran, 2);
}
