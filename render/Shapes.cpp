#include "Shapes.h"

#include "core/Report.h"
#include "render/GLState.h"
#include "render/SpriteBatch.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr float kDepth = -4.0f;  // the 2D layer's depth, as the lines
constexpr int kMaxCircleSegments = 1024;
// A polygon larger than this goes to GL in several fans sharing its first point.
constexpr int kFanVertices = 1026;

GLfloat fan[kFanVertices * 3];

void Put(int i, double x, double y) {
    fan[i * 3] = float(x);
    fan[i * 3 + 1] = float(y);
    fan[i * 3 + 2] = kDepth;
}

// Draws fan[0..count) as a triangle fan in the shapes' state.
void DrawFan(int count) {
    qmgl::StateGuard guard(false);
    glVertexPointer(3, GL_FLOAT, 0, fan);
    glDrawArrays(GL_TRIANGLE_FAN, 0, count);
}

// Shapes draw at once: queued sprites go first to keep the order.
bool Ready() {
    qmsprite::Flush();
    return qmgl::ContextCurrent();
}

bool InUnitRange(float v) { return v >= 0.0f && v <= 1.0f; }  // false for NaN

}  // namespace

void SetColor(float r, float g, float b, float a) {
    const float c[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) {
        if (!InUnitRange(c[i])) {
            qmdiag::Report(Diagnostic::ColorIgnored, i, c[i]);
            return;
        }
    }
    if (qmgl::ContextCurrent()) glColor4f(r, g, b, a);
}

void SetColor(Color4f color) { SetColor(color.r, color.g, color.b, color.a); }

void FillRect(Vector2D position, Vector2D size, float degrees, Vector2D origin) {
    if (!Ready()) return;
    double turn = std::fmod(double(degrees), 360.0);
    if (turn < 0.0) turn += 360.0;
    double s = 0.0, c = 1.0;
    if (turn == 90.0) s = 1.0, c = 0.0;
    else if (turn == 180.0) s = 0.0, c = -1.0;
    else if (turn == 270.0) s = -1.0, c = 0.0;
    else if (turn != 0.0) {
        const double radians = turn * 3.14159265358979323846 / 180.0;
        s = std::sin(radians);
        c = std::cos(radians);
    }
    const double ox = origin.x, oy = origin.y, w = size.x, h = size.y;
    const double cx[4] = {-ox, w - ox, w - ox, -ox};
    const double cy[4] = {-oy, -oy, h - oy, h - oy};
    for (int i = 0; i < 4; ++i)
        Put(i, double(position.x) + cx[i] * c - cy[i] * s,
            double(position.y) + cx[i] * s + cy[i] * c);
    DrawFan(4);
}

void FillCircle(Vector2D center, float radius) {
    if (!(radius > 0.0f) || !Ready()) return;
    // The chord's sagitta r(1 - cos(pi/n)) below a quarter pixel.
    int segments = kMaxCircleSegments;
    const double r = radius;
    if (r > 0.25) {
        const double n = std::ceil(3.14159265358979323846 / std::acos(1.0 - 0.25 / r));
        if (n < double(kMaxCircleSegments)) segments = int(n);
    } else {
        segments = 8;
    }
    if (segments < 8) segments = 8;
    Put(0, center.x, center.y);
    for (int i = 0; i <= segments; ++i) {
        const double angle = 2.0 * 3.14159265358979323846 * double(i % segments) / segments;
        Put(i + 1, double(center.x) + r * std::cos(angle), double(center.y) + r * std::sin(angle));
    }
    DrawFan(segments + 2);
}

void FillTriangle(Vector2D a, Vector2D b, Vector2D c) {
    if (!Ready()) return;
    Put(0, a.x, a.y);
    Put(1, b.x, b.y);
    Put(2, c.x, c.y);
    DrawFan(3);
}

void FillPolygon(const Vector2D* points, int count) {
    if (!points || count < 3) {
        qmdiag::Report(Diagnostic::ShapeIgnored, count, 0,
                       points ? "fewer than 3 points" : "the points are null");
        return;
    }
    if (!Ready()) return;
    // Fans of up to kFanVertices points: points[0], then a run of the rest
    // that overlaps the previous run by one point.
    Put(0, points[0].x, points[0].y);
    int next = 1;
    while (next < count - 1) {
        int n = 1;
        while (n < kFanVertices && next + n - 1 < count) {
            Put(n, points[next + n - 1].x, points[next + n - 1].y);
            ++n;
        }
        DrawFan(n);
        next += n - 2;
    }
}
