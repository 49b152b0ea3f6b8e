#pragma once

#include <cstdint>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

// Exact float comparison that tells +0 from -0 and prints both values with
// their bit patterns, so a one-ulp difference is visible in the failure.
inline std::uint32_t FloatBits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline ::testing::AssertionResult SameFloat(const char* expectedExpr, const char* actualExpr,
                                            float expected, float actual)
{
    if (FloatBits(expected) == FloatBits(actual)) {
        return ::testing::AssertionSuccess();
    }
    std::ostringstream out;
    out << std::setprecision(9) << actualExpr << " is " << actual << " (0x" << std::hex
        << FloatBits(actual) << std::dec << "), expected " << expectedExpr << " = " << expected
        << " (0x" << std::hex << FloatBits(expected) << ")";
    return ::testing::AssertionFailure() << out.str();
}

#define EXPECT_SAME_FLOAT(expected, actual) EXPECT_PRED_FORMAT2(SameFloat, expected, actual)
#define ASSERT_SAME_FLOAT(expected, actual) ASSERT_PRED_FORMAT2(SameFloat, expected, actual)
