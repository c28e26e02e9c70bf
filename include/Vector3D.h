// Vector3D: three-dimensional float vector in the right-handed space of the 3D view
// (an identity model-view looks along -z). Angles are in degrees; rotations are
// counter-clockwise looking down the axis toward the origin.
// Yaw/pitch: yaw 0 looks along -z, yaw 90 along +x; positive pitch tilts toward -y.
//
// Not thread-safe: the rotations, polarCoord and vectorToPolar work through static
// scratch members shared by all vectors.
#ifndef QUILLMAR_VECTOR3D_H
#define QUILLMAR_VECTOR3D_H

#include "QuillmarExport.h"

class QM_API Vector3D
{
public:
    float x;
    float y;
    float z;

    // constexpr so the static scratch vector is constant-initialized, with no code at load.
    constexpr Vector3D() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3D(float x, float y, float z) : x(x), y(y), z(z) {}
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

#endif
