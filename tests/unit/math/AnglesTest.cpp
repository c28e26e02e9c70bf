#include "Angles.h"

#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "FloatBits.h"

namespace {

// Distance between two headings on the circle, in degrees.
double AngularGap(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TEST(DirectionInRange, WrapsIntoZeroTo360)
{
    EXPECT_SAME_FLOAT(10.0f, DirectionInRange(370));
    EXPECT_SAME_FLOAT(350.0f, DirectionInRange(-10));
    EXPECT_SAME_FLOAT(350.0f, DirectionInRange(-370));
    EXPECT_SAME_FLOAT(5.5f, DirectionInRange(725.5f));
    EXPECT_SAME_FLOAT(359.5f, DirectionInRange(-0.5f));
    EXPECT_SAME_FLOAT(359.75f, DirectionInRange(-720.25f));
    EXPECT_SAME_FLOAT(0.0f, DirectionInRange(360));
    EXPECT_SAME_FLOAT(0.0f, DirectionInRange(-360));
    EXPECT_SAME_FLOAT(0.0f, DirectionInRange(-0.0f));
    EXPECT_SAME_FLOAT(123.25f, DirectionInRange(123.25f));
    // -0.00001 + 360 rounds up to 360 in float.
    EXPECT_SAME_FLOAT(360.0f, DirectionInRange(-0.00001f));
    EXPECT_TRUE(std::isnan(DirectionInRange(std::nanf(""))));
}

TEST(DirectionDifference, ShortestSignedTurn)
{
    EXPECT_SAME_FLOAT(20.0f, DirectionDifference(350, 10));
    EXPECT_SAME_FLOAT(-20.0f, DirectionDifference(10, 350));
    EXPECT_SAME_FLOAT(-179.0f, DirectionDifference(0, 181));
    EXPECT_SAME_FLOAT(10.0f, DirectionDifference(720, 10));
    // Exactly opposite is +180 from every side.
    EXPECT_SAME_FLOAT(180.0f, DirectionDifference(0, 180));
    EXPECT_SAME_FLOAT(180.0f, DirectionDifference(180, 0));
    EXPECT_SAME_FLOAT(180.0f, DirectionDifference(90, -90));
    EXPECT_SAME_FLOAT(180.0f, DirectionDifference(0, 540));
    EXPECT_SAME_FLOAT(-0.5f, DirectionDifference(0, -0.5f));
    // The difference wraps to exactly 360 and comes back as negative zero.
    EXPECT_SAME_FLOAT(-0.0f, DirectionDifference(0.000001f, 0));
    EXPECT_TRUE(std::isnan(DirectionDifference(std::nanf(""), 0)));
    EXPECT_TRUE(std::isnan(DirectionDifference(0, std::nanf(""))));
}

TEST(DirectionDifference, AddingItReachesTheSecondHeading)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> headings(-1000.0f, 1000.0f);
    for (int i = 0; i < 20000; ++i) {
        const float a = headings(rng), b = headings(rng);
        const float d = DirectionDifference(a, b);
        ASSERT_GT(d, -180.0f);
        ASSERT_LE(d, 180.0f);
        ASSERT_LT(AngularGap(double(a) + d, b), 1e-3) << a << " -> " << b;
    }
}

TEST(RotateToward, TurnsByAtMostTheStep)
{
    EXPECT_SAME_FLOAT(355.0f, RotateToward(350, 10, 5));
    EXPECT_SAME_FLOAT(5.0f, RotateToward(10, 350, 5));
    EXPECT_SAME_FLOAT(10.0f, RotateToward(20, 10, 15));  // cut to the angle left
    EXPECT_SAME_FLOAT(10.0f, RotateToward(10, 10, 5));
    // Exactly opposite headings turn downward.
    EXPECT_SAME_FLOAT(355.0f, RotateToward(0, 180, 5));
    EXPECT_SAME_FLOAT(175.0f, RotateToward(180, 0, 5));
    EXPECT_SAME_FLOAT(335.0f, RotateToward(-30, 0, 5));
    EXPECT_SAME_FLOAT(4.0f, RotateToward(725, 0, 1));
    EXPECT_SAME_FLOAT(10.0f, RotateToward(370, 0, 0));
    EXPECT_SAME_FLOAT(25.0f, RotateToward(20, 10, -5));  // a negative step turns away
    // -0.00001 + 360 rounds to 360 in float.
    EXPECT_SAME_FLOAT(360.0f, RotateToward(-0.00001f, 50, 0));
}

TEST(RotateToward, RoundingDecidesTheDirection)
{
    // 181 - 0.000001 rounds to 181 in float, so its whole degrees say "increase"; the
    // unrounded 180.999999 would have turned the other way, to 2.
    EXPECT_SAME_FLOAT(0.0f, RotateToward(181, 0.000001f, 200));
    // Wrapping -360 as v - 360 * w gives +0, not fmod's -0.
    EXPECT_SAME_FLOAT(0.0f, RotateToward(-355, 0, 5));
}

TEST(RotateToward, NaNInputs)
{
    EXPECT_TRUE(std::isnan(RotateToward(std::nanf(""), 10, 5)));
    EXPECT_TRUE(std::isnan(RotateToward(10, std::nanf(""), 5)));
    // A NaN step takes the whole angle.
    EXPECT_SAME_FLOAT(10.0f, RotateToward(20, 10, std::nanf("")));
    EXPECT_SAME_FLOAT(30.0f, RotateToward(20, 30, std::nanf("")));
}

TEST(RotateToward, LongerWayWithinADegree)
{
    // Just above the target (current - target in (-1, 0)): the fraction is dropped, so
    // the heading goes down, away from the target.
    EXPECT_SAME_FLOAT(359.5f, RotateToward(0, 0.5f, 1));
    EXPECT_SAME_FLOAT(0.5f, RotateToward(359.5f, 0.5f, 1));
    // Just past opposite (current - target in (180, 181)): decreases though increasing is shorter.
    EXPECT_SAME_FLOAT(1.0f, RotateToward(180.5f, 0, 200));

    // With a step below one degree the heading can oscillate without arriving.
    // (Float steps of 0.2 drift in the last bit, so compare near these values.)
    const float expected[] = {9.8f, 9.6f, 9.4f, 9.6f, 9.4f, 9.6f, 9.4f};
    float heading = 10;
    for (float e : expected) {
        heading = RotateToward(heading, 10.5f, 0.2f);
        EXPECT_NEAR(e, heading, 2e-6);
    }
}

// With a step at least the angle between the headings, RotateToward lands on the target,
// except in the two bands where it goes the longer way. The bands depend on the sign of
// the difference because the fraction is dropped toward zero.
void CheckLanding(float current, float target)
{
    const float d = current - target;
    double r = std::fmod(double(d), 360.0);
    if (r < 0)
        r += 360.0;
    const bool belowTarget = d < 0 && r > 359.0 && r < 360.0;
    const bool pastOpposite = d > 0 && r > 180.0 && r < 181.0;

    const float result = RotateToward(current, target, 1000);
    ASSERT_GE(result, 0.0f);
    ASSERT_LE(result, 360.0f);
    const double gap = AngularGap(result, target);
    if (belowTarget)
        ASSERT_NEAR(2.0 * (360.0 - r), gap, 1e-3) << current << " -> " << target;
    else if (pastOpposite)
        ASSERT_NEAR(2.0 * r - 360.0, gap, 1e-3) << current << " -> " << target;
    else
        ASSERT_LT(gap, 1e-3) << current << " -> " << target;
}

TEST(RotateToward, LargeStepLandsOnTargetOutsideTheBands)
{
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> headings(-720.0f, 720.0f);
    for (int i = 0; i < 20000; ++i)
        CheckLanding(headings(rng), headings(rng));

    // Differences near every whole-degree boundary that matters, from both signs.
    const float bases[] = {-721, -541, -361, -181, -180, -1, 0, 179, 180, 359, 540, 719};
    std::uniform_real_distribution<float> fraction(0.0f, 1.0f);
    for (int i = 0; i < 20000; ++i) {
        const float current = headings(rng);
        const float base = bases[i % (sizeof bases / sizeof bases[0])];
        CheckLanding(current, current - (base + fraction(rng)));
    }
}

TEST(RotateToward, SmallStepApproachesMonotonically)
{
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> headings(0.0f, 360.0f);
    for (int i = 0; i < 2000; ++i) {
        const float current = headings(rng), target = headings(rng);
        const double before = AngularGap(current, target);
        if (before < 2.0 || before > 178.0)
            continue;  // stay clear of both bands
        const float next = RotateToward(current, target, 1.0f);
        ASSERT_NEAR(before - 1.0, AngularGap(next, target), 1e-3) << current << " -> " << target;
    }
}

} // namespace
