// Vector2D: two-dimensional float vector for positions and directions on the 2D layer.
// Angles are in degrees, 0 along +x, positive counter-clockwise with y up.
// Results are rounded to float where stored or returned; arithmetic inside one
// operation is carried in double.
#ifndef QUILLMAR_VECTOR2D_H
#define QUILLMAR_VECTOR2D_H

#include "QuillmarExport.h"

class QM_API Vector2D
{
public:
    float x;
    float y;

    constexpr Vector2D() : x(0.0f), y(0.0f) {}
    constexpr Vector2D(float x, float y) : x(x), y(y) {}
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

private:
    friend struct Vector2DProbe;

    // Fixed conversion constants, deliberately not pi/180 and 180/pi rounded:
    // every angle result of this class is defined by these exact floats.
    static constexpr float DTR = 0.01745328f;  // bits 0x3C8EFA2E
    static constexpr float RTD = 57.295826f;   // bits 0x42652EED
};

#endif
