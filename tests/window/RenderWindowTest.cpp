// The frame cycle, 2D drawing and frustum culling on a real GL context,
// checked by reading pixels back.
#include "WindowTestSupport.h"
#include "support/AllocationCounter.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <random>


namespace {

using namespace qmtest;

class RenderWindowTest : public PlainColourWindowTest {
protected:
    static bool IsGreen(Pixel p) { return p.g > 200 && p.r < 50 && p.b < 50; }
};

TEST_F(RenderWindowTest, BeginFrameClearsWithTheWindowsColourAndFlags) {
    Core::Window.SetClearColor(1.0f, 0.0f, 0.0f);
    Core::Renderer.BeginFrame();
    Pixel p = ReadPixel(5, 5);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);

    // Colour clearing off: what was drawn stays.
    Core::Window.SetClearColor(0.0f, 0.0f, 1.0f);
    Core::Window.SetClearColorBuffer(false);
    Core::Renderer.BeginFrame();
    EXPECT_EQ(ReadPixel(5, 5).r, 255);
    EXPECT_EQ(ReadPixel(5, 5).b, 0);

    // Depth clearing alone resets the depth buffer to the far value.
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    Core::Renderer.BeginFrame();
    float depth = 0.0f;
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);

    Core::Window.SetClearDepthBuffer(false);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    Core::Renderer.BeginFrame();
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.25f, 1e-3) << "neither buffer cleared";

    Core::Window.SetClearColorBuffer(true);
    Core::Renderer.BeginFrame();
    EXPECT_EQ(ReadPixel(5, 5).b, 255);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderWindowTest, TwoDLayerIsOnePixelPerUnitFromTheBottomLeft) {
    Core::Renderer.BeginFrame();
    Core::Renderer.Render2D();
    glColor3f(0.0f, 1.0f, 0.0f);
    DrawLine(Vector2D(10.0f, 40.5f), Vector2D(300.0f, 40.5f), 1.0f);
    EXPECT_TRUE(IsGreen(ReadPixel(150, 40)));
    EXPECT_FALSE(IsGreen(ReadPixel(150, 42)));
    EXPECT_FALSE(IsGreen(ReadPixel(150, 240 - 1 - 40))) << "not measured from the top";
    DrawLine(Vector2D(200.5f, 100.0f), Vector2D(200.5f, 200.0f), 1.0f);
    EXPECT_TRUE(IsGreen(ReadPixel(200, 150)));
    EXPECT_FALSE(IsGreen(ReadPixel(202, 150)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderWindowTest, CircleOutlinePassesThroughItsVerticesAndLeavesTheWidthSet) {
    Core::Renderer.BeginFrame();
    Core::Renderer.Render2D();
    glColor3f(0.0f, 1.0f, 0.0f);
    DrawCircle(Vector2D(160.0f, 120.0f), 50.0f, 3.0f);
    // Vertices at 0, 90, 180 and 270 degrees; a few pixels around each.
    const int points[][2] = {{210, 120}, {160, 170}, {110, 120}, {160, 70}};
    for (const auto& pt : points) {
        bool hit = false;
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) hit |= IsGreen(ReadPixel(pt[0] + dx, pt[1] + dy));
        EXPECT_TRUE(hit) << pt[0] << "," << pt[1];
    }
    EXPECT_FALSE(IsGreen(ReadPixel(160, 120))) << "an outline, not a disc";
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
}

TEST_F(RenderWindowTest, UnusableLineWidthsRaiseNoErrorAndKeepTheWidth) {
    Core::Renderer.Render2D();
    glColor3f(0.0f, 1.0f, 0.0f);
    DrawLine(Vector2D(0, 0), Vector2D(1, 1), 3.0f);
    for (float width : {0.0f, -1.0f, std::nanf("")}) {
        Core::Renderer.BeginFrame();
        DrawLine(Vector2D(10.0f, 100.5f), Vector2D(300.0f, 100.5f), width);
        DrawCircle(Vector2D(160.0f, 120.0f), 50.0f, width);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << width;
        GLfloat current = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &current);
        EXPECT_EQ(current, 3.0f) << width;
        int green = 0;
        for (int y = 95; y <= 106; ++y) green += IsGreen(ReadPixel(150, y));
        EXPECT_EQ(green, 3) << "drawn at the kept width " << width;
    }
}

// Independent check: a sphere centre in eye space against the symmetric
// perspective volume with the same field of view, aspect and clip distances.
struct Camera {
    float yaw, pitch;
    float x, y, z;
};
Vector3D ToEye(const Camera& cam, float px, float py, float pz) {
    // Inverse of the camera transform glRotatef(pitch, 1,0,0) glRotatef(yaw, 0,1,0)
    // glTranslatef(-x, -y, -z), done in double.
    double tx = px - cam.x, ty = py - cam.y, tz = pz - cam.z;
    double ya = cam.yaw * M_PI / 180, pa = cam.pitch * M_PI / 180;
    double x1 = std::cos(ya) * tx + std::sin(ya) * tz;
    double z1 = -std::sin(ya) * tx + std::cos(ya) * tz;
    double y2 = std::cos(pa) * ty - std::sin(pa) * z1;
    double z2 = std::sin(pa) * ty + std::cos(pa) * z1;
    return Vector3D(float(x1), float(y2), float(z2));
}
// +1 clearly inside, -1 clearly outside one plane, 0 too close to call.
int Classify(const Vector3D& e, float radius, double fovDeg, double aspect, double n, double f) {
    double t = std::tan(fovDeg * M_PI / 360);
    double planes[6][4];
    double ny = 1 / std::sqrt(1 + t * t), nx = 1 / std::sqrt(1 + t * t * aspect * aspect);
    // Inward normals of the side planes through the eye, then near and far.
    double side[4][4] = {{0, -ny, -ny * t, 0}, {0, ny, -ny * t, 0},
                         {nx, 0, -nx * t * aspect, 0}, {-nx, 0, -nx * t * aspect, 0}};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) planes[i][k] = side[i][k];
    double nearP[4] = {0, 0, -1, -n}, farP[4] = {0, 0, 1, f};
    for (int k = 0; k < 4; ++k) {
        planes[4][k] = nearP[k];
        planes[5][k] = farP[k];
    }
    bool allInside = true;
    for (auto& p : planes) {
        double d = p[0] * e.x + p[1] * e.y + p[2] * e.z + p[3];
        if (d < -radius - 0.01) return -1;
        if (d < -radius + 0.01) allInside = false;
    }
    return allInside ? 1 : 0;
}

TEST_F(RenderWindowTest, FrustumFromACameraAgreesWithAnIndependentTest) {
    Core::Renderer.SetFieldOfView(60.0f);
    Core::Renderer.SetFarClippingPlane(500.0f);
    const Camera cams[] = {{0, 0, 0, 0, 0}, {30, 0, 5, 0, 10}, {-45, 20, 0, 3, -7}};
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(-200.0f, 200.0f), rad(0.1f, 20.0f);
    for (const Camera& cam : cams) {
        Core::Renderer.Render3D();
        glRotatef(cam.pitch, 1, 0, 0);
        glRotatef(cam.yaw, 0, 1, 0);
        glTranslatef(-cam.x, -cam.y, -cam.z);
        Core::Renderer.Frustum.Step();

        int compared = 0;
        for (int i = 0; i < 2000; ++i) {
            float px = pos(rng), py = pos(rng), pz = pos(rng), r = rad(rng);
            int expected = Classify(ToEye(cam, px, py, pz), r, 60.0, 320.0 / 240.0, 1.0, 500.0);
            if (expected == 0) continue;
            bool got = Core::Renderer.Frustum.FrustumCheck(Vector3D(px, py, pz), r);
            // The test is conservative near edges: a sphere outside may pass,
            // but one clearly inside must never be rejected.
            if (expected > 0) {
                EXPECT_TRUE(got) << px << "," << py << "," << pz << " r " << r;
                ++compared;
            }
        }
        EXPECT_GT(compared, 10);
    }
    // A camera at the origin looking down -z sees a sphere ahead and not one behind.
    Core::Renderer.Render3D();
    Core::Renderer.Frustum.Step();
    EXPECT_TRUE(Core::Renderer.Frustum.FrustumCheck(Vector3D(0, 0, -50), 1.0f));
    EXPECT_FALSE(Core::Renderer.Frustum.FrustumCheck(Vector3D(0, 0, 50), 1.0f));
    EXPECT_FALSE(Core::Renderer.Frustum.FrustumCheck(Vector3D(0, 0, -600), 1.0f)) << "beyond far";
    EXPECT_FALSE(Core::Renderer.Frustum.FrustumCheck(Vector3D(300, 0, -50), 1.0f)) << "off to the side";
    Core::Renderer.SetFieldOfView(80.0f);
    Core::Renderer.SetFarClippingPlane(10000.0f);
}

TEST_F(RenderWindowTest, FrustumPlanesAreThoseOfGlsOwnProductAndAFullStackIsLeftAlone) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> angle(-180.0f, 180.0f), pos(-50.0f, 50.0f);
    for (int i = 0; i < 40; ++i) {
        // A general projection, so that every element of the product counts.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.3 - i * 0.01, 0.5, -0.2, 0.4 + i * 0.02, 0.1 + i * 0.3, 100.0 + i * 37.0);
        glRotatef(angle(rng), 0.3f, 1.0f, 0.2f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(angle(rng), 1.0f, 0.4f, 0.0f);
        glTranslatef(pos(rng), pos(rng), pos(rng));
        GLfloat p[16], m[16], q[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPushMatrix();
        glLoadMatrixf(p);
        glMultMatrixf(m);
        glGetFloatv(GL_MODELVIEW_MATRIX, q);
        glPopMatrix();
        frustum_t want{};
        const int rows[6] = {-2, 2, 1, -1, 3, -3};
        for (int slot = 0; slot < 6; ++slot) ExtractPlane(want.planes[slot], q, rows[slot]);
        Core::Renderer.Frustum.Step();
        EXPECT_EQ(std::memcmp(&want, &Core::Renderer.Frustum.frustum, sizeof want), 0) << i;
    }

    Core::Renderer.Render3D();
    GLint depth = 0, maxDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    for (; depth < maxDepth; ++depth) glPushMatrix();
    glTranslatef(0.0f, 0.0f, -7.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    Core::Renderer.Frustum.Step();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0) << "the game's top matrix";
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, maxDepth);
    EXPECT_TRUE(Core::Renderer.Frustum.FrustumCheck(Vector3D(0, 0, 0), 1.0f)) << "7 ahead";
    for (; depth > 1; --depth) glPopMatrix();
}

TEST_F(RenderWindowTest, ClearlyOutsideSpheresAreRejected) {
    Core::Renderer.SetFieldOfView(60.0f);
    Core::Renderer.Render3D();
    glRotatef(30, 0, 1, 0);
    Core::Renderer.Frustum.Step();
    const Camera cam{30, 0, 0, 0, 0};
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(-300.0f, 300.0f);
    int rejected = 0;
    for (int i = 0; i < 2000; ++i) {
        float px = pos(rng), py = pos(rng), pz = pos(rng);
        Vector3D e = ToEye(cam, px, py, pz);
        if (e.z > 2.0f) {  // well behind the eye
            EXPECT_FALSE(Core::Renderer.Frustum.FrustumCheck(Vector3D(px, py, pz), 1.0f));
            ++rejected;
        }
    }
    EXPECT_GT(rejected, 100);
    Core::Renderer.SetFieldOfView(80.0f);
}

TEST_F(RenderWindowTest, HundredsOfFramesRunCleanAndAllocateNothing) {
    Vector3D centers[4] = {Vector3D(0, 0, -10), Vector3D(5, 0, -20), Vector3D(0, 0, 10),
                           Vector3D(100, 0, -5)};
    int visible = 0;
    // Warm up once so that drivers' first-use set-up is not counted.
    Core::Renderer.BeginFrame();
    Core::Renderer.Render3D();
    Core::Renderer.Frustum.Step();
    Core::Renderer.Render2D();
    DrawCircle(Vector2D(100, 100), 30, 2);
    Core::Renderer.EndFrame();

    long before = qmtest::AllocationCount();
    for (int frame = 0; frame < 300; ++frame) {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render3D();
        glRotatef(float(frame), 0, 1, 0);
        Core::Renderer.Frustum.Step();
        for (Vector3D& c : centers) visible += Core::Renderer.Frustum.FrustumCheck(c, 1.0f);
        Core::Renderer.Render2D();
        DrawLine(Vector2D(0, 0), Vector2D(float(frame % 320), 100), 2.0f);
        DrawCircle(Vector2D(160, 120), float(frame % 50), 1.0f);
        Core::Renderer.EndFrame();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "frame " << frame;
    }
#if !defined(_WIN32)
    // A Windows DLL has its own C++ runtime: its allocations are not seen
    // here (the unit tests count them on the library's objects).
    EXPECT_EQ(qmtest::AllocationCount() - before, 0) << "C++ allocations during 300 frames";
#else
    static_cast<void>(before);
#endif
    EXPECT_GT(visible, 0);
    EXPECT_TRUE(Core::Window.IsOpen());
}

}  // namespace
