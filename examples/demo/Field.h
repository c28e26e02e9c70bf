// The 3D field: a grid of floating objects, the camera that flies over it,
// and the culling pass that decides which objects are drawn. No OpenGL here:
// the view comes in as a ViewFrustum refreshed by the caller.
#ifndef QUILLMAR_DEMO_FIELD_H
#define QUILLMAR_DEMO_FIELD_H

#include "Game.h"

#include <Quillmar.h>

namespace demo {

enum class Shape { Cube, Pyramid, Diamond, Tower };

struct FieldObject {
    Vector3D position;  // centre of the bounding sphere
    float baseHeight = 0.0f;
    float size = 1.0f;    // scale of the unit shape
    float radius = 1.0f;  // bounding sphere, whatever the spin
    float spin = 0.0f;    // degrees about +y
    float spinStart = 0.0f;
    float spinRate = 0.0f;
    float bobPhase = 0.0f;
    float red = 1.0f, green = 1.0f, blue = 1.0f;
    Shape shape = Shape::Cube;
    bool visible = false;  // from the latest Cull
};

// Radius of the unit shape's bounding sphere about its centre.
float ShapeRadius(Shape shape);

// Saturated colour for a hue in 0..1 (wraps).
void HueToRgb(float hue, float& red, float& green, float& blue);

class Field {
public:
    static constexpr int kSide = 24;
    static constexpr int kMaxObjects = kSide * kSide;
    static constexpr float kSpacing = 9.0f;
    static constexpr float kBob = 0.6f;  // height of the floating motion either way

    // A kSide x kSide grid centred on the origin, ground at y = 0.
    void Build(unsigned seed);
    // Bobbing and spinning at this time (seconds).
    void Animate(float time);
    // Marks each object visible or not against the frustum; returns the drawn count.
    int Cull(ViewFrustum& frustum);
    // Half the side of the square the objects stand in.
    float Extent() { return 0.5f * kSpacing * float(kSide); }

    FieldObject objects[kMaxObjects];
    int count = 0;
    int drawn = 0;
    int culled = 0;
};

// A flying camera: yaw 0 looks along -z, yaw 90 along +x; positive pitch looks down.
struct Camera {
    static constexpr float kTurnRate = 55.0f;  // degrees per second
    static constexpr float kTiltRate = 40.0f;
    static constexpr float kSpeed = 26.0f;     // units per second
    static constexpr float kMinPitch = -5.0f;
    static constexpr float kMaxPitch = 60.0f;

    Vector3D position = Vector3D(0.0f, 16.0f, 95.0f);
    float yaw = 0.0f;
    float pitch = 16.0f;
    float fieldOfView = 70.0f;

    // Moves on the ground plane (height kept), turns, tilts, and zooms from the wheel;
    // stays within `bound` of the origin in x and z.
    void Update(const Controls& controls, float dt, float bound);
    // Mouse-look: turns right by `turn` and looks down by `tilt` degrees at once,
    // the tilt kept within kMinPitch..kMaxPitch.
    void Look(float turn, float tilt);
    Vector3D Forward();  // unit view direction
};

// Field of view for a wheel position: each step narrows it, within 25..100 degrees.
float ZoomToFieldOfView(float wheel);

}  // namespace demo

#endif
