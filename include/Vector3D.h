// Vector3D: three-dimensional float vector in the right-handed space of the 3D view
// (an identity model-view looks along -z). Angles are in degrees; rotations are
// counter-clockwise looking down the axis toward the origin.
// Yaw/pitch: yaw 0 looks along -z, yaw 90 along +x; positive pitch tilts toward -y.
//
// Not thread-safe: the rotations, polarCoord and vectorToPolar work through static
// scratch members shared by all vectors.
//
// The arithmetic, products, length and normalisation are defined inline below and give
// the library's floats bit for bit under any flags but -ffast-math (see QuillmarInline.h).
#ifndef QUILLMAR_VECTOR3D_H
#define QUILLMAR_VECTOR3D_H

#include "QuillmarExport.h"
#include "QuillmarInline.h"

#include <cmath>

class QM_API Vector3D
{
public:
    float x;
    float y;
    float z;

    // constexpr so the static scratch vector is constant-initialized, with no code at load.
    constexpr Vector3D() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3D(float xValue, float yValue, float zValue)
        : x(xValue), y(yValue), z(zValue) {}
    constexpr Vector3D(const Vector3D& v) = default;

    // Assignment returns nothing, so it cannot be chained.
    void operator=(const Vector3D& v);
    // Float comparison per component: NaN never equal, +0 equals -0.
    bool operator==(const Vector3D& v);

    // Component-wise; * and / between vectors are not dot or cross products.
    void operator+=(const Vector3D& v);
    void operator-=(const Vector3D& v);
    void operator*=(const Vector3D& v);
    void operator/=(const Vector3D& v);
    Vector3D operator+(const Vector3D& v);
    Vector3D operator-(const Vector3D& v);
    Vector3D operator*(const Vector3D& v);
    Vector3D operator/(const Vector3D& v);
    Vector3D operator*(float f);
    Vector3D operator/(float f);  // no test for zero: IEEE infinities / NaN

    // Two-operand forms: the object receives the result; it may be one of the arguments.
    void Add(const Vector3D& a, const Vector3D& b);
    void Subtract(const Vector3D& a, const Vector3D& b);
    void Multiply(const Vector3D& a, const Vector3D& b);
    void Divide(const Vector3D& a, const Vector3D& b);
    void Multiply(const Vector3D& a, float f);
    void Divide(const Vector3D& a, float f);  // multiplies by 1/f; f == 0 gives a zero vector

    float Dot(const Vector3D& v);
    float GetLength();
    void Normalize();  // a vector at most 0.00001 long is left unchanged
    // Unit normal of triangle a, b, c: on the side where a, b, c run counter-clockwise.
    void Normalize(Vector3D a, Vector3D b, Vector3D c);
    Vector3D Cross(const Vector3D& v);  // object x v, right-handed
    void Negate();

    void RotateX(float degrees);  // carries +y toward +z
    void RotateY(float degrees);  // carries +z toward +x
    void RotateZ(float degrees);  // carries +x toward +y
    void RotateAxis(float degrees, const Vector3D& axis);  // axis normalised internally

    // Sets the object to the unit direction with this yaw and pitch (degrees).
    void polarCoord(float yaw, float pitch);
    // (pitch, yaw, length) of v, angles in [0, 360]; ignores the object.
    Vector3D vectorToPolar(Vector3D v);
    // Random unit direction from three rand() calls (never seeds); ignores the object.
    Vector3D Random();

    // The same operations on a const vector (inline, below): the same floats.
    bool operator==(const Vector3D& v) const;
    Vector3D operator+(const Vector3D& v) const;
    Vector3D operator-(const Vector3D& v) const;
    Vector3D operator*(const Vector3D& v) const;
    Vector3D operator/(const Vector3D& v) const;
    Vector3D operator*(float f) const;
    Vector3D operator/(float f) const;
    float Dot(const Vector3D& v) const;
    float GetLength() const;
    Vector3D Cross(const Vector3D& v) const;
    Vector3D vectorToPolar(Vector3D v) const;

    // Conveniences beside the designed operators, inline (below) and made of
    // them, so they give the same floats: -v flips each sign (as v * -1.0f);
    // f * v is v * f; *= and /= by a float store v * f and v / f (and, like the
    // designed compound assignments, return nothing); != is !(==), so NaN is
    // never equal.
    Vector3D operator-() const;
    void operator*=(float f);
    void operator/=(float f);
    bool operator!=(const Vector3D& v) const;
    // The distance between points a and b: (a - b).GetLength().
    static float Distance(const Vector3D& a, const Vector3D& b);

    // Value forms of the in-place operations, for expressions without a
    // temporary: each runs the designed operation on a copy, so the floats
    // are the same bit for bit, and leaves the object as it is (the
    // rotations and FromPolar share the static scratch, as those do).
    static Vector3D FromPolar(float yaw, float pitch);  // polarCoord(yaw, pitch)
    Vector3D RotatedX(float degrees) const;             // a copy, RotateX(degrees)
    Vector3D RotatedY(float degrees) const;
    Vector3D RotatedZ(float degrees) const;
    Vector3D RotatedAxis(float degrees, const Vector3D& axis) const;  // RotateAxis
    Vector3D Normalized() const;                        // a copy, Normalize()

private:
    friend struct Vector3DProbe;

    // Fixed conversion constants; RTD is not Vector2D's.
    static constexpr float DTR = 0.01745328f;  // bits 0x3C8EFA2E
    static constexpr float RTD = 57.29578f;    // bits 0x42652EE1

    // Scratch storage written and read back by the rotations and the polar conversions.
    static float sinAngle;
    static float cosAngle;
    static Vector3D tempV;
};

// [SECTION] Inline definitions
// Inline for the game; in the library only Vector3D.cpp sees them, and compiles them as
// the exported out-of-line copies. Single + - * / of two floats round the same in float
// as in double, so they are written plainly; longer sums widen to double and round once.

namespace quillmar_detail {

// The length of (x, y, z): the sum of the squares is rounded to float before the root;
// the float root is the double root of that float rounded to float.
inline float LengthOf(float x, float y, float z)
{
    const float sq = float(double(y) * y + double(x) * x + double(z) * z);
    return Rounded(std::sqrt(sq));
}

// Vector3D::Normalize, also used by the library's RotateAxis on its copy of the axis.
inline void Normalize(float& x, float& y, float& z)
{
    float len = LengthOf(x, y, z);
    if (len <= 0.00001f)
        len = 1.0f;  // leaves a (near-)zero vector exactly as it is
    // Multiply by the float reciprocal; dividing by len differs in the last bit for some inputs.
    const float inv = 1.0f / len;
    x = Rounded(x * inv);
    y = Rounded(y * inv);
    z = Rounded(z * inv);
}

}  // namespace quillmar_detail

#if !defined(QUILLMAR_BUILDING)
#define QM_VECTOR3D_INLINE inline
#elif defined(QM_VECTOR3D_OUT_OF_LINE)
#define QM_VECTOR3D_INLINE
#endif

#ifdef QM_VECTOR3D_INLINE

QM_VECTOR3D_INLINE void Vector3D::operator=(const Vector3D& v)
{
    x = v.x;
    y = v.y;
    z = v.z;
}

QM_VECTOR3D_INLINE bool Vector3D::operator==(const Vector3D& v)
{
    return x == v.x && y == v.y && z == v.z;
}

QM_VECTOR3D_INLINE void Vector3D::operator+=(const Vector3D& v)
{
    x = x + v.x;
    y = y + v.y;
    z = z + v.z;
}

QM_VECTOR3D_INLINE void Vector3D::operator-=(const Vector3D& v)
{
    x = x - v.x;
    y = y - v.y;
    z = z - v.z;
}

QM_VECTOR3D_INLINE void Vector3D::operator*=(const Vector3D& v)
{
    using quillmar_detail::Rounded;
    x = Rounded(x * v.x);
    y = Rounded(y * v.y);
    z = Rounded(z * v.z);
}

QM_VECTOR3D_INLINE void Vector3D::operator/=(const Vector3D& v)
{
    x = x / v.x;
    y = y / v.y;
    z = z / v.z;
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator+(const Vector3D& v)
{
    return Vector3D(x + v.x, y + v.y, z + v.z);
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator-(const Vector3D& v)
{
    return Vector3D(x - v.x, y - v.y, z - v.z);
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator*(const Vector3D& v)
{
    using quillmar_detail::Rounded;
    return Vector3D(Rounded(x * v.x), Rounded(y * v.y), Rounded(z * v.z));
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator/(const Vector3D& v)
{
    return Vector3D(x / v.x, y / v.y, z / v.z);
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator*(float f)
{
    using quillmar_detail::Rounded;
    return Vector3D(Rounded(x * f), Rounded(y * f), Rounded(z * f));
}

QM_VECTOR3D_INLINE Vector3D Vector3D::operator/(float f)
{
    return Vector3D(x / f, y / f, z / f);
}

// Each result component reads only the same component of the arguments, so the object
// may alias either argument.

QM_VECTOR3D_INLINE void Vector3D::Add(const Vector3D& a, const Vector3D& b)
{
    x = a.x + b.x;
    y = a.y + b.y;
    z = a.z + b.z;
}

QM_VECTOR3D_INLINE void Vector3D::Subtract(const Vector3D& a, const Vector3D& b)
{
    x = a.x - b.x;
    y = a.y - b.y;
    z = a.z - b.z;
}

QM_VECTOR3D_INLINE void Vector3D::Multiply(const Vector3D& a, const Vector3D& b)
{
    using quillmar_detail::Rounded;
    x = Rounded(a.x * b.x);
    y = Rounded(a.y * b.y);
    z = Rounded(a.z * b.z);
}

QM_VECTOR3D_INLINE void Vector3D::Divide(const Vector3D& a, const Vector3D& b)
{
    x = a.x / b.x;
    y = a.y / b.y;
    z = a.z / b.z;
}

QM_VECTOR3D_INLINE void Vector3D::Multiply(const Vector3D& a, float f)
{
    using quillmar_detail::Rounded;
    x = Rounded(a.x * f);
    y = Rounded(a.y * f);
    z = Rounded(a.z * f);
}

QM_VECTOR3D_INLINE void Vector3D::Divide(const Vector3D& a, float f)
{
    using quillmar_detail::Rounded;
    // A zero divisor stays the multiplier, so the result is a (signed) zero vector
    // instead of infinities. 1 / f in float is the double quotient rounded to float.
    const float m = (f == 0.0f) ? f : 1.0f / f;
    x = Rounded(a.x * m);
    y = Rounded(a.y * m);
    z = Rounded(a.z * m);
}

QM_VECTOR3D_INLINE float Vector3D::Dot(const Vector3D& v)
{
    return quillmar_detail::Rounded(float(double(y) * v.y + double(x) * v.x + double(z) * v.z));
}

QM_VECTOR3D_INLINE float Vector3D::GetLength()
{
    return quillmar_detail::LengthOf(x, y, z);
}

QM_VECTOR3D_INLINE void Vector3D::Normalize()
{
    quillmar_detail::Normalize(x, y, z);
}

QM_VECTOR3D_INLINE Vector3D Vector3D::Cross(const Vector3D& v)
{
    using quillmar_detail::Rounded;
    return Vector3D(Rounded(float(double(y) * v.z - double(z) * v.y)),
                    Rounded(float(double(z) * v.x - double(x) * v.z)),
                    Rounded(float(double(x) * v.y - double(y) * v.x)));
}

QM_VECTOR3D_INLINE void Vector3D::Negate()
{
    x = -x;
    y = -y;
    z = -z;
}

#undef QM_VECTOR3D_INLINE
#endif

// [SECTION] const overloads
// Each runs the designed operation itself, which only reads the object, so
// const and non-const callers get the same floats by construction.

#define QM_VECTOR3D_CONST(Ret, Name, Params, Args) \
    inline Ret Vector3D::Name Params const { return const_cast<Vector3D&>(*this).Name Args; }
QM_VECTOR3D_CONST(bool, operator==, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, operator+, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, operator-, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, operator*, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, operator/, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, operator*, (float f), (f))
QM_VECTOR3D_CONST(Vector3D, operator/, (float f), (f))
QM_VECTOR3D_CONST(float, Dot, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(float, GetLength, (), ())
QM_VECTOR3D_CONST(Vector3D, Cross, (const Vector3D& v), (v))
QM_VECTOR3D_CONST(Vector3D, vectorToPolar, (Vector3D v), (v))
#undef QM_VECTOR3D_CONST

// [SECTION] Conveniences
// Defined after the designed operations' inline definitions: MinGW refuses an inline
// definition of a DLL-imported function that follows a call to it.

inline Vector3D Vector3D::operator-() const { return Vector3D(-x, -y, -z); }
inline void Vector3D::operator*=(float f) { *this = *this * f; }
inline void Vector3D::operator/=(float f) { *this = *this / f; }
inline bool Vector3D::operator!=(const Vector3D& v) const { return !(*this == v); }
inline float Vector3D::Distance(const Vector3D& a, const Vector3D& b) { return (a - b).GetLength(); }
// f * v: the same floats as v * f.
inline Vector3D operator*(float f, const Vector3D& v) { return v * f; }

inline Vector3D Vector3D::FromPolar(float yaw, float pitch)
{
    Vector3D r;
    r.polarCoord(yaw, pitch);
    return r;
}
inline Vector3D Vector3D::RotatedX(float degrees) const
{
    Vector3D r(*this);
    r.RotateX(degrees);
    return r;
}
inline Vector3D Vector3D::RotatedY(float degrees) const
{
    Vector3D r(*this);
    r.RotateY(degrees);
    return r;
}
inline Vector3D Vector3D::RotatedZ(float degrees) const
{
    Vector3D r(*this);
    r.RotateZ(degrees);
    return r;
}
inline Vector3D Vector3D::RotatedAxis(float degrees, const Vector3D& axis) const
{
    Vector3D r(*this);
    r.RotateAxis(degrees, axis);
    return r;
}
inline Vector3D Vector3D::Normalized() const
{
    Vector3D r(*this);
    r.Normalize();
    return r;
}

#endif
