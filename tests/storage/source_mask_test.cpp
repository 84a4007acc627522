#include <gtest/gtest.h>

#include "storage/storage_model.h"

TEST(source_mask, names_in_bit_order) {
  EXPECT_EQ(source_mask_text(0), "-");
  EXPECT_EQ(source_mask_text(0x12), "ATA/PT CTRL");
  EXPECT_EQ(source_mask_text(0x7F), "ATA ATA/PT SCSI/PT SCSI/PT-DT CTRL NVME OS");
  EXPECT_EQ(source_mask_text(0x41 | 0x80), "ATA OS");
}
