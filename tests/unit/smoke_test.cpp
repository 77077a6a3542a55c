#include <gtest/gtest.h>
#include "hooklib/store_layout.h"
TEST(StoreLayout, BlockSizeRule) {
  int32_t size = 0;
  ASSERT_TRUE(tessel::store::BlockSizeFor(16, size)); EXPECT_EQ(size, 20480);
}
