// Vector2D: two-dimensional float vector for positions and directions on the 2D layer.
// Angles are in degrees, 0 along +x, positive counter-clockwise with y up.
// Results are rounded to float where stored or returned; arithmetic inside one
// operation is carried in double.
//
// The arithmetic, products, length and normalisation are defined inline below and give
// the library's floats bit for bit under any flags but -ffast-math (see QuillmarInline.h).
#ifndef QUILLMAR_VECTOR2D_H
#define QUILLMAR_VECTOR2D_H

#include "QuillmarExport.h"
#include "QuillmarInline.h"

#include <cmath>

class QM_API Vector2D
{
public:
    float x;
    float y;

    constexpr Vector2D() : x(0.0f), y(0.0f) {}
    constexpr Vector2D(float xValue, float yValue) : x(xValue), y(yValue) {}
    constexpr Vector2D(const Vector2D& v) = default;

    // Assignment returns nothing, so it cannot be chained.
    void operator=(const Vector2D& v);
    // Float comparison per component: NaN never equal, +0 equals -0.
    bool operator==(const Vector2D& v);

    // Component-wise; * and / between vectors are not dot or cross products.
    void operator+=(const Vector2D& v);
    void operator-=(const Vector2D& v);
    void operator*=(const Vector2D& v);
    void operator/=(const Vector2D& v);
    Vector2D operator+(const Vector2D& v);
    Vector2D operator-(const Vector2D& v);
    Vector2D operator*(const Vector2D& v);
    Vector2D operator/(const Vector2D& v);
    Vector2D operator*(float f);
    Vector2D operator/(float f);  // no test for zero: IEEE infinities / NaN

    void Rotate(float degrees);  // in place, counter-clockwise for positive degrees
    float Dot(const Vector2D& v);
    float GetLength();
    float GetLengthSq();
    void Normalize();               // a vector at most 0.00001 long becomes (1, 0)
    void SetLength(float length);   // Normalize, then scale; negative flips
    Vector2D AngleToVector(float degrees);  // unit vector at that angle; ignores the object
    float VectorToAngle(const Vector2D& v); // angle of v in about -180..180; ignores the object
    Vector2D Perp();                        // (-y, x): turned 90 degrees counter-clockwise
    void Reflect(Vector2D& normal);         // v - 2(v.n)n; normal is read only and not normalised

    // The same operations on a const vector (inline, below): the same floats.
    bool operator==(const Vector2D& v) const;
    Vector2D operator+(const Vector2D& v) const;
    Vector2D operator-(const Vector2D& v) const;
    Vector2D operator*(const Vector2D& v) const;
    Vector2D operator/(const Vector2D& v) const;
    Vector2D operator*(float f) const;
    Vector2D operator/(float f) const;
    float Dot(const Vector2D& v) const;
    float GetLength() const;
    float GetLengthSq() const;
    Vector2D AngleToVector(float degrees) const;
    float VectorToAngle(const Vector2D& v) const;
    Vector2D Perp() const;

    // Conveniences beside the designed operators, inline (below) and made of
    // them, so they give the same floats: -v flips each sign (as v * -1.0f);
    // f * v is v * f; *= and /= by a float store v * f and v / f (and, like the
    // designed compound assignments, return nothing); != is !(==), so NaN is
    // never equal.
    Vector2D operator-() const;
    void operator*=(float f);
    void operator/=(float f);
    bool operator!=(const Vector2D& v) const;
    // The distance between points a and b: (a - b).GetLength().
    static float Distance(const Vector2D& a, const Vector2D& b);

    // Value forms of the in-place operations, for expressions without a
    // temporary: each runs the designed operation on a copy, so the floats
    // are the same bit for bit, and leaves the object as it is.
    static Vector2D FromAngle(float degrees);          // AngleToVector(degrees)
    Vector2D Rotated(float degrees) const;             // a copy, Rotate(degrees)
    Vector2D WithLength(float length) const;           // a copy, SetLength(length)
    Vector2D Normalized() const;                       // a copy, Normalize()
    Vector2D Reflected(const Vector2D& normal) const;  // a copy, Reflect(normal)

private:
    friend struct Vector2DProbe;

    // Fixed conversion constants, deliberately not pi/180 and 180/pi rounded:
    // every angle result of this class is defined by these exact floats.
    static constexpr float DTR = 0.01745328f;  // bits 0x3C8EFA2E
    static constexpr float RTD = 57.295826f;   // bits 0x42652EED
};

// [SECTION] Inline definitions
// Inline for the game; in the library only Vector2D.cpp sees them, and compiles them as
// the exported out-of-line copies. Single + - * / of two floats round the same in float
// as in double, so they are written plainly; longer sums widen to double and round once.

#if !defined(QUILLMAR_BUILDING)
#define QM_VECTOR2D_INLINE inline
#elif defined(QM_VECTOR2D_OUT_OF_LINE)
#define QM_VECTOR2D_INLINE
#endif

#ifdef QM_VECTOR2D_INLINE

QM_VECTOR2D_INLINE void Vector2D::operator=(const Vector2D& v)
{
    x = v.x;
    y = v.y;
}

QM_VECTOR2D_INLINE bool Vector2D::operator==(const Vector2D& v)
{
    return x == v.x && y == v.y;
}

QM_VECTOR2D_INLINE void Vector2D::operator+=(const Vector2D& v)
{
    x = x + v.x;
    y = y + v.y;
}

QM_VECTOR2D_INLINE void Vector2D::operator-=(const Vector2D& v)
{
    x = x - v.x;
    y = y - v.y;
}

QM_VECTOR2D_INLINE void Vector2D::operator*=(const Vector2D& v)
{
    using quillmar_detail::Rounded;
    x = Rounded(x * v.x);
    y = Rounded(y * v.y);
}

QM_VECTOR2D_INLINE void Vector2D::operator/=(const Vector2D& v)
{
    x = x / v.x;
    y = y / v.y;
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator+(const Vector2D& v)
{
    return Vector2D(x + v.x, y + v.y);
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator-(const Vector2D& v)
{
    return Vector2D(x - v.x, y - v.y);
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator*(const Vector2D& v)
{
    using quillmar_detail::Rounded;
    return Vector2D(Rounded(x * v.x), Rounded(y * v.y));
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator/(const Vector2D& v)
{
    return Vector2D(x / v.x, y / v.y);
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator*(float f)
{
    using quillmar_detail::Rounded;
    return Vector2D(Rounded(x * f), Rounded(y * f));
}

QM_VECTOR2D_INLINE Vector2D Vector2D::operator/(float f)
{
    return Vector2D(x / f, y / f);
}

QM_VECTOR2D_INLINE float Vector2D::Dot(const Vector2D& v)
{
    return quillmar_detail::Rounded(float(double(x) * v.x + double(y) * v.y));
}

QM_VECTOR2D_INLINE float Vector2D::GetLengthSq()
{
    return quillmar_detail::Rounded(float(double(x) * x + double(y) * y));
}

QM_VECTOR2D_INLINE float Vector2D::GetLength()
{
    // The sum is rounded to float before the root; the float root is the double root
    // of that float rounded to float.
    return quillmar_detail::Rounded(std::sqrt(GetLengthSq()));
}

QM_VECTOR2D_INLINE void Vector2D::Normalize()
{
    using quillmar_detail::Rounded;
    const float len = GetLength();
    if (len <= 0.00001f) {
        // Too short to have a trustworthy direction: pick +x.
        x = 1.0f;
        y = 0.0f;
        return;
    }
    // Multiply by the float reciprocal; dividing by len differs in the last bit for some inputs.
    const float inv = 1.0f / len;
    x = Rounded(x * inv);
    y = Rounded(y * inv);
}

QM_VECTOR2D_INLINE void Vector2D::SetLength(float length)
{
    using quillmar_detail::Rounded;
    Normalize();
    x = Rounded(x * length);
    y = Rounded(y * length);
}

QM_VECTOR2D_INLINE Vector2D Vector2D::Perp()
{
    return Vector2D(-y, x);
}

#undef QM_VECTOR2D_INLINE
#endif

// [SECTION] const overloads
// Each runs the designed operation itself, which only reads the object, so
// const and non-const callers get the same floats by construction.

#define QM_VECTOR2D_CONST(Ret, Name, Params, Args) \
    inline Ret Vector2D::Name Params const { return const_cast<Vector2D&>(*this).Name Args; }
QM_VECTOR2D_CONST(bool, operator==, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, operator+, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, operator-, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, operator*, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, operator/, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, operator*, (float f), (f))
QM_VECTOR2D_CONST(Vector2D, operator/, (float f), (f))
QM_VECTOR2D_CONST(float, Dot, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(float, GetLength, (), ())
QM_VECTOR2D_CONST(float, GetLengthSq, (), ())
QM_VECTOR2D_CONST(Vector2D, AngleToVector, (float degrees), (degrees))
QM_VECTOR2D_CONST(float, VectorToAngle, (const Vector2D& v), (v))
QM_VECTOR2D_CONST(Vector2D, Perp, (), ())
#undef QM_VECTOR2D_CONST

// [SECTION] Conveniences
// Defined after the designed operations' inline definitions: MinGW refuses an inline
// definition of a DLL-imported function that follows a call to it.

inline Vector2D Vector2D::operator-() const { return Vector2D(-x, -y); }
inline void Vector2D::operator*=(float f) { *this = *this * f; }
inline void Vector2D::operator/=(float f) { *this = *this / f; }
inline bool Vector2D::operator!=(const Vector2D& v) const { return !(*this == v); }
inline float Vector2D::Distance(const Vector2D& a, const Vector2D& b) { return (a - b).GetLength(); }
// f * v: the same floats as v * f.
inline Vector2D operator*(float f, const Vector2D& v) { return v * f; }

inline Vector2D Vector2D::FromAngle(float degrees) { return Vector2D().AngleToVector(degrees); }
inline Vector2D Vector2D::Rotated(float degrees) const
{
    Vector2D r(*this);
    r.Rotate(degrees);
    return r;
}
inline Vector2D Vector2D::WithLength(float length) const
{
    Vector2D r(*this);
    r.SetLength(length);
    return r;
}
inline Vector2D Vector2D::Normalized() const
{
    Vector2D r(*this);
    r.Normalize();
    return r;
}
inline Vector2D Vector2D::Reflected(const Vector2D& normal) const
{
    Vector2D r(*this), n(normal);
    r.Reflect(n);
    return r;
}

#endif
