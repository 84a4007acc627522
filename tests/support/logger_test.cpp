#include "support/logger.h"

#include <gtest/gtest.h>

#include "support/api_error.h"
#include "support/format_string.h"
#include "support/hex_dump.h"

namespace {
// A capturing logger owned by the test for its whole life.
struct capture {
  capturing_logger* log = new capturing_logger;
  capture(bool keep = true) { log->set_keep_prefix(keep); }
  ~capture() { EXPECT_TRUE(log->release()); }
};

clock_reading fixed_clock(LONG bias) {
  clock_reading r{};
  r.local = {2026, 12, 0, 6, 9, 5, 7, 42};
  r.bias_minutes = bias;
  return r;
}
clock_reading east_5h30() { return fixed_clock(-330); }
clock_reading west_3h() { return fixed_clock(180); }
clock_reading utc() { return fixed_clock(0); }
}  // namespace

TEST(logger, level_prefixes) {
  capture c;
  for (int level : {0, 3, 4, 5, -1}) c.log->log(level, "x\n");
  EXPECT_EQ(c.log->lines(), (std::vector<std::string>{"0 x\n", "3 x\n", "  x\n", "? x\n", "- x\n"}));
}

TEST(logger, capture_without_prefix_keeps_one_entry_per_call) {
  capture c(false);
  c.log->log(3, "a\nb %d\n", 7);
  EXPECT_EQ(c.log->lines(), (std::vector<std::string>{"a\nb 7\n"}));
}

TEST(logger, time_stamps_by_zone) {
  struct {
    clock_fn clock;
    const char* line;
  } rows[] = {
      {east_5h30, "2026.12.06 09:05:07.042 (UTC+5) 3 hello\n"},
      {west_3h, "2026.12.06 09:05:07.042 (UTC-3) 3 hello\n"},
      {utc, "2026.12.06 09:05:07.042 (UTC+0) 3 hello\n"},
  };
  for (const auto& r : rows) {
    capture c;
    time_logger* t = new time_logger(c.log, r.clock);
    t->log(3, "hello\n");
    EXPECT_TRUE(t->release());
    ASSERT_EQ(c.log->lines().size(), 1u);
    EXPECT_EQ(c.log->lines()[0], r.line);
    EXPECT_EQ(c.log->ref_count(), 1);
  }
}

TEST(logger, indentation) {
  capture c;
  indenting_logger* in = new indenting_logger(c.log);
  in->indent(6);
  in->log(2, "%s\n", "six");
  in->unindent(6);
  in->log_indented(0, 2, "two %d\n", 2);
  in->log(3, "none\n");
  EXPECT_EQ(c.log->lines(), (std::vector<std::string>{"2       six\n", "0   two 2\n", "3 none\n"}));
  EXPECT_EQ(in->indentation(), 0);
  in->indent(6);
  EXPECT_DEATH(in->unindent(7), "indenting_logger::unindent");
  in->unindent(6);
  in->release();

  indenting_logger* sink = new indenting_logger(nullptr);
  sink->log_indented(0, 2, "dropped\n");
  EXPECT_EQ(sink->indentation(), 0);
  sink->release();
}

namespace {
struct probe : ref_counted {
  void drop_to_zero() { end_static_life(); }
};
}  // namespace

TEST(ref_counted, misuse_aborts) {
  EXPECT_DEATH(
      {
        probe p;
        p.drop_to_zero();
        p.add_ref();
      },
      "ref_counted::add_ref");
  EXPECT_DEATH(
      {
        probe p;
        p.drop_to_zero();
        p.release();
      },
      "ref_counted::release");
  EXPECT_DEATH({ delete new probe; }, "ref_counted::~ref_counted");
  probe* p = new probe;
  p->add_ref();
  EXPECT_EQ(p->ref_count(), 2);
  EXPECT_FALSE(p->release());
  EXPECT_TRUE(p->release());
}

TEST(api_error_logger, lines_and_codes) {
  capture c;
  api_error_logger errors(c.log);
  errors.report_api_error("OpenProcessToken", 5);
  errors.report_api_error("CoInitializeEx", 0x80070005, "%s", "apartment");
  errors.report_api_error("GetFileVersionInfoSize", 0x0FFFFFFF);
  errors.report_api_error("CheckTestResult", no_error_code, "%u bytes", 3u);
  errors.report_api_error("CreateFile", 2, L"C:\\x\u00e9");
  EXPECT_EQ(c.log->lines(), (std::vector<std::string>{
                                "0 OpenProcessToken() failed with 5\n",
                                "0 CoInitializeEx() failed with 80070005, apartment\n",
                                "0 GetFileVersionInfoSize() failed with 268435455\n",
                                "0 CheckTestResult() failed, 3 bytes\n",
                                "0 CreateFile() failed with 2, C:\\x\xc3\xa9\n",
                            }));
  api_error_info last = errors.last_error();
  EXPECT_EQ(last.api, "CreateFile");
  EXPECT_EQ(last.code, 2u);
}

TEST(api_error_logger, null_target_records_only) {
  api_error_logger errors;
  errors.report_api_error(nullptr, 0xc0000022, "class %d", 80);
  api_error_info last = errors.last_error();
  EXPECT_EQ(last.api, "");
  EXPECT_EQ(last.code, 0xc0000022u);
  EXPECT_EQ(last.detail, "class 80");
  errors.report_api_error("DeviceIoControl", 1, "");
  EXPECT_EQ(errors.last_error().detail, "");
}

TEST(diskvol_logger, indented_lines_without_failed_special_case) {
  capture c;
  indenting_logger* in = new indenting_logger(c.log);
  in->indent(4);
  diskvol_logger dv(in);
  dv.report_api_error("DeviceIoControl", 1);
  dv.report_api_error("CheckReponseSize", no_error_code, "got %u", 8u);
  EXPECT_EQ(c.log->lines(), (std::vector<std::string>{"0       DeviceIoControl() failed with 1\n",
                                                      "0       CheckReponseSize() failed with ffffffff, got 8\n"}));
  EXPECT_EQ(dv.last_error().detail, "got 8");
  in->unindent(4);
  in->release();
}

TEST(format_string, limits) {
  std::string big(5000, 'x');
  EXPECT_EQ(format_string("%s", big.c_str()), big);
  EXPECT_EQ(format_string("%s.", big.c_str()), "");
  EXPECT_EQ(format_string("100 percent"), "100 percent");
  std::string exact(1024, 'y');
  EXPECT_EQ(format_string("%s!", exact.substr(1).c_str()), exact.substr(1) + "!");
  EXPECT_EQ(format_string("%s!!", exact.substr(1).c_str()), "");
  EXPECT_EQ(format_string(L"%d-%d", 1, 2), L"1-2");
}

TEST(hex_dump, rows) {
  capture c(false);
  hex_dump(c.log, nullptr, 0);
  EXPECT_TRUE(c.log->lines().empty());

  const uint8_t hello[] = {'H', 'e', 'l', 'l', 'o'};
  hex_dump(c.log, hello, 5);
  ASSERT_EQ(c.log->lines().size(), 1u);
  EXPECT_EQ(c.log->lines()[0], "0000 | 48 65 6C 6C 6F __ __ __  __ __ __ __ __ __ __ __ | Hello            |\n");
  EXPECT_EQ(c.log->lines()[0].size() - 3, 74u);  // the row itself, before " |\n"

  uint8_t bytes[17];
  for (int i = 0; i < 17; ++i) bytes[i] = uint8_t(0x70 + i * 2);
  hex_dump(c.log, bytes, 17);
  auto lines = c.log->lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "0000 | 70 72 74 76 78 7A 7C 7E  80 82 84 86 88 8A 8C 8E | prtvxz|~........ |\n");
  EXPECT_EQ(lines[2], "0010 | 90 __ __ __ __ __ __ __  __ __ __ __ __ __ __ __ | .                |\n");
}
