#include "Collision.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "FloatBits.h"

namespace {

const Vector2D A(0, 0);
const Vector2D B(10, 0);

TEST(ClosestPointSeg, InteriorAndEnds)
{
    EXPECT_SAME_VEC2(5.0f, 0.0f, ClosestPointSeg(A, B, Vector2D(5, 5)));
    EXPECT_SAME_VEC2(0.0f, 0.0f, ClosestPointSeg(A, B, Vector2D(-3, 4)));
    EXPECT_SAME_VEC2(0.0f, 0.0f, ClosestPointSeg(A, B, Vector2D(0, 7)));    // t = 0
    EXPECT_SAME_VEC2(10.0f, 0.0f, ClosestPointSeg(A, B, Vector2D(12, 1)));
    EXPECT_SAME_VEC2(10.0f, 0.0f, ClosestPointSeg(A, B, Vector2D(10, 3)));  // t = length

    // The interior point is A + (n * t), rounded after the product and after the sum
    // (one rounding of the whole expression would give 0.643784642).
    const Vector2D q = ClosestPointSeg(Vector2D(-5.50638199f, 0), Vector2D(8.3074646f, 0),
                                       Vector2D(0.643785477f, 1));
    EXPECT_SAME_VEC2(0.643784523f, 0.0f, q);

    // At t = length the end B itself is returned; A + n * t would be 1.33794117 here.
    const Vector2D far(-15.9066229f, 0), near(1.33794022f, 0);
    EXPECT_SAME_VEC2(1.33794022f, 0.0f, ClosestPointSeg(far, near, Vector2D(1.33794022f, 3)));
    // At t = 0 the start itself is returned, signed zeros included.
    EXPECT_SAME_VEC2(-0.0f, -0.0f, ClosestPointSeg(Vector2D(-0.0f, -0.0f), B, Vector2D(0, 7)));

    // The end tests pick the end points themselves, not A + n * t.
    const Vector2D a(0.1f, 0.2f), b(7.3f, -4.9f);
    Vector2D beyond = b;
    beyond += Vector2D(1, 1);
    EXPECT_SAME_VEC2(b.x, b.y, ClosestPointSeg(a, b, beyond));
}

TEST(ClosestPointSeg, ShortSegmentIsItsStart)
{
    const Vector2D p1(1, 1);
    const Vector2D points[] = {Vector2D(0, 0), Vector2D(50, -20), Vector2D(1.000005f, 1)};
    for (const Vector2D& p : points) {
        EXPECT_SAME_VEC2(1.0f, 1.0f, ClosestPointSeg(p1, p1, p));
        EXPECT_SAME_VEC2(1.0f, 1.0f, ClosestPointSeg(p1, Vector2D(1.000005f, 1), p));
    }
    // Exactly at the threshold the segment is no longer a point; Normalize's fallback
    // direction (1, 0) is used even though the segment points along +y.
    const float threshold = 0.00001f;
    const Vector2D end(0, threshold);
    const Vector2D q = ClosestPointSeg(A, end, Vector2D(0, 1));
    EXPECT_SAME_VEC2(0.0f, 0.0f, q);  // projection on (1, 0) is t = 0: the start
    const Vector2D r = ClosestPointSeg(A, end, Vector2D(5e-6f, 0));
    EXPECT_SAME_FLOAT(5e-6f, r.x);
    EXPECT_SAME_FLOAT(0.0f, r.y);
}

TEST(ClosestPointSeg, NaNPointTakesTheInteriorFormula)
{
    const Vector2D q = ClosestPointSeg(A, B, Vector2D(std::nanf(""), 0));
    EXPECT_TRUE(std::isnan(q.x));
}

TEST(LineCircleCollision, TouchingCollides)
{
    EXPECT_TRUE(LineCircleCollision(A, B, Vector2D(5, 3), 3));
    EXPECT_FALSE(LineCircleCollision(A, B, Vector2D(5, 3), 2.9f));
    EXPECT_FALSE(LineCircleCollision(A, B, Vector2D(5, 3), std::nextafter(3.0f, 0.0f)));
    EXPECT_TRUE(LineCircleCollision(A, B, Vector2D(13, 4), 5));   // nearest point is B
    EXPECT_FALSE(LineCircleCollision(A, B, Vector2D(13, 4), 4.99f));
    EXPECT_FALSE(LineCircleCollision(A, B, Vector2D(5, 0), -1));  // a negative radius never reaches
    EXPECT_TRUE(LineCircleCollision(A, B, Vector2D(5, 3), std::nanf("")));
    EXPECT_TRUE(LineCircleCollision(A, B, Vector2D(std::nanf(""), 3), -1));
    // A point-like segment is tested as its start.
    EXPECT_TRUE(LineCircleCollision(Vector2D(1, 1), Vector2D(1, 1), Vector2D(4, 5), 5));
    EXPECT_FALSE(LineCircleCollision(Vector2D(1, 1), Vector2D(1, 1), Vector2D(4, 5), 4.99f));
}

TEST(CircleCircleCollision, TouchingDoesNotCollide)
{
    EXPECT_FALSE(CircleCircleCollision(Vector2D(0, 0), 1, Vector2D(2, 0), 1));
    EXPECT_TRUE(CircleCircleCollision(Vector2D(0, 0), 1, Vector2D(1.9f, 0), 1));
    EXPECT_TRUE(CircleCircleCollision(Vector2D(0, 0), 1, Vector2D(std::nextafter(2.0f, 0.0f), 0), 1));
    EXPECT_TRUE(CircleCircleCollision(Vector2D(0, 0), -1, Vector2D(1, 0), -1));  // only the square counts
    EXPECT_TRUE(CircleCircleCollision(Vector2D(3, 4), 0.5f, Vector2D(3, 4), 0.5f));
    EXPECT_FALSE(CircleCircleCollision(Vector2D(3, 4), 0, Vector2D(3, 4), 0));
    EXPECT_FALSE(CircleCircleCollision(Vector2D(0, 0), std::nanf(""), Vector2D(0, 0), 1));
    EXPECT_FALSE(CircleCircleCollision(Vector2D(std::nanf(""), 0), 1, Vector2D(0, 0), 1));
}

// Nearest distance from p to segment a-b by sampling the segment densely, in double.
double BruteDistance(const Vector2D& a, const Vector2D& b, const Vector2D& p)
{
    const int samples = 4000;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= samples; ++i) {
        const double t = double(i) / samples;
        const double x = a.x + (double(b.x) - a.x) * t;
        const double y = a.y + (double(b.y) - a.y) * t;
        best = std::min(best, std::hypot(x - p.x, y - p.y));
    }
    return best;
}

TEST(CollisionAgreesWithBruteForce, RandomSegmentsAndCircles)
{
    std::mt19937 rng(31337);
    std::uniform_real_distribution<float> coord(-100.0f, 100.0f);
    std::uniform_real_distribution<float> radius(0.0f, 80.0f);
    int checked = 0;
    for (int i = 0; i < 1500; ++i) {
        const Vector2D a(coord(rng), coord(rng)), b(coord(rng), coord(rng)), c(coord(rng), coord(rng));
        const float r = radius(rng);
        const double brute = BruteDistance(a, b, c);
        // The sampled distance overshoots by at most half a sample step (< 0.05 here).
        const double slack = 0.1;

        const Vector2D q = ClosestPointSeg(a, b, c);
        const double viaQ = std::hypot(double(q.x) - c.x, double(q.y) - c.y);
        ASSERT_LE(viaQ, brute + 1e-3) << i;
        ASSERT_GE(viaQ, brute - slack) << i;

        if (std::fabs(brute - r) > slack) {
            ASSERT_EQ(brute <= r, LineCircleCollision(a, b, c, r)) << i;
            ++checked;
        }

        const float r2 = radius(rng);
        const double centres = std::hypot(double(a.x) - c.x, double(a.y) - c.y);
        if (std::fabs(centres - (double(r) + r2)) > 1e-3) {
            ASSERT_EQ(centres < double(r) + r2, CircleCircleCollision(a, r, c, r2)) << i;
        }
    }
    EXPECT_GT(checked, 1000);
}

} // namespace
