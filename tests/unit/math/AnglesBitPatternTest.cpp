// Every float bit pattern through the heading helpers. Their whole-degree steps convert
// floats to int, so this is where undefined behaviour would hide; CI runs it under
// UndefinedBehaviorSanitizer with float-cast-overflow.
#include "Angles.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "FloatBits.h"

namespace {

std::vector<float> SpecialValues()
{
    const float inf = std::numeric_limits<float>::infinity();
    const float two31 = 2147483648.0f;
    const float quotientLimit = 360.0f * two31;  // where the whole part of v / 360 leaves int
    std::vector<float> values = {
        0.0f, 360.0f, 180.0f, 0.5f, 359.99997f, 1e-30f,
        std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min(),
        std::numeric_limits<float>::max(), inf, std::nanf(""),
        two31, std::nextafter(two31, 0.0f), std::nextafter(two31, inf),
        quotientLimit, std::nextafter(quotientLimit, 0.0f), std::nextafter(quotientLimit, inf),
        16777216.0f, 16777217.0f, 1e10f, 1e20f, 3e38f,
    };
    const std::size_t n = values.size();
    for (std::size_t i = 0; i < n; ++i)
        values.push_back(-values[i]);
    values.push_back(FloatFromBits(0xFFC00001u));  // a negative NaN with payload
    return values;
}

// Reference for the wrap: fmod is exact, then the same +360 step for negatives.
float WrapReference(float v)
{
    float r = float(std::fmod(double(v), 360.0));
    if (r < 0.0f)
        r = float(double(r) + 360.0);
    return r;
}

void CheckDirectionInRange(float v)
{
    const float r = DirectionInRange(v);
    if (!std::isfinite(v)) {
        ASSERT_TRUE(std::isnan(r)) << DescribeFloat(v);
        return;
    }
    ASSERT_GE(r, 0.0f) << DescribeFloat(v);
    ASSERT_LE(r, 360.0f) << DescribeFloat(v);
    ASSERT_EQ(WrapReference(v), r) << DescribeFloat(v);
}

void CheckDirectionDifference(float a, float b)
{
    const float r = DirectionDifference(a, b);
    if (!std::isfinite(a) || !std::isfinite(b)) {
        ASSERT_TRUE(std::isnan(r)) << DescribeFloat(a) << ", " << DescribeFloat(b);
        return;
    }
    ASSERT_GT(r, -180.0f) << DescribeFloat(a) << ", " << DescribeFloat(b);
    ASSERT_LE(r, 180.0f) << DescribeFloat(a) << ", " << DescribeFloat(b);
}

void CheckRotateToward(float current, float target, float step)
{
    const float r = RotateToward(current, target, step);
    if (!std::isfinite(current) || !std::isfinite(target)) {
        ASSERT_TRUE(std::isnan(r)) << DescribeFloat(current) << ", " << DescribeFloat(target);
        return;
    }
    if (std::isfinite(step) || std::isnan(step) || step > 0) {
        ASSERT_GE(r, 0.0f) << DescribeFloat(current) << ", " << DescribeFloat(target) << ", "
                           << DescribeFloat(step);
        ASSERT_LE(r, 360.0f) << DescribeFloat(current) << ", " << DescribeFloat(target) << ", "
                             << DescribeFloat(step);
    }
}

TEST(AnglesBitPatterns, SpecialValues)
{
    const std::vector<float> values = SpecialValues();
    for (float a : values) {
        CheckDirectionInRange(a);
        for (float b : values) {
            CheckDirectionDifference(a, b);
            for (float c : values)
                CheckRotateToward(a, b, c);
        }
    }
}

TEST(AnglesBitPatterns, RandomBits)
{
    std::mt19937 rng(0x5eed);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 200000; ++i) {
        const float a = FloatFromBits(bits(rng));
        const float b = FloatFromBits(bits(rng));
        const float c = FloatFromBits(bits(rng));
        CheckDirectionInRange(a);
        CheckDirectionDifference(a, b);
        CheckRotateToward(a, b, c);
    }
}

// Headings that take the int path but are not small: fraction plus whole-part remainder
// must equal the exact remainder all the way up to 2^31.
TEST(AnglesBitPatterns, WholePartRangeAgreesWithExactRemainder)
{
    std::mt19937 rng(17);
    std::uniform_int_distribution<std::uint32_t> bits(0u, 0x4F000000u);  // 0 .. 2^31
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t u = bits(rng) | (i & 1 ? 0x80000000u : 0u);
        CheckDirectionInRange(FloatFromBits(u));
    }
}

} // namespace
