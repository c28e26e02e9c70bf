#include "Draw2D.h"
#include "fakes/Fakes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class Draw2DTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    static std::vector<fake::Call> Vertices() { return fake::CallsNamed("glVertex3f"); }
};

TEST_F(Draw2DTest, LineIsOneImmediatePairAtDepthMinusFour) {
    DrawLine(Vector2D(1.5f, 2), Vector2D(-3, 4.25f), 3.0f);
    EXPECT_EQ(fake::log, (std::vector<fake::Call>{{"glLineWidth", {3}, ""},
                                                   {"glBegin", {double(GL_LINES)}, ""},
                                                   {"glVertex3f", {1.5, 2, -4}, ""},
                                                   {"glVertex3f", {-3, 4.25, -4}, ""},
                                                   {"glEnd", {}, ""}}));
}

TEST_F(Draw2DTest, CircleIsA24VertexLoopCounterClockwiseFromPlusX) {
    DrawCircle(Vector2D(100, 100), 10.0f, 2.0f);
    ASSERT_EQ(fake::log.size(), 27u);
    EXPECT_EQ(fake::log[0], (fake::Call{"glLineWidth", {2}, ""}));
    EXPECT_EQ(fake::log[1], (fake::Call{"glBegin", {double(GL_LINE_LOOP)}, ""}));
    EXPECT_EQ(fake::log.back().name, "glEnd");
    std::vector<fake::Call> v = Vertices();
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v[0].args, (std::vector<double>{110, 100, -4}));
    // The stored degrees-to-radians constant is a little below pi/180, so the
    // quarter turns are not exact.
    EXPECT_EQ(float(v[6].args[0]), 100.0000153f);
    EXPECT_EQ(float(v[6].args[1]), 110.0f);
    EXPECT_EQ(float(v[12].args[0]), 90.0f);
    EXPECT_EQ(float(v[12].args[1]), 100.0000229f);
    for (int i = 0; i < 24; ++i) {
        double angle = std::atan2(v[i].args[1] - 100, v[i].args[0] - 100);
        double expected = i * M_PI / 12;
        if (expected > M_PI) expected -= 2 * M_PI;
        EXPECT_NEAR(angle, expected, 1e-4) << i;
        EXPECT_NEAR(std::hypot(v[i].args[0] - 100, v[i].args[1] - 100), 10.0, 1e-4) << i;
    }
}

TEST_F(Draw2DTest, DegenerateRadiiStillSend24Vertices) {
    DrawCircle(Vector2D(5, 6), 0.0f, 1.0f);
    for (const fake::Call& c : Vertices()) EXPECT_EQ(c.args, (std::vector<double>{5, 6, -4}));
    fake::log.clear();
    DrawCircle(Vector2D(0, 0), -10.0f, 1.0f);
    std::vector<fake::Call> v = Vertices();
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v[0].args[0], -10.0) << "starts on the other side";
    for (const fake::Call& c : v) EXPECT_NEAR(std::hypot(c.args[0], c.args[1]), 10.0, 1e-4);
}

TEST_F(Draw2DTest, UnusableWidthsKeepTheLineWidthAndStillDraw) {
    // GL would raise an error for widths of 0 or less and store NaN as given.
    for (float width : {0.0f, -0.0f, -2.0f, std::nanf(""), -INFINITY}) {
        fake::log.clear();
        DrawLine(Vector2D(0, 0), Vector2D(5, 5), width);
        DrawCircle(Vector2D(0, 0), 5.0f, width);
        EXPECT_EQ(fake::Count("glLineWidth"), 0u) << width;
        EXPECT_EQ(Vertices().size(), 26u) << width;
    }
}

}  // namespace
