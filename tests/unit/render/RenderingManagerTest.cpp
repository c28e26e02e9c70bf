#include "Core.h"
#include "Draw2D.h"
#include "fakes/Fakes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "support/AllocationCounter.h"


using fake::Call;


struct RenderingManagerProbe {
    static bool Ready(const RenderingManager& r) { return r.ready; }
    static float FieldOfView(const RenderingManager& r) { return r.fieldOfView; }
    static Color4f ClearColor(const RenderingManager& r) { return r.clearColor; }
};

namespace {

class RenderingManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        window.SetSize(800, 600);
        renderer.Init(&window, &timer, &keyboard, &mouse, &joystick);
        fake::log.clear();
    }
    // The first call of each manager's Step, in the order they were made.
    static std::vector<std::string> StepOrder() {
        std::vector<std::string> order;
        for (const std::string& name : fake::Names()) {
            if ((name == "Milliseconds" || name == "glfwGetKey" || name == "glfwGetMousePos" ||
                 name == "glfwGetJoystickButtons") &&
                (order.empty() || order.back() != name))
                order.push_back(name);
        }
        return order;
    }
    static std::vector<Call> GLCalls() {
        std::vector<Call> out;
        for (const Call& c : fake::log)
            if (c.name.rfind("gl", 0) == 0 && c.name.rfind("glfw", 0) != 0) out.push_back(c);
        return out;
    }

    WindowManager window;
    TimeManager timer;
    KeyboardManager keyboard;
    MouseManager mouse;
    JoystickManager joystick;
    RenderingManager renderer;
};

const std::vector<std::string> kSteps = {"Milliseconds", "glfwGetKey", "glfwGetMousePos",
                                         "glfwGetJoystickButtons"};

TEST_F(RenderingManagerTest, BeginFrameClearsAsTheWindowSaysThenStepsInOrder) {
    window.SetClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    struct Case { bool color, depth; std::vector<Call> gl; };
    const Case cases[] = {
        {true, true, {{"glClearColor", {0.25, 0.5, 0.75, 1.0}, ""}, {"glClear", {0x4100}, ""}}},
        {true, false, {{"glClearColor", {0.25, 0.5, 0.75, 1.0}, ""}, {"glClear", {0x4000}, ""}}},
        {false, true, {{"glClear", {0x0100}, ""}}},
        {false, false, {}},
    };
    for (const Case& c : cases) {
        window.SetClearColorBuffer(c.color);
        window.SetClearDepthBuffer(c.depth);
        fake::log.clear();
        renderer.BeginFrame();
        EXPECT_EQ(GLCalls(), c.gl) << c.color << c.depth;
        EXPECT_EQ(StepOrder(), kSteps) << c.color << c.depth;
        EXPECT_EQ(fake::Count("Milliseconds"), 1u);
        EXPECT_EQ(fake::Count("glfwGetKey"), 157u);
        EXPECT_EQ(fake::Count("glfwGetJoystickButtons"), 8u);
    }
}

TEST_F(RenderingManagerTest, ClearColourCopyIsRefreshedOnlyWhenColourIsCleared) {
    window.SetClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    renderer.BeginFrame();
    window.SetClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    window.SetClearColorBuffer(false);
    renderer.BeginFrame();
    EXPECT_EQ(RenderingManagerProbe::ClearColor(renderer).r, 1.0f);
    window.SetClearColorBuffer(true);
    renderer.BeginFrame();
    EXPECT_EQ(RenderingManagerProbe::ClearColor(renderer).g, 1.0f) << "read afresh each frame";
}

TEST_F(RenderingManagerTest, UnwiredManagerNeitherClearsNorStepsThroughNull) {
    RenderingManager lone;
    EXPECT_FALSE(RenderingManagerProbe::Ready(lone));
    lone.BeginFrame();
    lone.Render2D();
    lone.Render3D();
    EXPECT_TRUE(fake::log.empty());

    // Wired with some managers missing: the present ones still run, in order.
    lone.Init(nullptr, &timer, nullptr, &mouse, nullptr);
    lone.BeginFrame();
    EXPECT_EQ(StepOrder(), (std::vector<std::string>{"Milliseconds", "glfwGetMousePos"}));
    EXPECT_TRUE(GLCalls().empty());
}

TEST_F(RenderingManagerTest, ProjectionsFollowTheWindowSize) {
    window.SetSize(1024, 768);
    fake::log.clear();
    renderer.Render2D();
    EXPECT_EQ(GLCalls(), (std::vector<Call>{{"glMatrixMode", {double(GL_PROJECTION)}, ""},
                                             {"glLoadIdentity", {}, ""},
                                             {"glOrtho", {0, 1024, 0, 768, 1, 10000}, ""},
                                             {"glMatrixMode", {double(GL_MODELVIEW)}, ""},
                                             {"glLoadIdentity", {}, ""},
                                             {"glTranslatef", {0, 0, -1}, ""}}));
    fake::log.clear();
    renderer.SetFieldOfView(60.0f);
    renderer.SetNearClippingPlane(0.5f);
    renderer.SetFarClippingPlane(300.0f);
    renderer.Render3D();
    EXPECT_EQ(GLCalls(), (std::vector<Call>{{"glMatrixMode", {double(GL_PROJECTION)}, ""},
                                             {"glLoadIdentity", {}, ""},
                                             {"gluPerspective", {60, double(1.3333334f), 0.5, 300}, ""},
                                             {"glMatrixMode", {double(GL_MODELVIEW)}, ""},
                                             {"glLoadIdentity", {}, ""}}));
    EXPECT_EQ(fake::gl.mode, unsigned(GL_MODELVIEW)) << "both leave model-view current";
}

// The viewport, the 2D pixels and the 3D aspect follow the window the player
// sees, with one glViewport per change of size.
TEST_F(RenderingManagerTest, ViewportAndProjectionsFollowTheOpenWindowsRealSize) {
    ASSERT_TRUE(window.Open());
    fake::log.clear();
    renderer.BeginFrame();
    renderer.BeginFrame();
    EXPECT_EQ(fake::CallsNamed("glViewport"), (std::vector<Call>{{"glViewport", {0, 0, 800, 600}, ""}}));

    fake::script.windowWidth = 1280;  // resized from outside
    fake::script.windowHeight = 1024;
    fake::log.clear();
    renderer.BeginFrame();
    renderer.Render2D();
    renderer.Render3D();
    EXPECT_EQ(fake::CallsNamed("glViewport"), (std::vector<Call>{{"glViewport", {0, 0, 1280, 1024}, ""}}));
    EXPECT_EQ(fake::CallsNamed("glOrtho")[0].args, (std::vector<double>{0, 1280, 0, 1024, 1, 10000}));
    EXPECT_EQ(fake::CallsNamed("gluPerspective")[0].args[1], 1.25);
}

TEST_F(RenderingManagerTest, FieldOfViewMustLieStrictlyBetweenZeroAnd180) {
    for (float rejected : {0.0f, 180.0f, -10.0f, 200.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()}) {
        renderer.SetFieldOfView(rejected);
        EXPECT_EQ(RenderingManagerProbe::FieldOfView(renderer), 80.0f) << rejected;
    }
    renderer.SetFieldOfView(179.5f);
    EXPECT_EQ(RenderingManagerProbe::FieldOfView(renderer), 179.5f);
    renderer.SetFieldOfView(0.5f);
    EXPECT_EQ(RenderingManagerProbe::FieldOfView(renderer), 0.5f);
}

TEST_F(RenderingManagerTest, ClippingPlanesThatMakeNoProjectionAreIgnored) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float rejected : {nan, 0.0f, -1.0f, 10000.0f, 20000.0f, inf})
        renderer.SetNearClippingPlane(rejected);
    for (float rejected : {nan, 1.0f, 0.5f, -5.0f, inf}) renderer.SetFarClippingPlane(rejected);
    fake::log.clear();
    renderer.Render2D();
    ASSERT_EQ(fake::Count("glOrtho"), 1u);
    EXPECT_EQ(fake::CallsNamed("glOrtho")[0].args, (std::vector<double>{0, 800, 0, 600, 1, 10000}));
    // Each plane is checked against the other as it stands: moving both past
    // the far plane takes the far one first.
    renderer.SetFarClippingPlane(30000.0f);
    renderer.SetNearClippingPlane(20000.0f);
    fake::log.clear();
    renderer.Render3D();
    EXPECT_EQ(fake::CallsNamed("gluPerspective")[0].args,
              (std::vector<double>{80, double(4.0f / 3.0f), 20000, 30000}));
}

TEST_F(RenderingManagerTest, EndFrameSwaps) {
    renderer.EndFrame();
    EXPECT_EQ(fake::Names(), std::vector<std::string>{"glfwSwapBuffers"});
}

TEST_F(RenderingManagerTest, FrameCycleDoesNotAllocate) {
    fake::recording = false;  // the fakes' own log would allocate
    ViewFrustum& frustum = renderer.Frustum;
    Vector3D center(0.0f, 0.0f, -0.5f);  // the fake leaves the projection at identity
    long before = qmtest::AllocationCount();
    bool visible = false;
    for (int frame = 0; frame < 300; ++frame) {
        renderer.BeginFrame();
        renderer.Render3D();
        frustum.Step();
        visible |= frustum.FrustumCheck(center, 1.0f);
        renderer.Render2D();
        DrawLine(Vector2D(0, 0), Vector2D(10, 10), 1.0f);
        DrawCircle(Vector2D(50, 50), 10.0f, 2.0f);
        renderer.EndFrame();
    }
    long after = qmtest::AllocationCount();
    fake::recording = true;
    EXPECT_EQ(after - before, 0);
    EXPECT_TRUE(visible);
}

}  // namespace
