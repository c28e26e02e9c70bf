#include "Core.h"
#include "ViewFrustum.h"
#include "fakes/Fakes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

struct Plane {
    float a, b, c, d;
};
void ExpectPlane(const plane_t& p, Plane want, const char* what) {
    EXPECT_FLOAT_EQ(p.a, want.a) << what;
    EXPECT_FLOAT_EQ(p.b, want.b) << what;
    EXPECT_FLOAT_EQ(p.c, want.c) << what;
    EXPECT_FLOAT_EQ(p.d, want.d) << what;
}

class ViewFrustumTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(ViewFrustumTest, IdentityMatricesGiveTheUnitCubeInSlotOrder) {
    ViewFrustum v{};
    v.Step();
    const Plane cube[6] = {{0, -1, 0, 1}, {0, 1, 0, 1}, {1, 0, 0, 1},
                           {-1, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, -1, 1}};
    for (int slot = 0; slot < 6; ++slot) ExpectPlane(v.frustum.planes[slot], cube[slot], "slot");
    ExpectPlane(v.frustum.topPlane, cube[0], "top");
    ExpectPlane(v.frustum.farPlane, cube[5], "far");

    struct Case { Vector3D center; float radius; bool inside; };
    const Case cases[] = {
        {{0, 0, 0}, 0.5f, true},
        {{2, 0, 0}, 0.5f, false},
        {{1.5f, 0, 0}, 0.5f, false},  // distance -0.5 equals the limit: outside
        {{1.4f, 0, 0}, 0.5f, true},
        {{1, 0, 0}, 0.0f, false},     // a point on a plane is outside
        {{1.45f, 1.45f, 0}, 0.5f, true},  // conservative near an edge
        {{0, 0, -3}, 1.0f, false},
        {{0, 0, 0}, -1.0f, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(v.FrustumCheck(c.center, c.radius), c.inside)
            << c.center.x << "," << c.center.y << "," << c.center.z << " r " << c.radius;
        EXPECT_EQ(SphereInFrustum(c.center, c.radius, v.frustum), c.inside);
    }
}

TEST_F(ViewFrustumTest, StepOnAFullModelViewStackLeavesTheGamesMatricesAlone) {
    // All 32 levels in use: there is no room to form the product on the stack.
    fake::gl.projection.Top() = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const fake::Matrix top = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1};
    fake::gl.modelview.depth = 32;
    fake::gl.modelview.Top() = top;
    ViewFrustum v{};
    v.Step();
    EXPECT_EQ(fake::gl.modelview.depth, 32);
    EXPECT_EQ(fake::gl.modelview.Top(), top);
    ExpectPlane(v.frustum.rightPlane, {-1, 0, 0, -4.5f}, "right of P x M");
    for (const char* name : {"glPushMatrix", "glLoadMatrixf", "glMultMatrixf", "glPopMatrix"})
        EXPECT_EQ(fake::Count(name), 0u) << name;
}

TEST_F(ViewFrustumTest, StepWithoutAContextKeepsThePlanes) {
    fake::script.noContext = true;
    ViewFrustum v{};
    for (int slot = 0; slot < 6; ++slot) v.frustum.planes[slot] = {1, 0, 0, float(slot)};
    const frustum_t before = v.frustum;
    v.Step();
    EXPECT_EQ(std::memcmp(&v.frustum, &before, sizeof before), 0);
}

TEST_F(ViewFrustumTest, PlanesComeFromProjectionTimesModelView) {
    // A projection that scales x by 2 and a model-view that moves +5 along x:
    // Q = P * M, so the right plane (w - x) becomes 1 - 2(x + 5) >= 0.
    fake::gl.projection.Top() = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    fake::gl.modelview.Top() = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1};
    ViewFrustum v{};
    v.Step();
    ExpectPlane(v.frustum.rightPlane, {-1, 0, 0, -4.5f}, "right");
    ExpectPlane(v.frustum.leftPlane, {1, 0, 0, 5.5f}, "left");
    EXPECT_TRUE(v.FrustumCheck(Vector3D(-5, 0, 0), 0.1f));
    EXPECT_FALSE(v.FrustumCheck(Vector3D(0, 0, 0), 0.1f));
}

TEST_F(ViewFrustumTest, StepInProjectionModeSeesTheModelViewAloneAndChangesNothing) {
    fake::gl.projection.Top() = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    fake::gl.modelview.Top() = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1};
    fake::gl.mode = GL_PROJECTION;
    fake::Matrix projection = fake::gl.projection.Top();
    fake::Matrix modelview = fake::gl.modelview.Top();
    ViewFrustum v{};
    v.Step();
    ExpectPlane(v.frustum.leftPlane, {1, 0, 0, 4}, "left of M alone");
    EXPECT_EQ(fake::gl.projection.Top(), projection);
    EXPECT_EQ(fake::gl.modelview.Top(), modelview);
}

TEST(ExtractPlaneTest, OffsetIsDividedByTheNormalsLengthAlone) {
    // Row 4 + row 1 = (3, 4, 0, 10).
    float m[16] = {};
    m[3] = 1; m[7] = 2; m[11] = 0; m[15] = 4;  // fourth row
    m[0] = 2; m[4] = 2; m[8] = 0; m[12] = 6;   // first row
    plane_t p{};
    ExtractPlane(p, m, 1);
    EXPECT_FLOAT_EQ(p.a, 0.6f);
    EXPECT_FLOAT_EQ(p.b, 0.8f);
    EXPECT_EQ(p.c, 0.0f);
    EXPECT_FLOAT_EQ(p.d, 2.0f);
    ExtractPlane(p, m, -1);  // row 4 - row 1 = (-1, 0, 0, -2)
    EXPECT_EQ(p.a, -1.0f);
    EXPECT_EQ(p.d, -2.0f);
}

TEST(ExtractPlaneTest, RowsOutsideOneToFourLeaveThePlaneAlone) {
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i + 1);
    const plane_t before{0.25f, 0.5f, -1.0f, 7.0f};
    for (int row : {0, 5, -5, 1 << 30, INT_MIN, INT_MAX}) {
        plane_t p = before;
        ExtractPlane(p, m, row);
        EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0) << row;
    }
    plane_t p = before;
    ExtractPlane(p, m, 4);  // the fourth row twice: (8, 16, 24, 32) / |(8, 16, 24)|
    EXPECT_FLOAT_EQ(p.a, float(8 / std::sqrt(896.0)));
    EXPECT_FLOAT_EQ(p.d, float(32 / std::sqrt(896.0)));
}

TEST(ExtractPlaneTest, ADegenerateMatrixGivesNonFinitePlanesWithoutTrapping) {
    float zero[16] = {};
    plane_t p{};
    ExtractPlane(p, zero, 3);
    EXPECT_FALSE(std::isfinite(p.a));
    frustum_t f{};
    f.planes[0] = p;
    // NaN distances never compare <= the limit, so such a plane rejects nothing.
    EXPECT_TRUE(SphereInFrustum(Vector3D(1, 2, 3), 1.0f, f));
}

TEST(ViewFrustumLoadTest, SharedFrustumStartsZeroSoOnlyPositiveRadiiPass) {
    const plane_t& top = Core::Renderer.Frustum.frustum.topPlane;
    EXPECT_EQ(top.a, 0.0f);
    EXPECT_EQ(top.d, 0.0f);
    ViewFrustum zero{};
    EXPECT_TRUE(zero.FrustumCheck(Vector3D(100, 100, 100), 0.001f));
    EXPECT_FALSE(zero.FrustumCheck(Vector3D(0, 0, 0), 0.0f));
    EXPECT_FALSE(zero.FrustumCheck(Vector3D(0, 0, 0), -1.0f));
}

}  // namespace
