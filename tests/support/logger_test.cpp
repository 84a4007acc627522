#include "support/logger.h"

#include <gtest/gtest.h>

#include "golden.h"
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

// What each logger writes: level prefixes, one entry per call without them, time stamps by zone,
// indentation, failures as lines, the indented storage failures, and hex dump rows.
TEST(logger, every_logger_s_lines) {
  capture c;
  for (int level : {0, 3, 4, 5, -1}) c.log->log(level, "x\n");
  for (clock_fn clock : {east_5h30, west_3h, utc}) {
    time_logger* t = new time_logger(c.log, clock);
    t->log(3, "hello\n");
    EXPECT_TRUE(t->release());
  }
  EXPECT_EQ(c.log->ref_count(), 1);  // the time loggers let go of it
  indenting_logger* in = new indenting_logger(c.log);
  in->indent(6);
  in->log(2, "%s\n", "six");
  in->unindent(6);
  in->log_indented(0, 2, "two %d\n", 2);
  in->log(3, "none\n");
  EXPECT_EQ(in->indentation(), 0);
  in->indent(4);
  diskvol_logger dv(in);
  dv.report_api_error("DeviceIoControl", 1);
  dv.report_api_error("CheckReponseSize", no_error_code, "got %u", 8u);
  EXPECT_EQ(dv.last_error().detail, "got 8");
  in->unindent(4);
  in->release();
  api_error_logger errors(c.log);
  errors.report_api_error("OpenProcessToken", 5);
  errors.report_api_error("CoInitializeEx", 0x80070005, "%s", "apartment");
  errors.report_api_error("GetFileVersionInfoSize", 0x0FFFFFFF);
  errors.report_api_error("CheckTestResult", no_error_code, "%u bytes", 3u);
  errors.report_api_error("CreateFile", 2, L"C:\\x\u00e9");
  EXPECT_EQ(errors.last_error().api, "CreateFile");
  EXPECT_EQ(errors.last_error().code, 2u);
  // Without a target the failures are only kept.
  api_error_logger quiet;
  quiet.report_api_error(nullptr, 0xc0000022, "class %d", 80);
  const api_error_info last = quiet.last_error();
  quiet.report_api_error("DeviceIoControl", 1, "");
  const api_error_info blank = quiet.last_error();

  capture bare(false);
  bare.log->log(3, "a\nb %d\n", 7);
  hex_dump(bare.log, nullptr, 0);
  const uint8_t hello[] = {'H', 'e', 'l', 'l', 'o'};
  hex_dump(bare.log, hello, 5);
  uint8_t bytes[17];
  for (int i = 0; i < 17; ++i) bytes[i] = uint8_t(0x70 + i * 2);
  hex_dump(bare.log, bytes, 17);
  std::string out;
  for (const std::string& line : c.log->lines()) out += line;
  out += "--- without prefixes, one entry per call\n";
  for (const std::string& line : bare.log->lines()) out += "[" + line + "]\n";
  for (const api_error_info& e : {last, blank})
    out += "--- kept without a target\n[" + e.api + "] " + std::to_string(e.code) + " [" + e.detail + "]\n";
  expect_golden(out, "support/logger_lines.txt");

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

// Unindenting past zero, a reference taken or let go after the count reached zero, and deleting
// an object still referenced end the process.
TEST(ref_counted, misuse_aborts) {
  {
    capture c;
    indenting_logger* in = new indenting_logger(c.log);
    in->indent(6);
    EXPECT_DEATH(in->unindent(7), "indenting_logger::unindent");
    in->unindent(6);
    in->release();
  }
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
