// Single + - * / of two floats rounds the same whether carried in float or double, so
// those are written plainly; longer expressions widen to double explicitly and round
// once where the value is stored or returned.
#include "Vector2D.h"

#include <cmath>

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

void Vector2D::operator=(const Vector2D& v)
{
    x = v.x;
    y = v.y;
}

bool Vector2D::operator==(const Vector2D& v)
{
    return x == v.x && y == v.y;
}

void Vector2D::operator+=(const Vector2D& v) { x = x + v.x; y = y + v.y; }
void Vector2D::operator-=(const Vector2D& v) { x = x - v.x; y = y - v.y; }
void Vector2D::operator*=(const Vector2D& v) { x = x * v.x; y = y * v.y; }
void Vector2D::operator/=(const Vector2D& v) { x = x / v.x; y = y / v.y; }

Vector2D Vector2D::operator+(const Vector2D& v) { return Vector2D(x + v.x, y + v.y); }
Vector2D Vector2D::operator-(const Vector2D& v) { return Vector2D(x - v.x, y - v.y); }
Vector2D Vector2D::operator*(const Vector2D& v) { return Vector2D(x * v.x, y * v.y); }
Vector2D Vector2D::operator/(const Vector2D& v) { return Vector2D(x / v.x, y / v.y); }
Vector2D Vector2D::operator*(float f) { return Vector2D(x * f, y * f); }
Vector2D Vector2D::operator/(float f) { return Vector2D(x / f, y / f); }

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

float Vector2D::Dot(const Vector2D& v)
{
    return float(double(x) * v.x + double(y) * v.y);
}

float Vector2D::GetLength()
{
    // The sum is rounded to float before the root.
    return float(std::sqrt(double(GetLengthSq())));
}

float Vector2D::GetLengthSq()
{
    return float(double(x) * x + double(y) * y);
}

void Vector2D::Normalize()
{
    const float len = GetLength();
    if (len <= 0.00001f) {
        // Too short to have a trustworthy direction: pick +x.
        x = 1.0f;
        y = 0.0f;
        return;
    }
    // Multiply by the float reciprocal; dividing by len differs in the last bit for some inputs.
    const float inv = float(1.0 / len);
    x = x * inv;
    y = y * inv;
}

void Vector2D::SetLength(float length)
{
    Normalize();
    x = x * length;
    y = y * length;
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

Vector2D Vector2D::Perp()
{
    return Vector2D(-y, x);
}

void Vector2D::Reflect(Vector2D& normal)
{
    const float d = float(double(x) * normal.x + double(y) * normal.y);
    const float d2 = 2.0f * d;
    x = float(x - double(d2) * normal.x);
    y = float(y - double(d2) * normal.y);
}
