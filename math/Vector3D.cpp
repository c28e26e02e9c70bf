// Vector3D's out-of-line operations: the rotations, the polar conversions, Random, and
// the exported copies of the header's inline definitions. Single + - * / of two floats
// rounds the same whether carried in float or double, so those are written plainly;
// longer expressions widen to double explicitly and round once where the value is
// stored or returned.
#define QM_VECTOR3D_OUT_OF_LINE
#include "Vector3D.h"

#include <cmath>
#include <cstdlib>

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

// Constant-initialized (constexpr constructor): no code runs at library load.
float Vector3D::sinAngle = 0.0f;
float Vector3D::cosAngle = 0.0f;
Vector3D Vector3D::tempV;

void Vector3D::Normalize(Vector3D a, Vector3D b, Vector3D c)
{
    Vector3D l = a - b;
    Vector3D m = b - c;
    l.Normalize();
    m.Normalize();
    x = float(double(l.y) * m.z - double(l.z) * m.y);
    y = float(double(l.z) * m.x - double(l.x) * m.z);
    z = float(double(l.x) * m.y - double(l.y) * m.x);
    Normalize();
}

// [SECTION] Rotations
// The sine and cosine go through the static scratch members and are read back from there.

void Vector3D::RotateX(float degrees)
{
    const float r = degrees * DTR;
    sinAngle = float(std::sin(double(r)));
    cosAngle = float(std::cos(double(r)));
    const double s = sinAngle, c = cosAngle;
    const float ny = float(c * y - s * z);
    z = float(s * y + c * z);
    y = ny;
}

void Vector3D::RotateY(float degrees)
{
    const float r = degrees * DTR;
    sinAngle = float(std::sin(double(r)));
    cosAngle = float(std::cos(double(r)));
    const double s = sinAngle, c = cosAngle;
    const float nx = float(c * x + s * z);
    z = float(c * z - s * x);
    x = nx;
}

void Vector3D::RotateZ(float degrees)
{
    const float r = degrees * DTR;
    sinAngle = float(std::sin(double(r)));
    cosAngle = float(std::cos(double(r)));
    const double s = sinAngle, c = cosAngle;
    const float nx = float(c * x - s * y);
    y = float(c * y + s * x);
    x = nx;
}

void Vector3D::RotateAxis(float degrees, const Vector3D& axis)
{
    // Normalize(), inlined here rather than called through the exported symbol.
    float ux = axis.x, uy = axis.y, uz = axis.z;
    quillmar_detail::Normalize(ux, uy, uz);
    const double ax = ux, ay = uy, az = uz;

    const float r = degrees * DTR;
    sinAngle = float(std::sin(double(r)));
    cosAngle = float(std::cos(double(r)));
    const double s = sinAngle, c = cosAngle;
    const double t = float(1.0 - c);

    // Each matrix entry is rounded to float, as a stored 3x3 matrix would be.
    const double m00 = float(ax * ax + (1.0 - ax * ax) * c);
    const double m01 = float(ax * ay * t - az * s);
    const double m02 = float(ax * az * t + ay * s);
    const double m10 = float(ax * ay * t + az * s);
    const double m11 = float(ay * ay + (1.0 - ay * ay) * c);
    const double m12 = float(ay * az * t - ax * s);
    const double m20 = float(ax * az * t - ay * s);
    const double m21 = float(ay * az * t + ax * s);
    const double m22 = float(az * az + (1.0 - az * az) * c);

    const float nx = float(m00 * x + m01 * y + m02 * z);
    const float ny = float(m10 * x + m11 * y + m12 * z);
    const float nz = float(m20 * x + m21 * y + m22 * z);
    x = nx;
    y = ny;
    z = nz;
}

// [SECTION] Polar conversions

void Vector3D::polarCoord(float yaw, float pitch)
{
    // Here the scratch angles hold radians, not a sine and a cosine.
    sinAngle = yaw * DTR;
    cosAngle = pitch * DTR;
    tempV.x = float(std::sin(double(sinAngle)));
    tempV.z = float(-std::cos(double(sinAngle)));
    tempV.y = float(std::cos(double(cosAngle)));
    x = tempV.y * tempV.x;
    z = tempV.y * tempV.z;
    y = float(-std::sin(double(cosAngle)));
}

Vector3D Vector3D::vectorToPolar(Vector3D v)
{
    Vector3D result;

    // The product with RTD stays in double until the subtraction; rounding it first would
    // move the horizontal pitch and the -z yaw.
    const float a = float(std::atan2(double(v.x), double(v.z)));
    result.y = float(180.0 - double(a) * RTD);
    if (result.y < 0.0f)
        result.y = float(double(result.y) + 360.0);

    tempV.x = v.x;
    tempV.y = 0.0f;
    tempV.z = v.z;
    const float h = tempV.GetLength();

    const float b = float(std::atan2(double(h), double(v.y)));
    result.x = float(double(b) * RTD - 90.0);
    if (result.x < 0.0f)
        result.x = float(double(result.x) + 360.0);

    result.z = v.GetLength();
    return result;
}

Vector3D Vector3D::Random()
{
    Vector3D result;
    // Separate statements fix the order of the three draws.
    result.x = float(std::rand() % 1000 - 500);
    result.y = float(std::rand() % 1000 - 500);
    result.z = float(std::rand() % 1000 - 500);
    result.Normalize();
    return result;
}
