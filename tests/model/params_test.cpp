#include <gtest/gtest.h>

#include "model/params.h"

// The step table is the Q grid every stepper and the default rest on.
TEST(QStepTable, AnchorsAndOrder)
{
    EXPECT_DOUBLE_EQ(g_qStepTable[0], 0.10);
    EXPECT_DOUBLE_EQ(g_qStepTable[kDefaultQStep], 4.32);
    EXPECT_DOUBLE_EQ(g_qStepTable[88], 4.42);
    EXPECT_DOUBLE_EQ(g_qStepTable[91], 4.78);
    EXPECT_DOUBLE_EQ(g_qStepTable[111], 10.0);
    for (int i = 1; i < kQSteps; ++i) EXPECT_LT(g_qStepTable[i - 1], g_qStepTable[i]) << i;
}

TEST(QStepTable, FirstEntryNotBelow)
{
    // clang-format off
    struct { double q; int index; } cases[] = {
        {0.1, 0}, {4.32, 87}, {4.33, 88}, {0.31, 21}, {10.0, 111}, {0.05, 0},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(QStepIndexFor(c.q), c.index) << c.q;
}
