#include "support/thread_owner.h"

#include <gtest/gtest.h>

#include "handle_count.h"

namespace {
DWORD WINAPI slow_mark(void* mark) {
  Sleep(100);
  *static_cast<volatile LONG*>(mark) = 1;
  return 7;
}
}  // namespace

// A joining owner's end waits for its thread; a detaching one lets go and returns at once. Both
// leave no handle behind.
TEST(thread_owner, the_end_joins_or_lets_go_as_chosen_at_construction) {
  volatile LONG joined = 0, detached = 0;
  {
    thread_owner owner(thread_owner::at_end::join);
    ASSERT_TRUE(owner.start(slow_mark, const_cast<LONG*>(&joined), "joining owner", nullptr));
  }
  EXPECT_EQ(joined, 1);
  const DWORD handles_before = process_handle_count();
  {
    thread_owner owner(thread_owner::at_end::detach);
    ASSERT_TRUE(owner.start(slow_mark, const_cast<LONG*>(&detached), "detaching owner", nullptr));
  }
  EXPECT_EQ(detached, 0);
  EXPECT_EQ(process_handle_count(), handles_before);
  while (detached == 0) Sleep(10);

  thread_owner owner(thread_owner::at_end::join);
  ASSERT_TRUE(owner.start(slow_mark, const_cast<LONG*>(&joined), "exit code", nullptr));
  DWORD code = 0;
  owner.wait();
  ASSERT_TRUE(owner.exit_code(code));
  EXPECT_EQ(code, 7u);
}
