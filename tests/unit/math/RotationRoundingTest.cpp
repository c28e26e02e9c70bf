// Rotations by angles whose sine and cosine are not exact: the sine and
// cosine are rounded to float before the double products, and each result
// is rounded once. Expected bits come from that rule worked outside C++.
// A compiler that vectorises these functions may drop the float rounding of
// the sine and cosine (or of RotateAxis's matrix entries) and change the
// last bit, so the build must not let it.
#include "Vector2D.h"
#include "Vector3D.h"

#include <gtest/gtest.h>

#include "FloatBits.h"

namespace {

TEST(RotationRounding, Vector2DRotateRoundsSineAndCosineFirst)
{
    Vector2D a(10, -85);
    a.Rotate(149);
    EXPECT_SAME_VEC2(0x1.19a758p+5f, 0x1.3809c4p+6f, a);
    Vector2D b(2, 13);
    b.Rotate(282);
    EXPECT_SAME_VEC2(0x1.a4374p+3f, 0x1.7e3692p-1f, b);
}

TEST(RotationRounding, Vector3DRotationsAboutTheAxes)
{
    Vector3D x(10, -85, 1);
    x.RotateX(149);
    EXPECT_SAME_VEC3(10.0f, 0x1.21605cp+6f, -0x1.651596p+5f, x);
    Vector3D x2(-94, -71, -9);
    x2.RotateX(-34);
    EXPECT_SAME_VEC3(-94.0f, -0x1.ff27c6p+5f, 0x1.01ee3ep+5f, x2);
    Vector3D y(10, -85, 1);
    y.RotateY(149);
    EXPECT_SAME_VEC3(-0x1.01cfdcp+3f, -85.0f, -0x1.807beap+2f, y);
    Vector3D z(2, 13, 7);
    z.RotateZ(282);
    EXPECT_SAME_VEC3(0x1.a4374p+3f, 0x1.7e3692p-1f, 7.0f, z);
}

TEST(RotationRounding, RotateAxisRoundsEveryMatrixEntry)
{
    const Vector3D axis(1, 2, 3);
    Vector3D a(10, -85, 1);
    a.RotateAxis(149, axis);
    EXPECT_SAME_VEC3(0x1.7e917cp+2f, 0x1.19944ap+5f, -0x1.3729cap+6f, a);
    Vector3D b(-31, 44, 5);
    b.RotateAxis(37, axis);
    EXPECT_SAME_VEC3(-0x1.5ac22cp+5f, 0x1.572db6p+4f, 0x1.8262f8p+4f, b);
    Vector3D c(67, -41, -3);
    c.RotateAxis(-272, axis);
    EXPECT_SAME_VEC3(0x1.fef204p+4f, 0x1.8dfcc6p+5f, -0x1.9e7b84p+5f, c);
}

}  // namespace
