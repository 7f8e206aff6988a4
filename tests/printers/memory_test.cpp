// Zero-filled blocks from the global heap, and their release.
#include <gtest/gtest.h>
#include "printers/printers.h"

TEST(AllocZeroed, SizeZeroGivesNoBlockAndAllBitsError) {
  DWORD error = 0;
  EXPECT_EQ(NULL, AllocZeroed(0, &error));
  EXPECT_EQ((DWORD)-1, error);
}

TEST(AllocZeroed, BlockIsZeroFilledEvenWhenTheHeapReusesMemory) {
  enum { BYTES = 2396 };
  DWORD error = 1;
  BYTE* first = (BYTE*)AllocZeroed(BYTES, &error);
  ASSERT_TRUE(first);
  FillMemory(first, BYTES, 0xAB);
  EXPECT_EQ(0u, FreeAllocated(first));
  BYTE* block = (BYTE*)AllocZeroed(BYTES, &error);
  ASSERT_TRUE(block);
  EXPECT_GE(GlobalSize(block), (SIZE_T)BYTES);
  for (int i = 0; i < BYTES; i++) ASSERT_EQ(0, block[i]) << i;
  EXPECT_EQ(0u, FreeAllocated(block));
}

TEST(FreeAllocated, NoBlockGivesMinusOne) {
  EXPECT_EQ((DWORD)-1, FreeAllocated(NULL));
}
