#include "share/upload_xchg.h"

#include <gtest/gtest.h>

#include "handle_count.h"
#include "recorded_errors.h"
#include "responder.h"
#include "share/multipart_body.h"
#include "share/share_package.h"
#include "support/host_info.h"

namespace {

// One upload through the server that the environment names, as the dialog runs it.
std::string upload(const share_package& package, recorded_errors& errors, bool& ok) {
  upload_xchg* xchg = new upload_xchg(current_upload_target(&errors), &errors);
  xchg->type = share_type(package);
  EXPECT_TRUE(build_package_zip(package, xchg->data, &errors));
  EXPECT_TRUE(xchg->start());
  EXPECT_TRUE(xchg->started());
  xchg->wait();
  EXPECT_TRUE(xchg->is_done());
  ok = xchg->succeeded();
  std::string reply = xchg->reply;
  EXPECT_TRUE(xchg->release());  // the worker has dropped its reference
  return reply;
}

// The body of a share as the poster builds it.
std::string sent_body(const char* type, const std::string& zip) {
  const form_part parts[] = {text_field("type", type),
                             memory_file_field("data", L"package.zip", zip.data(), uint32_t(zip.size())), form_part()};
  heap_buffer body;
  build_multipart_body(parts, body, nullptr);
  return std::string(reinterpret_cast<const char*>(body.data()), body.size());
}

HANDLE no_thread(LPTHREAD_START_ROUTINE, void*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

}  // namespace

TEST(upload_xchg, a_worker_that_cannot_start_fails_the_upload_at_once) {
  recorded_errors errors;
  http_target target = upload_target(share_host{"share.test", 8443, true}, file_version{1, 2, 3, 4});
  EXPECT_EQ(target.agent, "FOLVI Benchmark, v. 1.2.3.4");
  EXPECT_EQ(target.path, "upload");
  upload_xchg* xchg = new upload_xchg(target, &errors);
  EXPECT_FALSE(xchg->start(no_thread));
  EXPECT_EQ(xchg->ref_count(), 1);  // the worker's reference is given back
  EXPECT_FALSE(xchg->started());
  EXPECT_TRUE(xchg->is_done());
  EXPECT_FALSE(xchg->succeeded());
  EXPECT_EQ(errors.only(), "CreateThread 8 ");
  EXPECT_TRUE(xchg->release());
}

TEST(upload_xchg, shares_go_to_the_server_the_environment_names) {
  SetEnvironmentVariableW(L"FOLVI_SHARE_HOST", L"127.0.0.1");
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", std::to_wstring(responder_port()).c_str());
  SetEnvironmentVariableW(L"FOLVI_SHARE_TLS", L"0");
  recorded_errors errors;
  share_package report;
  report.report_text = "Report one\r\n-------\r\n\r\nReport two\r\n";
  report.stack_scan_text = "FOLVI Vezad, version 0.1.2.3\n";

  bool ok = false;
  std::string reply = upload(report, errors, ok);
  EXPECT_TRUE(ok) << errors.only();
  EXPECT_EQ(reply, "OK");
  const std::string head = responder_record("upload-report.head");
  EXPECT_EQ(head.rfind("POST /upload HTTP/1.1\r\n", 0), 0u) << head;
  EXPECT_NE(head.find("\nUser-Agent: FOLVI Benchmark, v. "), std::string::npos) << head;
  const std::string body = responder_record("upload-report.body");
  const size_t zip_at = body.find("PK\x03\x04");
  ASSERT_NE(zip_at, std::string::npos);
  const std::string zip = body.substr(zip_at, body.size() - zip_at - 22);
  EXPECT_EQ(body, sent_body("report", zip));
  EXPECT_NE(zip.find("report.folvi.txt"), std::string::npos);
  EXPECT_EQ(zip.find("graph"), std::string::npos);

  // WinINet is warm now: a later upload must give back every handle, the worker thread's too (a
  // screenshot's reply and link are the dialog's test).
  const DWORD handles = process_handle_count();
  upload(report, errors, ok);
  EXPECT_TRUE(ok) << errors.only();
  EXPECT_EQ(process_handle_count(), handles);

  // A server that does not answer.
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", L"1");
  errors.all.clear();
  upload(report, errors, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(errors.only(), "HttpSendRequest 12029 ");
}
