// Bit-level float comparison for the math tests: many results are fixed to the exact
// float, signed zeros included, so a tolerance would hide the faults that matter.
#ifndef QM_TESTS_FLOAT_BITS_H
#define QM_TESTS_FLOAT_BITS_H

#include <cstdint>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

inline std::uint32_t FloatBits(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

inline float FloatFromBits(std::uint32_t u)
{
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

inline std::string DescribeFloat(float f)
{
    std::ostringstream out;
    out << std::setprecision(17) << f << " (0x" << std::hex << FloatBits(f) << ")";
    return out.str();
}

inline ::testing::AssertionResult SameFloat(const char* expectedText, const char* actualText,
                                            float expected, float actual)
{
    if (FloatBits(expected) == FloatBits(actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actualText << " is " << DescribeFloat(actual) << ", expected " << expectedText
           << " = " << DescribeFloat(expected);
}

// Same bits, so -0 differs from +0 and a NaN matches only the identical NaN.
#define EXPECT_SAME_FLOAT(expected, actual) EXPECT_PRED_FORMAT2(SameFloat, expected, actual)

#define EXPECT_SAME_VEC2(ex, ey, v)  \
    do {                             \
        EXPECT_SAME_FLOAT(ex, (v).x); \
        EXPECT_SAME_FLOAT(ey, (v).y); \
    } while (0)

#define EXPECT_SAME_VEC3(ex, ey, ez, v) \
    do {                                \
        EXPECT_SAME_FLOAT(ex, (v).x);   \
        EXPECT_SAME_FLOAT(ey, (v).y);   \
        EXPECT_SAME_FLOAT(ez, (v).z);   \
    } while (0)

#endif
