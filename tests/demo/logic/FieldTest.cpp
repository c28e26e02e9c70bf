// The demo's 3D side: the field stays above the ground, culling counts follow
// the frustum, the camera flies level and stays in bounds.
#include "Field.h"

#include <gtest/gtest.h>

namespace {

using demo::Field;

plane_t Plane(float a, float b, float c, float d) { return plane_t{a, b, c, d}; }

// A box |x| <= 20, |y| <= 100, |z| <= 20 as six inward-facing planes.
ViewFrustum Box() {
    ViewFrustum box;
    box.frustum.leftPlane = Plane(1, 0, 0, 20);
    box.frustum.rightPlane = Plane(-1, 0, 0, 20);
    box.frustum.bottomPlane = Plane(0, 1, 0, 100);
    box.frustum.topPlane = Plane(0, -1, 0, 100);
    box.frustum.nearPlane = Plane(0, 0, 1, 20);
    box.frustum.farPlane = Plane(0, 0, -1, 20);
    return box;
}

TEST(DemoField, ObjectsFloatInsideTheSquareAndNeverSinkIntoTheGround) {
    static Field field;
    field.Build(7u);
    ASSERT_EQ(field.count, Field::kMaxObjects);
    for (float t = 0.0f; t < 6.0f; t += 0.37f) {
        field.Animate(t);
        for (int i = 0; i < field.count; ++i) {
            demo::FieldObject& o = field.objects[i];
            ASSERT_GE(o.position.y - o.radius, 0.0f) << "object " << i << " at t " << t;
            ASSERT_LE(o.position.x, field.Extent());
            ASSERT_GE(o.position.x, -field.Extent());
            ASSERT_LE(o.position.z, field.Extent());
            ASSERT_GE(o.position.z, -field.Extent());
            ASSERT_GE(o.radius, demo::ShapeRadius(o.shape) * o.size);
        }
    }
}

TEST(DemoField, CullMarksAndCountsObjectsAgainstTheFrustum) {
    static Field field;
    field.Build(7u);
    field.count = 3;
    field.objects[0].position = Vector3D(0.0f, 5.0f, 0.0f);   // inside
    field.objects[1].position = Vector3D(30.0f, 5.0f, 0.0f);  // wholly outside the right plane
    field.objects[2].position = Vector3D(0.0f, 5.0f, 21.5f);  // centre outside, sphere reaches in
    for (int i = 0; i < 3; ++i) field.objects[i].radius = 2.0f;
    ViewFrustum box = Box();
    EXPECT_EQ(field.Cull(box), 2);
    EXPECT_EQ(field.drawn, 2);
    EXPECT_EQ(field.culled, 1);
    EXPECT_TRUE(field.objects[0].visible);
    EXPECT_FALSE(field.objects[1].visible);
    EXPECT_TRUE(field.objects[2].visible);

    // Moving the view moves the answer: the same objects seen from the other side.
    box.frustum.leftPlane = Plane(1, 0, 0, -25);  // x >= 25 only
    box.frustum.rightPlane = Plane(-1, 0, 0, 40);
    EXPECT_EQ(field.Cull(box), 1);
    EXPECT_FALSE(field.objects[0].visible);
    EXPECT_TRUE(field.objects[1].visible);
}

TEST(DemoField, WholeFieldCountsAddUpAndShrinkWithTheView) {
    static Field field;
    field.Build(7u);
    ViewFrustum box = Box();
    int inBox = field.Cull(box);
    EXPECT_EQ(field.drawn + field.culled, Field::kMaxObjects);
    EXPECT_GT(inBox, 0);
    EXPECT_LT(inBox, Field::kMaxObjects / 4);  // a 40 x 40 window onto a 216 x 216 field

    ViewFrustum everything = Box();
    for (plane_t& p : everything.frustum.planes) p.d = 1000.0f;
    EXPECT_EQ(field.Cull(everything), Field::kMaxObjects);
    EXPECT_EQ(field.culled, 0);
}

// [SECTION] Camera

TEST(DemoCamera, MovesLevelAlongItsYawWhateverTheTilt) {
    demo::Camera camera;
    camera.position = Vector3D(0.0f, 16.0f, 0.0f);
    camera.yaw = 90.0f;  // looking along +x
    camera.pitch = 45.0f;
    demo::Controls forward;
    forward.cameraMove = 1.0f;
    camera.Update(forward, 0.5f, 100.0f);
    EXPECT_NEAR(camera.position.x, 0.5f * demo::Camera::kSpeed, 1e-3f);
    EXPECT_NEAR(camera.position.y, 16.0f, 1e-4f);
    EXPECT_NEAR(camera.position.z, 0.0f, 1e-3f);

    Vector3D view = camera.Forward();
    EXPECT_GT(view.x, 0.5f);
    EXPECT_LT(view.y, -0.5f);  // tilted down

    camera.Update(forward, 100.0f, 100.0f);  // a long way: stopped at the bound
    EXPECT_NEAR(camera.position.x, 100.0f, 1e-3f);
}

TEST(DemoCamera, TurnWrapsTiltClampsAndWheelZooms) {
    demo::Camera camera;
    camera.yaw = 350.0f;
    demo::Controls turn;
    turn.cameraTurn = 1.0f;
    turn.cameraTilt = 1.0f;
    camera.Update(turn, 0.5f, 100.0f);
    EXPECT_NEAR(camera.yaw, 350.0f + 0.5f * demo::Camera::kTurnRate - 360.0f, 1e-3f);
    camera.Update(turn, 10.0f, 100.0f);
    EXPECT_EQ(camera.pitch, demo::Camera::kMaxPitch);

    EXPECT_EQ(demo::ZoomToFieldOfView(0.0f), 70.0f);
    EXPECT_EQ(demo::ZoomToFieldOfView(2.0f), 60.0f);
    EXPECT_EQ(demo::ZoomToFieldOfView(50.0f), 25.0f);
    EXPECT_EQ(demo::ZoomToFieldOfView(-50.0f), 100.0f);
    turn.zoom = 3.0f;
    camera.Update(turn, 0.01f, 100.0f);
    EXPECT_EQ(camera.fieldOfView, 55.0f);

    // Mouse-look turns and tilts at once, within the same limits.
    camera.yaw = 10.0f;
    camera.Look(-30.0f, -200.0f);
    EXPECT_EQ(camera.yaw, 340.0f);
    EXPECT_EQ(camera.pitch, demo::Camera::kMinPitch);
}

}  // namespace
