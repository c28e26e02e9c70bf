#include "Field.h"

#include <cmath>

namespace demo {

float ShapeRadius(Shape shape) {
    switch (shape) {
    case Shape::Cube: return 1.7321f;     // corners (+-1, +-1, +-1)
    case Shape::Pyramid: return 1.7321f;  // base corners (+-1, -1, +-1), apex 1.2 up
    case Shape::Diamond: return 1.3f;     // tips +-1.3 on y, +-1 across
    case Shape::Tower: return 2.0f;       // half extents 0.6, 1.8, 0.6: 1.99
    }
    return 2.0f;
}

void HueToRgb(float hue, float& red, float& green, float& blue) {
    float h = hue - std::floor(hue);
    float sector = h * 6.0f;
    int i = int(sector) % 6;
    float f = sector - std::floor(sector);
    float up = f, down = 1.0f - f;
    switch (i) {
    case 0: red = 1; green = up; blue = 0; break;
    case 1: red = down; green = 1; blue = 0; break;
    case 2: red = 0; green = 1; blue = up; break;
    case 3: red = 0; green = down; blue = 1; break;
    case 4: red = up; green = 0; blue = 1; break;
    default: red = 1; green = 0; blue = down; break;
    }
}

// [SECTION] Field

void Field::Build(unsigned seed) {
    unsigned s = seed ? seed : 1u;
    auto random = [&s]() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return float(s >> 8) * (1.0f / 16777216.0f);
    };

    count = 0;
    float half = 0.5f * kSpacing * float(kSide - 1);
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            FieldObject& object = objects[count++];
            object = FieldObject();
            float x = -half + kSpacing * float(column) + (random() - 0.5f) * 3.0f;
            float z = -half + kSpacing * float(row) + (random() - 0.5f) * 3.0f;
            int kind = int(random() * 4.0f);
            object.shape = kind == 0 ? Shape::Cube : kind == 1 ? Shape::Pyramid
                         : kind == 2 ? Shape::Diamond : Shape::Tower;
            object.size = 0.9f + random() * 1.1f;
            object.radius = ShapeRadius(object.shape) * object.size;
            // Clear of the ground at the bottom of the bob.
            object.baseHeight = object.radius + kBob + 0.2f + random() * 2.5f;
            object.position = Vector3D(x, object.baseHeight, z);
            object.spinStart = random() * 360.0f;
            object.spin = object.spinStart;
            object.spinRate = (random() - 0.5f) * 120.0f;
            object.bobPhase = random() * 6.2832f;
            // Hue sweeps across the field, so the view's direction shows in its colours.
            float hue = 0.9f * float(column) / float(kSide) + 0.5f * float(row) / float(kSide) +
                        0.08f * random();
            HueToRgb(hue, object.red, object.green, object.blue);
        }
    }
    drawn = culled = 0;
}

void Field::Animate(float time) {
    for (int i = 0; i < count; ++i) {
        FieldObject& object = objects[i];
        object.position.y = object.baseHeight + kBob * std::sin(time * 1.3f + object.bobPhase);
        object.spin = DirectionInRange(object.spinStart + time * object.spinRate);
    }
}

int Field::Cull(ViewFrustum& frustum) {
    drawn = 0;
    for (int i = 0; i < count; ++i) {
        FieldObject& object = objects[i];
        object.visible = frustum.FrustumCheck(object.position, object.radius);
        drawn += object.visible ? 1 : 0;
    }
    culled = count - drawn;
    return drawn;
}

// [SECTION] Camera

void Camera::Update(const Controls& controls, float dt, float bound) {
    yaw = DirectionInRange(yaw + controls.cameraTurn * kTurnRate * dt);
    pitch += controls.cameraTilt * kTiltRate * dt;
    if (pitch < kMinPitch) pitch = kMinPitch;
    if (pitch > kMaxPitch) pitch = kMaxPitch;

    // Ground-plane heading: moving forward keeps the height whatever the tilt.
    Vector3D ahead;
    ahead.polarCoord(yaw, 0.0f);
    position += ahead * (controls.cameraMove * kSpeed * dt);
    if (position.x < -bound) position.x = -bound;
    if (position.x > bound) position.x = bound;
    if (position.z < -bound) position.z = -bound;
    if (position.z > bound) position.z = bound;

    fieldOfView = ZoomToFieldOfView(controls.zoom);
}

void Camera::Look(float turn, float tilt) {
    yaw = DirectionInRange(yaw + turn);
    pitch += tilt;
    if (pitch < kMinPitch) pitch = kMinPitch;
    if (pitch > kMaxPitch) pitch = kMaxPitch;
}

Vector3D Camera::Forward() {
    Vector3D forward;
    forward.polarCoord(yaw, pitch);
    return forward;
}

float ZoomToFieldOfView(float wheel) {
    float fov = 70.0f - 5.0f * wheel;
    return fov < 25.0f ? 25.0f : fov > 100.0f ? 100.0f : fov;
}

}  // namespace demo
