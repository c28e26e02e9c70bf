// Vector2D's out-of-line operations: rotation, angle conversions, reflection, and the
// exported copies of the header's inline definitions. Single + - * / of two floats
// rounds the same whether carried in float or double, so those are written plainly;
// longer expressions widen to double explicitly and round once where the value is
// stored or returned.
#define QM_VECTOR2D_OUT_OF_LINE
#include "Vector2D.h"

#include <cmath>

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

void Vector2D::Rotate(float degrees)
{
    const float r = degrees * DTR;
    const float c = float(std::cos(double(r)));
    const float s = float(std::sin(double(r)));
    // Both new components come from the old ones.
    const float nx = float(double(c) * x - double(s) * y);
    y = float(double(s) * x + double(c) * y);
    x = nx;
}

Vector2D Vector2D::AngleToVector(float degrees)
{
    const float r = degrees * DTR;
    return Vector2D(float(std::cos(double(r))), float(std::sin(double(r))));
}

float Vector2D::VectorToAngle(const Vector2D& v)
{
    const float a = float(std::atan2(double(v.y), double(v.x)));
    return a * RTD;
}

void Vector2D::Reflect(Vector2D& normal)
{
    const float d = float(double(x) * normal.x + double(y) * normal.y);
    const float d2 = 2.0f * d;
    x = float(x - double(d2) * normal.x);
    y = float(y - double(d2) * normal.y);
}
