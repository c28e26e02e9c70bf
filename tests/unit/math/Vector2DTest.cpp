#include "Vector2D.h"
#include "Vector3D.h"

#include <cmath>
#include <limits>
#include <random>
#include <type_traits>
#include <utility>

#include <gtest/gtest.h>

#include "FloatBits.h"

struct Vector2DProbe
{
    static float DTR() { return Vector2D::DTR; }
    static float RTD() { return Vector2D::RTD; }
};

namespace {

// The shape of the type is part of its contract: assignment does not chain, and the
// default vector is a compile-time constant.
static_assert(std::is_void<decltype(std::declval<Vector2D&>() = std::declval<const Vector2D&>())>::value,
              "operator= returns nothing");
static_assert(std::is_void<decltype(std::declval<Vector2D&>() += std::declval<const Vector2D&>())>::value,
              "compound assignment returns nothing");
static_assert(sizeof(Vector2D) == 2 * sizeof(float), "two floats and nothing else");
constexpr Vector2D kOrigin;
static_assert(kOrigin.x == 0.0f && kOrigin.y == 0.0f, "default is (0, 0)");

TEST(Vector2DConstants, StoredBits)
{
    EXPECT_EQ(0x3C8EFA2Eu, FloatBits(Vector2DProbe::DTR()));
    EXPECT_EQ(0x42652EEDu, FloatBits(Vector2DProbe::RTD()));
}

TEST(Vector2DArithmetic, ComponentWise)
{
    Vector2D a(4, 6);
    EXPECT_SAME_VEC2(2.0f, 2.0f, a / Vector2D(2, 3));
    EXPECT_SAME_VEC2(8.0f, 18.0f, a * Vector2D(2, 3));
    EXPECT_SAME_VEC2(6.0f, 9.0f, a + Vector2D(2, 3));
    EXPECT_SAME_VEC2(2.0f, 3.0f, a - Vector2D(2, 3));
    EXPECT_SAME_VEC2(2.0f, 3.0f, a * 0.5f);
    EXPECT_SAME_VEC2(2.0f, 3.0f, a / 2.0f);
    EXPECT_SAME_VEC2(4.0f, 6.0f, a);  // the binary operators leave the object alone

    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_SAME_VEC2(inf, inf, Vector2D(1, 1) / 0.0f);

    Vector2D b(1, 2);
    b += Vector2D(3, 4);
    EXPECT_SAME_VEC2(4.0f, 6.0f, b);
    b -= Vector2D(1, 1);
    EXPECT_SAME_VEC2(3.0f, 5.0f, b);
    b *= Vector2D(2, -1);
    EXPECT_SAME_VEC2(6.0f, -5.0f, b);
    b /= Vector2D(3, 5);
    EXPECT_SAME_VEC2(2.0f, -1.0f, b);

    Vector2D c;
    c = Vector2D(7, 8);
    EXPECT_SAME_VEC2(7.0f, 8.0f, c);
}

TEST(Vector2DArithmetic, EqualityIsFloatComparison)
{
    Vector2D a(1, 2);
    EXPECT_TRUE(a == Vector2D(1, 2));
    EXPECT_FALSE(a == Vector2D(1, 3));
    EXPECT_FALSE(a == Vector2D(0, 2));
    Vector2D zero(0.0f, 0.0f);
    EXPECT_TRUE(zero == Vector2D(-0.0f, -0.0f));
    Vector2D withNaN(std::nanf(""), 1);
    EXPECT_FALSE(withNaN == withNaN);
}

TEST(Vector2DLength, LengthDotAndPerp)
{
    Vector2D v(3, 4);
    EXPECT_SAME_FLOAT(5.0f, v.GetLength());
    EXPECT_SAME_FLOAT(25.0f, v.GetLengthSq());
    Vector2D w(1, 2);
    EXPECT_SAME_FLOAT(11.0f, w.Dot(Vector2D(3, 4)));

    EXPECT_SAME_VEC2(-0.0f, 1.0f, Vector2D(1, 0).Perp());
    EXPECT_SAME_VEC2(-1.0f, 0.0f, Vector2D(0, 1).Perp());
}

TEST(Vector2DNormalize, ShortVectorsFallBackToPlusX)
{
    Vector2D zero;
    zero.Normalize();
    EXPECT_SAME_VEC2(1.0f, 0.0f, zero);

    Vector2D tiny(0, 0.000005f);
    tiny.Normalize();
    EXPECT_SAME_VEC2(1.0f, 0.0f, tiny);

    Vector2D small(0, 0.00002f);
    small.Normalize();
    EXPECT_SAME_VEC2(0.0f, 1.0f, small);

    // Exactly at the threshold the fallback applies; one float step above it does not.
    const float threshold = 0.00001f;
    ASSERT_EQ(0x3727C5ACu, FloatBits(threshold));
    Vector2D at(0, threshold);
    EXPECT_SAME_FLOAT(threshold, Vector2D(0, threshold).GetLength());
    at.Normalize();
    EXPECT_SAME_VEC2(1.0f, 0.0f, at);
    Vector2D above(0, std::nextafter(threshold, 1.0f));
    above.Normalize();
    EXPECT_SAME_VEC2(0.0f, 1.0f, above);

    Vector2D nan(std::nanf(""), 1);
    nan.Normalize();
    EXPECT_TRUE(std::isnan(nan.x) && std::isnan(nan.y));
}

TEST(Vector2DNormalize, MultipliesByTheFloatReciprocal)
{
    // Dividing by the length would give 0.986393869 for y.
    Vector2D v(1, 6);
    v.Normalize();
    EXPECT_SAME_VEC2(0.164398983f, 0.986393929f, v);
}

TEST(Vector2DNormalize, SetLength)
{
    Vector2D zero;
    zero.SetLength(5);
    EXPECT_SAME_VEC2(5.0f, 0.0f, zero);

    Vector2D v(3, 4);
    v.SetLength(10);
    EXPECT_FLOAT_EQ(6.0f, v.x);
    EXPECT_FLOAT_EQ(8.0f, v.y);

    Vector2D w(3, 4);
    w.SetLength(-5);
    EXPECT_FLOAT_EQ(-3.0f, w.x);
    EXPECT_FLOAT_EQ(-4.0f, w.y);
}

TEST(Vector2DNormalize, UnitLengthOverWideRange)
{
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-3, 18);
    for (int i = 0; i < 20000; ++i) {
        const float scale = std::pow(10.0f, float(exponent(rng)));
        Vector2D v(mantissa(rng) * scale, mantissa(rng) * scale);
        const double before = std::hypot(double(v.x), double(v.y));
        if (before <= 2e-5)
            continue;
        v.Normalize();
        const double len = std::hypot(double(v.x), double(v.y));
        ASSERT_NEAR(1.0, len, 2.5e-7) << "i=" << i << " scale=" << scale;
    }
}

TEST(Vector2DReflect, NormalIsUsedAsGiven)
{
    Vector2D v(1, -1);
    Vector2D up(0, 1);
    v.Reflect(up);
    EXPECT_SAME_VEC2(1.0f, 1.0f, v);

    // A normal of length 2 scales the reflected part by 4; the normal is not touched.
    Vector2D w(1, -1);
    Vector2D longUp(0, 2);
    w.Reflect(longUp);
    EXPECT_SAME_VEC2(1.0f, 7.0f, w);
    EXPECT_SAME_VEC2(0.0f, 2.0f, longUp);
}

TEST(Vector2DAngles, RightAnglesAreOffByTheStoredConstant)
{
    Vector2D any(123, -4);
    EXPECT_SAME_VEC2(0.0000011483816f, 1.0f, any.AngleToVector(90));
    EXPECT_SAME_VEC2(-1.0f, 0.0000022967631f, any.AngleToVector(180));
    EXPECT_SAME_VEC2(1.0f, 0.0f, any.AngleToVector(0));
    EXPECT_SAME_VEC2(123.0f, -4.0f, any);

    Vector2D v(1, 0);
    v.Rotate(90);
    EXPECT_SAME_VEC2(0.0000011483816f, 1.0f, v);

    // Rotating about a general angle uses the old components for both new ones.
    Vector2D u(3, 4);
    u.Rotate(90);
    EXPECT_NEAR(-4.0, u.x, 1e-5);
    EXPECT_NEAR(3.0, u.y, 1e-5);
}

TEST(Vector2DAngles, VectorToAngleUsesItsOwnRTD)
{
    Vector2D any(std::nanf(""), 5);  // the object is never read
    EXPECT_SAME_FLOAT(90.00007629394531f, any.VectorToAngle(Vector2D(0, 1)));
    EXPECT_SAME_FLOAT(45.000038146972656f, any.VectorToAngle(Vector2D(1, 1)));
    EXPECT_SAME_FLOAT(180.00015258789062f, any.VectorToAngle(Vector2D(-1, 0)));
    EXPECT_SAME_FLOAT(-90.00007629394531f, any.VectorToAngle(Vector2D(0, -1)));
    EXPECT_SAME_FLOAT(0.0f, any.VectorToAngle(Vector2D(1, 0)));
    EXPECT_SAME_FLOAT(0.0f, any.VectorToAngle(Vector2D(0, 0)));
    EXPECT_SAME_FLOAT(90.00000762939453f, any.VectorToAngle(any.AngleToVector(90)));
}

// The conveniences where the exactness programs (their bit-for-bit checks) do not
// run, sanitizers and Windows: zero's sign, NaN never equal, the distance.
TEST(Vector2DConveniences, KeepZerosSignNaNAndDistance) {
    const Vector2D minusZero = -Vector2D();
    EXPECT_TRUE(std::signbit(minusZero.x) && std::signbit(minusZero.y));
    const Vector2D nan(std::nanf(""), 0.0f);
    EXPECT_TRUE(nan != nan);
    EXPECT_FALSE(Vector2D(1.0f, 1.0f) != Vector2D(1.0f, 1.0f));
    EXPECT_EQ(Vector2D::Distance(Vector2D(1.0f, 1.0f), Vector2D(4.0f, 5.0f)), 5.0f);
    EXPECT_EQ(Vector3D::Distance(Vector3D(1.0f, 2.0f, 3.0f), Vector3D(3.0f, 5.0f, 9.0f)), 7.0f);
    Vector2D v(3.0f, -6.0f);
    v *= 2.0f;
    v /= 3.0f;
    EXPECT_TRUE(v == 0.5f * Vector2D(4.0f, -8.0f));
}

} // namespace
