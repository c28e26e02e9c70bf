#include "Vector3D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <type_traits>
#include <utility>

#include <gtest/gtest.h>

#include "FloatBits.h"

struct Vector3DProbe
{
    static float DTR() { return Vector3D::DTR; }
    static float RTD() { return Vector3D::RTD; }
    static float sinAngle() { return Vector3D::sinAngle; }
    static float cosAngle() { return Vector3D::cosAngle; }
    static Vector3D tempV() { return Vector3D::tempV; }
};

namespace {

static_assert(std::is_void<decltype(std::declval<Vector3D&>() = std::declval<const Vector3D&>())>::value,
              "operator= returns nothing");
static_assert(sizeof(Vector3D) == 3 * sizeof(float), "three floats and nothing else");
// The static scratch vector relies on this to be constant-initialized.
constexpr Vector3D kOrigin;
constexpr Vector3D kSample(1, 2, 3);
static_assert(kOrigin.x == 0.0f && kOrigin.y == 0.0f && kOrigin.z == 0.0f, "default is zero");
static_assert(kSample.x == 1.0f && kSample.y == 2.0f && kSample.z == 3.0f, "argument order");

TEST(Vector3DConstants, StoredBits)
{
    EXPECT_EQ(0x3C8EFA2Eu, FloatBits(Vector3DProbe::DTR()));
    EXPECT_EQ(0x42652EE1u, FloatBits(Vector3DProbe::RTD()));
}

TEST(Vector3DArithmetic, OperatorsAndEquality)
{
    Vector3D a(4, 6, 8);
    EXPECT_SAME_VEC3(5.0f, 8.0f, 11.0f, a + Vector3D(1, 2, 3));
    EXPECT_SAME_VEC3(3.0f, 4.0f, 5.0f, a - Vector3D(1, 2, 3));
    EXPECT_SAME_VEC3(4.0f, 12.0f, 24.0f, a * Vector3D(1, 2, 3));
    EXPECT_SAME_VEC3(2.0f, 2.0f, 2.0f, a / Vector3D(2, 3, 4));
    EXPECT_SAME_VEC3(2.0f, 3.0f, 4.0f, a * 0.5f);
    EXPECT_SAME_VEC3(2.0f, 3.0f, 4.0f, a / 2.0f);
    EXPECT_SAME_VEC3(4.0f, 6.0f, 8.0f, a);

    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_SAME_VEC3(inf, inf, inf, Vector3D(1, 1, 1) / 0.0f);

    Vector3D b(1, 2, 3);
    b += Vector3D(1, 1, 1);
    b -= Vector3D(0, 1, 2);
    b *= Vector3D(3, 3, 3);
    b /= Vector3D(2, 1, 0.5f);
    EXPECT_SAME_VEC3(3.0f, 6.0f, 12.0f, b);

    EXPECT_TRUE(b == Vector3D(3, 6, 12));
    EXPECT_FALSE(b == Vector3D(3, 6, 13));
    Vector3D zero;
    EXPECT_TRUE(zero == Vector3D(-0.0f, -0.0f, -0.0f));
    Vector3D nan(0, 0, std::nanf(""));
    EXPECT_FALSE(nan == nan);

    Vector3D n(1, -2, 0);
    n.Negate();
    EXPECT_SAME_VEC3(-1.0f, 2.0f, -0.0f, n);
}

TEST(Vector3DArithmetic, TwoOperandFormsMayAliasTheObject)
{
    Vector3D v(1, 2, 3);
    v.Add(v, v);
    EXPECT_SAME_VEC3(2.0f, 4.0f, 6.0f, v);
    v.Subtract(Vector3D(10, 10, 10), v);
    EXPECT_SAME_VEC3(8.0f, 6.0f, 4.0f, v);
    v.Multiply(v, v);
    EXPECT_SAME_VEC3(64.0f, 36.0f, 16.0f, v);
    v.Divide(v, Vector3D(8, 6, 4));
    EXPECT_SAME_VEC3(8.0f, 6.0f, 4.0f, v);
    v.Multiply(v, 0.25f);
    EXPECT_SAME_VEC3(2.0f, 1.5f, 1.0f, v);
}

TEST(Vector3DArithmetic, DivideByFloatUsesTheReciprocal)
{
    Vector3D v;
    v.Divide(Vector3D(2, 4, 6), 2);
    EXPECT_SAME_VEC3(1.0f, 2.0f, 3.0f, v);

    // 5 * float(1/3) and 5 / 3 differ in the last bit.
    Vector3D five(5, 5, 5);
    v.Divide(five, 3);
    EXPECT_SAME_FLOAT(5.0f * float(1.0 / 3.0), v.x);
    EXPECT_NE(FloatBits(5.0f / 3.0f), FloatBits(v.x));
    EXPECT_SAME_FLOAT(5.0f / 3.0f, (five / 3.0f).x);

    // A zero divisor gives a signed zero vector, not infinities.
    v.Divide(Vector3D(1, -2, 3), 0.0f);
    EXPECT_SAME_VEC3(0.0f, -0.0f, 0.0f, v);
    v.Divide(Vector3D(1, -2, 3), -0.0f);
    EXPECT_SAME_VEC3(-0.0f, 0.0f, -0.0f, v);
    v.Divide(Vector3D(std::numeric_limits<float>::infinity(), 1, 1), 0.0f);
    EXPECT_TRUE(std::isnan(v.x));
    EXPECT_SAME_FLOAT(0.0f, v.y);
}

TEST(Vector3DLength, DotLengthAndNormalize)
{
    Vector3D v(1, 2, 3);
    EXPECT_SAME_FLOAT(32.0f, v.Dot(Vector3D(4, 5, 6)));
    Vector3D w(2, 3, 6);
    EXPECT_SAME_FLOAT(7.0f, w.GetLength());

    Vector3D zero;
    zero.Normalize();
    EXPECT_SAME_VEC3(0.0f, 0.0f, 0.0f, zero);

    Vector3D tiny(0, 0, 0.000005f);
    tiny.Normalize();
    EXPECT_SAME_VEC3(0.0f, 0.0f, 0.000005f, tiny);

    // The threshold is inclusive; one step above it normalizes.
    const float threshold = 0.00001f;
    Vector3D at(0, 0, threshold);
    at.Normalize();
    EXPECT_SAME_VEC3(0.0f, 0.0f, threshold, at);
    Vector3D above(0, 0, std::nextafter(threshold, 1.0f));
    above.Normalize();
    EXPECT_SAME_VEC3(0.0f, 0.0f, 1.0f, above);

    // The sum of squares is rounded to float before the root (else 32.7759018).
    Vector3D rounded(0.370000005f, 32.7700005f, 0.5f);
    EXPECT_SAME_FLOAT(32.7759056f, rounded.GetLength());
    // Multiplied by the float reciprocal of the length (dividing gives 0.986393869).
    Vector3D viaReciprocal(0, 1, 6);
    viaReciprocal.Normalize();
    EXPECT_SAME_VEC3(0.0f, 0.164398983f, 0.986393929f, viaReciprocal);

    Vector3D u(3, 0, 4);
    u.Normalize();
    EXPECT_FLOAT_EQ(0.6f, u.x);
    EXPECT_SAME_FLOAT(0.0f, u.y);
    EXPECT_FLOAT_EQ(0.8f, u.z);
}

TEST(Vector3DLength, NormalizedLengthIsOne)
{
    std::mt19937 rng(4242);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-3, 18);
    for (int i = 0; i < 20000; ++i) {
        const float scale = std::pow(10.0f, float(exponent(rng)));
        Vector3D v(mantissa(rng) * scale, mantissa(rng) * scale, mantissa(rng) * scale);
        if (std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z) <= 2e-5)
            continue;
        v.Normalize();
        const double len = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
        ASSERT_NEAR(1.0, len, 2.5e-7) << "i=" << i << " scale=" << scale;
    }
}

TEST(Vector3DProducts, CrossAndTriangleNormal)
{
    Vector3D ex(1, 0, 0), ey(0, 1, 0);
    EXPECT_SAME_VEC3(0.0f, 0.0f, 1.0f, ex.Cross(ey));
    EXPECT_SAME_VEC3(0.0f, 0.0f, -1.0f, ey.Cross(ex));
    Vector3D a(1, 2, 3);
    EXPECT_SAME_VEC3(-3.0f, 6.0f, -3.0f, a.Cross(Vector3D(4, 5, 6)));

    Vector3D n;
    n.Normalize(Vector3D(0, 0, 0), Vector3D(1, 0, 0), Vector3D(0, 1, 0));
    EXPECT_FLOAT_EQ(1.0f, n.z);
    EXPECT_EQ(0.0f, n.x);
    EXPECT_EQ(0.0f, n.y);
    n.Normalize(Vector3D(0, 0, 0), Vector3D(0, 1, 0), Vector3D(1, 0, 0));
    EXPECT_FLOAT_EQ(-1.0f, n.z);
    EXPECT_EQ(0.0f, n.x);
    EXPECT_EQ(0.0f, n.y);

    // A large, skewed triangle: the normal is unit and points along (b - a) x (c - a).
    Vector3D p(10, -3, 2), q(40, 5, -7), r(-6, 22, 1);
    n.Normalize(p, q, r);
    Vector3D reference = (q - p).Cross(r - p);
    reference.Normalize();
    EXPECT_NEAR(reference.x, n.x, 1e-6);
    EXPECT_NEAR(reference.y, n.y, 1e-6);
    EXPECT_NEAR(reference.z, n.z, 1e-6);
    EXPECT_SAME_VEC3(10.0f, -3.0f, 2.0f, p);

    // Two equal corners: no direction, a zero vector.
    n.Normalize(p, p, q);
    EXPECT_EQ(0.0f, n.x);
    EXPECT_EQ(0.0f, n.y);
    EXPECT_EQ(0.0f, n.z);
}

TEST(Vector3DRotation, RightAnglesAroundEachAxis)
{
    const float eps = 0.0000011483816f;
    Vector3D v(0, 1, 0);
    v.RotateX(90);
    EXPECT_SAME_VEC3(0.0f, eps, 1.0f, v);

    v = Vector3D(1, 0, 0);
    v.RotateY(90);
    EXPECT_SAME_VEC3(eps, 0.0f, -1.0f, v);

    v = Vector3D(0, 0, 1);
    v.RotateY(90);
    EXPECT_SAME_VEC3(1.0f, 0.0f, eps, v);

    v = Vector3D(1, 0, 0);
    v.RotateZ(90);
    EXPECT_SAME_VEC3(eps, 1.0f, 0.0f, v);
    EXPECT_SAME_FLOAT(1.0f, Vector3DProbe::sinAngle());
    EXPECT_SAME_FLOAT(eps, Vector3DProbe::cosAngle());

    // Negative angles turn the other way.
    v = Vector3D(0, 1, 0);
    v.RotateX(-90);
    EXPECT_SAME_VEC3(0.0f, eps, -1.0f, v);
}

TEST(Vector3DRotation, AboutAnAxis)
{
    const float eps = 0.0000011483816f;
    Vector3D v(0, 1, 0);
    v.RotateAxis(90, Vector3D(1, 0, 0));
    EXPECT_SAME_VEC3(0.0f, eps, 1.0f, v);

    // The axis is normalised before use.
    v = Vector3D(1, 0, 0);
    v.RotateAxis(90, Vector3D(0, 0, 5));
    EXPECT_SAME_VEC3(eps, 1.0f, 0.0f, v);

    v = Vector3D(1, 0, 0);
    v.RotateAxis(120, Vector3D(1, 1, 1));
    EXPECT_NEAR(0.0, v.x, 1e-6);
    EXPECT_NEAR(1.0, v.y, 1e-6);
    EXPECT_NEAR(0.0, v.z, 1e-6);

    // A zero axis leaves only the cosine on the diagonal.
    v = Vector3D(1, 2, 3);
    v.RotateAxis(60, Vector3D(0, 0, 0));
    EXPECT_SAME_VEC3(0.5000007f, 1.0000014f, 1.5000021f, v);

    // Rotating a vector about itself (aliased axis) leaves its direction alone.
    v = Vector3D(2, -1, 3);
    v.RotateAxis(75, v);
    EXPECT_NEAR(2.0, v.x, 1e-5);
    EXPECT_NEAR(-1.0, v.y, 1e-5);
    EXPECT_NEAR(3.0, v.z, 1e-5);
}

TEST(Vector3DRotation, AxisRotationAgreesWithCoordinateRotations)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> coord(-10.0f, 10.0f);
    std::uniform_real_distribution<float> degrees(-400.0f, 400.0f);
    for (int i = 0; i < 2000; ++i) {
        const Vector3D start(coord(rng), coord(rng), coord(rng));
        const float a = degrees(rng);
        Vector3D byX = start, byY = start, byZ = start;
        Vector3D axisX = start, axisY = start, axisZ = start;
        byX.RotateX(a);
        byY.RotateY(a);
        byZ.RotateZ(a);
        axisX.RotateAxis(a, Vector3D(1, 0, 0));
        axisY.RotateAxis(a, Vector3D(0, 1, 0));
        axisZ.RotateAxis(a, Vector3D(0, 0, 1));
        ASSERT_NEAR(byX.y, axisX.y, 2e-5);
        ASSERT_NEAR(byX.z, axisX.z, 2e-5);
        ASSERT_NEAR(byY.x, axisY.x, 2e-5);
        ASSERT_NEAR(byY.z, axisY.z, 2e-5);
        ASSERT_NEAR(byZ.x, axisZ.x, 2e-5);
        ASSERT_NEAR(byZ.y, axisZ.y, 2e-5);
        ASSERT_EQ(start.x, byX.x);
        ASSERT_EQ(start.y, byY.y);
        ASSERT_EQ(start.z, byZ.z);
    }
}

TEST(Vector3DPolar, PolarCoordDirections)
{
    const float eps = 0.0000011483816f;
    Vector3D v(7, 7, 7);
    v.polarCoord(0, 0);
    EXPECT_SAME_VEC3(0.0f, -0.0f, -1.0f, v);
    v.polarCoord(90, 0);
    EXPECT_SAME_VEC3(1.0f, -0.0f, -eps, v);
    EXPECT_SAME_FLOAT(1.5707952f, Vector3DProbe::sinAngle());  // the yaw in radians
    EXPECT_SAME_FLOAT(0.0f, Vector3DProbe::cosAngle());
    v.polarCoord(0, 90);
    EXPECT_SAME_VEC3(0.0f, -1.0f, -eps, v);
    v.polarCoord(0, -90);
    EXPECT_SAME_VEC3(0.0f, 1.0f, -eps, v);
}

TEST(Vector3DPolar, VectorToPolarAngles)
{
    const float level = 0.0000035550306f;
    Vector3D any(std::nanf(""), 1, 2);  // never read
    EXPECT_SAME_VEC3(level, 90.0f, 1.0f, any.vectorToPolar(Vector3D(1, 0, 0)));
    EXPECT_SAME_VEC3(level, 180.0f, 1.0f, any.vectorToPolar(Vector3D(0, 0, 1)));
    EXPECT_SAME_VEC3(level, 270.0f, 1.0f, any.vectorToPolar(Vector3D(-1, 0, 0)));
    // Yaw 360, not 0: 180 - a*RTD is a tiny negative number there.
    EXPECT_SAME_VEC3(level, 360.0f, 1.0f, any.vectorToPolar(Vector3D(0, 0, -1)));
    EXPECT_SAME_VEC3(270.0f, 180.0f, 1.0f, any.vectorToPolar(Vector3D(0, 1, 0)));
    EXPECT_SAME_VEC3(90.00000762939453f, 180.0f, 1.0f, any.vectorToPolar(Vector3D(0, -1, 0)));
    EXPECT_SAME_VEC3(270.0f, 180.0f, 0.0f, any.vectorToPolar(Vector3D(0, 0, 0)));

    Vector3D p = any.vectorToPolar(Vector3D(0, 3, 4));
    EXPECT_NEAR(323.1301, p.x, 1e-4);
    EXPECT_SAME_FLOAT(180.0f, p.y);
    EXPECT_SAME_FLOAT(5.0f, p.z);
    p = any.vectorToPolar(Vector3D(3, 0, -4));
    EXPECT_SAME_FLOAT(level, p.x);
    EXPECT_NEAR(36.8699, p.y, 1e-4);
    EXPECT_SAME_FLOAT(5.0f, p.z);

    EXPECT_SAME_VEC3(3.0f, 0.0f, -4.0f, Vector3DProbe::tempV());
}

TEST(Vector3DPolar, RoundTripThroughPolarCoord)
{
    Vector3D v;
    v.polarCoord(30, 30);
    EXPECT_SAME_VEC3(29.999977f, 29.999973f, 1.0f, v.vectorToPolar(v));

    // Angles come back up to a multiple of 360, within 0.0003 degree. DTR * RTD is
    // 0.99999926, so the error grows with the size of the yaw: keep it within one turn.
    auto angularGap = [](double a, double b) {
        double d = std::fmod(std::fabs(a - b), 360.0);
        return std::min(d, 360.0 - d);
    };
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> yaws(-360.0f, 360.0f);
    std::uniform_real_distribution<float> pitches(-89.5f, 89.5f);
    for (int i = 0; i < 5000; ++i) {
        const float yaw = yaws(rng), pitch = pitches(rng);
        v.polarCoord(yaw, pitch);
        const Vector3D back = v.vectorToPolar(v);
        ASSERT_GE(back.x, 0.0f);
        ASSERT_LE(back.x, 360.0f);
        ASSERT_GE(back.y, 0.0f);
        ASSERT_LE(back.y, 360.0f);
        ASSERT_LT(angularGap(back.x, pitch), 3e-4) << yaw << ", " << pitch;
        ASSERT_LT(angularGap(back.y, yaw), 3e-4) << yaw << ", " << pitch;
        ASSERT_NEAR(1.0, back.z, 2.5e-7);
    }
}

TEST(Vector3DRandom, UnitVectorFromExactlyThreeDraws)
{
    Vector3D caller(5, 6, 7);
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        const Vector3D v = caller.Random();
        const int next = std::rand();

        std::srand(seed);
        const int a = std::rand(), b = std::rand(), c = std::rand(), d = std::rand();
        ASSERT_EQ(d, next) << "Random must consume exactly three draws, seed " << seed;

        // The same whole numbers, -500..499, normalised.
        Vector3D expected(float(a % 1000 - 500), float(b % 1000 - 500), float(c % 1000 - 500));
        expected.Normalize();
        ASSERT_EQ(FloatBits(expected.x), FloatBits(v.x)) << seed;
        ASSERT_EQ(FloatBits(expected.y), FloatBits(v.y)) << seed;
        ASSERT_EQ(FloatBits(expected.z), FloatBits(v.z)) << seed;

        const double len = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
        ASSERT_NEAR(1.0, len, 2.5e-7);
    }
    EXPECT_SAME_VEC3(5.0f, 6.0f, 7.0f, caller);
}

} // namespace
