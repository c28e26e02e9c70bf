#include "Shapes.h"

#include "core/Report.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>

#include <cmath>

namespace {

using qmsprite::Vertex;

constexpr int kMaxCircleSegments = 1024;
constexpr double kPi = 3.14159265358979323846;

// The colour the shapes are drawn in: GL's current colour, which the game
// may also set with glColor. False without a window (no GL call then).
bool CurrentColour(float rgba[4]) {
    if (!qmgl::ContextCurrent()) return false;
    rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0f;
    glGetFloatv(GL_CURRENT_COLOR, rgba);
    return true;
}

void Put(Vertex& v, double x, double y) {
    v.x = float(x);
    v.y = float(y);
    v.z = qmsprite::kDepth;
    v.s = v.t = 0.0f;
}

bool InUnitRange(float v) { return v >= 0.0f && v <= 1.0f; }  // false for NaN

// A shape's own colour: false, reported, when a component is outside 0..1;
// false without a window.
bool GivenColour(Color4f color, float rgba[4]) {
    const float c[4] = {color.r, color.g, color.b, color.a};
    for (int i = 0; i < 4; ++i) {
        if (!InUnitRange(c[i])) {
            qmdiag::Report(Diagnostic::ColorIgnored, i, c[i]);
            return false;
        }
        rgba[i] = c[i];
    }
    return qmgl::ContextCurrent();
}

void Rect(Vector2D position, Vector2D size, float degrees, Vector2D origin, const float rgba[4]);
void Circle(Vector2D center, float radius, const float rgba[4]);
void Triangle(Vector2D a, Vector2D b, Vector2D c, const float rgba[4]);
void Polygon(const Vector2D* points, int count, const float rgba[4]);

bool PolygonIgnored(const Vector2D* points, int count) {
    if (points && count >= 3) return false;
    qmdiag::Report(Diagnostic::ShapeIgnored, count, 0,
                   points ? "fewer than 3 points" : "the points are null");
    return true;
}

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
    float rgba[4];
    if (CurrentColour(rgba)) Rect(position, size, degrees, origin, rgba);
}

void FillRect(Vector2D position, Vector2D size, Color4f color, float degrees, Vector2D origin) {
    float rgba[4];
    if (GivenColour(color, rgba)) Rect(position, size, degrees, origin, rgba);
}

void FillCircle(Vector2D center, float radius) {
    float rgba[4];
    if (radius > 0.0f && CurrentColour(rgba)) Circle(center, radius, rgba);
}

void FillCircle(Vector2D center, float radius, Color4f color) {
    float rgba[4];
    if (GivenColour(color, rgba) && radius > 0.0f) Circle(center, radius, rgba);
}

void FillTriangle(Vector2D a, Vector2D b, Vector2D c) {
    float rgba[4];
    if (CurrentColour(rgba)) Triangle(a, b, c, rgba);
}

void FillTriangle(Vector2D a, Vector2D b, Vector2D c, Color4f color) {
    float rgba[4];
    if (GivenColour(color, rgba)) Triangle(a, b, c, rgba);
}

void FillPolygon(const Vector2D* points, int count) {
    float rgba[4];
    if (!PolygonIgnored(points, count) && CurrentColour(rgba)) Polygon(points, count, rgba);
}

void FillPolygon(const Vector2D* points, int count, Color4f color) {
    float rgba[4];
    if (!PolygonIgnored(points, count) && GivenColour(color, rgba)) Polygon(points, count, rgba);
}

namespace {

void Rect(Vector2D position, Vector2D size, float degrees, Vector2D origin, const float rgba[4]) {
    Vertex* v = qmsprite::Quads(0, 1, rgba);
    if (!v) return;
    double s, c;
    qmsprite::SinCos(double(degrees), &s, &c);
    const double ox = origin.x, oy = origin.y, w = size.x, h = size.y;
    const double cx[4] = {-ox, w - ox, w - ox, -ox};
    const double cy[4] = {-oy, -oy, h - oy, h - oy};
    for (int i = 0; i < 4; ++i)
        Put(v[i], double(position.x) + cx[i] * c - cy[i] * s,
            double(position.y) + cx[i] * s + cy[i] * c);
}

void Circle(Vector2D center, float radius, const float rgba[4]) {
    // The chord's sagitta r(1 - cos(pi/n)) below a quarter pixel.
    int segments = kMaxCircleSegments;
    const double r = radius;
    if (r > 0.25) {
        const double n = std::ceil(kPi / std::acos(1.0 - 0.25 / r));
        if (n < double(kMaxCircleSegments)) segments = int(n);
    } else {
        segments = 8;
    }
    if (segments < 8) segments = 8;
    // Two segments of the fan to a quad (convex: together they turn at most
    // 90 degrees); an odd last one is a quad with a repeated corner.
    Vertex* v = qmsprite::Quads(0, (segments + 1) / 2, rgba);
    if (!v) return;
    // The rim's directions for this many segments, kept for the next circle:
    // a game's circles mostly share a few radii, and sin and cos were most of
    // a small circle's cost.
    static double cosines[kMaxCircleSegments], sines[kMaxCircleSegments];
    static int tableSegments = 0;
    if (tableSegments != segments) {
        for (int i = 0; i < segments; ++i) {
            const double angle = 2.0 * kPi * double(i) / segments;
            cosines[i] = std::cos(angle);
            sines[i] = std::sin(angle);
        }
        tableSegments = segments;
    }
    auto rim = [&](Vertex& out, int i) {
        const int k = i % segments;
        Put(out, double(center.x) + r * cosines[k], double(center.y) + r * sines[k]);
    };
    for (int i = 0; i < segments; i += 2, v += 4) {
        Put(v[0], center.x, center.y);
        rim(v[1], i);
        rim(v[2], i + 1);
        if (i + 2 <= segments)
            rim(v[3], i + 2);
        else
            v[3] = v[2];
    }
}

void Triangle(Vector2D a, Vector2D b, Vector2D c, const float rgba[4]) {
    Vertex* v = qmsprite::Quads(0, 1, rgba);
    if (!v) return;
    Put(v[0], a.x, a.y);
    Put(v[1], b.x, b.y);
    Put(v[2], c.x, c.y);
    v[3] = v[2];
}

void Polygon(const Vector2D* points, int count, const float rgba[4]) {
    // A fan from points[0], one triangle to a quad (whatever the points'
    // shape, each draws as the fan's triangle), in pieces the batch can take.
    for (int first = 1; first < count - 1;) {
        int n = count - 1 - first;
        if (n > qmsprite::kMaxQuads) n = qmsprite::kMaxQuads;
        Vertex* v = qmsprite::Quads(0, n, rgba);
        if (!v) return;
        for (int i = 0; i < n; ++i, v += 4) {
            Put(v[0], points[0].x, points[0].y);
            Put(v[1], points[first + i].x, points[first + i].y);
            Put(v[2], points[first + i + 1].x, points[first + i + 1].y);
            v[3] = v[2];
        }
        first += n;
    }
}

}  // namespace
