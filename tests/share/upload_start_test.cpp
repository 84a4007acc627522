#include <gtest/gtest.h>

#include "recorded_errors.h"
#include "share/upload_xchg.h"
#include "support/host_info.h"

namespace {

HANDLE no_thread(LPTHREAD_START_ROUTINE, void*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

}  // namespace

TEST(upload_xchg, a_worker_that_cannot_start_fails_the_upload_at_once) {
  recorded_errors errors;
  file_version version{1, 2, 3, 4};
  http_target target = upload_target(share_host{"share.test", 8443, true}, version);
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
