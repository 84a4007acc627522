#include "storage/location_link.h"

#include <gtest/gtest.h>

// The link of a volume on one drive or over several is in the recorded machines' facts.
TEST(location_link, none_for_a_share_or_an_unknown_location) {
  EXPECT_EQ(location_link(show_network_location(L"NTFS", 1, share_info{})).bytes_per_second, 0);
  EXPECT_EQ(location_link(fallback_summary(L"NTFS")).bytes_per_second, 0);
}
