#include "FigureRange.h"

#include <gtest/gtest.h>

namespace {

TEST(FigureRange, KeepsTheLeastTheMeanAndTheGreatest)
{
    FigureRange range;
    EXPECT_EQ(0, range.Count());
    EXPECT_EQ(0.0, range.Mean());
    for (const double value : {2.0, -1.0, 5.0, 2.0}) {
        range.Add(value);
    }
    EXPECT_EQ(4, range.Count());
    EXPECT_EQ(-1.0, range.Min());
    EXPECT_EQ(5.0, range.Max());
    EXPECT_EQ(2.0, range.Mean());
}

// The first value sets both ends, whatever its sign.
TEST(FigureRange, TheFirstValueSetsBothEnds)
{
    FigureRange range;
    range.Add(7.5);
    EXPECT_EQ(7.5, range.Min());
    EXPECT_EQ(7.5, range.Max());
}

}  // namespace
