// The value-returning forms of the vectors' in-place operations: the same
// bits as the in-place operation on a copy, for ordinary, short, huge, signed
// zero and NaN inputs, and the object they are called on left as it was.
#include "Vector2D.h"
#include "Vector3D.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "FloatBits.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<Vector2D> Inputs2D() {
    return {{3.0f, -4.0f}, {0.0f, 0.0f}, {-0.0f, 0.0f}, {0.000001f, 0.0f},
            {1e30f, -1e30f}, {0.1f, 0.7f}, {kNaN, 1.0f}};
}
std::vector<Vector3D> Inputs3D() {
    return {{3.0f, -4.0f, 12.0f}, {0.0f, 0.0f, 0.0f}, {-0.0f, 0.0f, -0.0f},
            {0.000001f, 0.0f, 0.0f}, {1e30f, -1e30f, 1e30f}, {0.1f, 0.7f, -0.3f},
            {kNaN, 1.0f, 2.0f}};
}
const float kAngles[] = {0.0f, 90.0f, -33.3f, 180.0f, 1e7f, kNaN};
const float kLengths[] = {1.0f, 2.5f, -3.0f, 0.0f, 1e30f, kNaN};

TEST(VectorValueForms, Vector2DFormsMatchTheInPlaceOperationsBitForBit) {
    for (float degrees : kAngles) {
        const Vector2D made = Vector2D::FromAngle(degrees);
        EXPECT_SAME_VEC2(Vector2D().AngleToVector(degrees).x, Vector2D().AngleToVector(degrees).y,
                         made);
    }
    const Vector2D normal(0.6f, 0.8f);
    for (const Vector2D& v : Inputs2D()) {
        SCOPED_TRACE(::testing::Message() << v.x << "," << v.y);
        const Vector2D before = v;
        for (float degrees : kAngles) {
            Vector2D r = v;
            r.Rotate(degrees);
            EXPECT_SAME_VEC2(r.x, r.y, v.Rotated(degrees));
        }
        for (float length : kLengths) {
            Vector2D r = v;
            r.SetLength(length);
            EXPECT_SAME_VEC2(r.x, r.y, v.WithLength(length));
        }
        Vector2D n = v;
        n.Normalize();
        EXPECT_SAME_VEC2(n.x, n.y, v.Normalized());
        Vector2D reflected = v, normalCopy = normal;
        reflected.Reflect(normalCopy);
        EXPECT_SAME_VEC2(reflected.x, reflected.y, v.Reflected(normal));
        EXPECT_SAME_VEC2(before.x, before.y, v);
    }
}

TEST(VectorValueForms, Vector3DFormsMatchTheInPlaceOperationsBitForBit) {
    for (float yaw : kAngles)
        for (float pitch : {0.0f, 45.0f, -90.0f}) {
            Vector3D r;
            r.polarCoord(yaw, pitch);
            EXPECT_SAME_VEC3(r.x, r.y, r.z, Vector3D::FromPolar(yaw, pitch));
        }
    const Vector3D axis(1.0f, 2.0f, -2.0f);
    for (const Vector3D& v : Inputs3D()) {
        SCOPED_TRACE(::testing::Message() << v.x << "," << v.y << "," << v.z);
        for (float degrees : kAngles) {
            Vector3D x = v, y = v, z = v, a = v;
            x.RotateX(degrees);
            y.RotateY(degrees);
            z.RotateZ(degrees);
            a.RotateAxis(degrees, axis);
            EXPECT_SAME_VEC3(x.x, x.y, x.z, v.RotatedX(degrees));
            EXPECT_SAME_VEC3(y.x, y.y, y.z, v.RotatedY(degrees));
            EXPECT_SAME_VEC3(z.x, z.y, z.z, v.RotatedZ(degrees));
            EXPECT_SAME_VEC3(a.x, a.y, a.z, v.RotatedAxis(degrees, axis));
        }
        Vector3D n = v;
        n.Normalize();
        EXPECT_SAME_VEC3(n.x, n.y, n.z, v.Normalized());
    }
}

}  // namespace
