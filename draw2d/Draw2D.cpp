#include "Draw2D.h"

#include "core/Report.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>

namespace {
// In front of the 2D layer's eye (moved one unit in), inside its depth range.
const float kDepth = -4.0f;

// GL rejects a width of 0 or less with an error the game would later find in
// glGetError, and would store NaN as given; such widths keep the current one,
// as GL itself keeps it, and the primitive is drawn all the same.
void SetLineWidth(float width, const char* caller) {
    if (width > 0.0f)  // false for NaN
        glLineWidth(width);
    else
        qmdiag::Report(Diagnostic::LineWidthIgnored, width, 0.0, caller);
}
}  // namespace

void DrawLine(Vector2D start, Vector2D end, float width) {
    qmsprite::Flush();
    SetLineWidth(width, "DrawLine");
    glBegin(GL_LINES);
    glVertex3f(start.x, start.y, kDepth);
    glVertex3f(end.x, end.y, kDepth);
    glEnd();
}

void DrawCircle(Vector2D center, float radius, float width) {
    qmsprite::Flush();
    SetLineWidth(width, "DrawCircle");
    glBegin(GL_LINE_LOOP);
    Vector2D unit;
    for (int i = 0; i < 24; ++i) {
        float angle = float(double(i) / 24.0 * 360.0);
        Vector2D vertex = unit.AngleToVector(angle) * radius + center;
        glVertex3f(vertex.x, vertex.y, kDepth);
    }
    glEnd();
}
