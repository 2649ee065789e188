// Records that cross module boundaries. The 32-bit layout is checked at compile time in the
// headers themselves (this file is compiled in the i686 build too); here the 64-bit layout the
// tests run with is pinned, so a change to either shows.
#include "diaglib/exports/TestResult.h"

#include <gtest/gtest.h>

TEST(Layout, TestResultFieldsInOrder)
{
#if defined(_WIN64)
    EXPECT_EQ(sizeof(TestResult), 32u);
    EXPECT_EQ(offsetof(TestResult, detail), 16u);
    EXPECT_EQ(offsetof(TestResult, detailValid), 24u);
#else
    EXPECT_EQ(sizeof(TestResult), 20u);
    EXPECT_EQ(offsetof(TestResult, detail), 12u);
    EXPECT_EQ(offsetof(TestResult, detailValid), 16u);
#endif
    TestResult fresh;
    EXPECT_EQ(fresh.problemFound, 0);
    EXPECT_TRUE(fresh.detail.IsEmpty());
}
