#include "Draw2D.h"

#include "core/Report.h"
#include "draw2d/StrokeFont.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>

#include <cmath>

namespace {

bool UsableHeight(float height) { return std::isfinite(height) && height > 0.0f; }

bool Check(const char* text, float height, const char* caller) {
    if (!text) {
        qmdiag::Report(Diagnostic::TextIgnored, 0.0, 0.0, caller);
        return false;
    }
    if (!UsableHeight(height)) {
        qmdiag::Report(Diagnostic::TextIgnored, 1.0, height, caller);
        return false;
    }
    return true;
}

}  // namespace

// Queued with the sprites and shapes, as lines in GL's current colour.
void DrawString(const char* text, Vector2D position, float height, float lineWidth) {
    if (!Check(text, height, "DrawString") || !*text) return;
    // As for the lines: a width GL would reject keeps the current one.
    if (!(lineWidth > 0.0f))
        qmdiag::Report(Diagnostic::LineWidthIgnored, lineWidth, 0.0, "DrawString");
    if (!qmgl::ContextCurrent()) return;
    float rgba[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glGetFloatv(GL_CURRENT_COLOR, rgba);
    long total = 0;
    qmfont::Strokes(text, position.x, position.y, height, [&](float, float, float, float) { ++total; });
    // The whole string in one reservation where the batch has room for it.
    constexpr long kMaxSegments = qmsprite::kMaxQuads * 2;
    qmsprite::Vertex* v = nullptr;
    long room = 0;
    qmfont::Strokes(text, position.x, position.y, height, [&](float x0, float y0, float x1, float y1) {
        if (room == 0) {
            room = total < kMaxSegments ? total : kMaxSegments;
            total -= room;
            v = qmsprite::Lines(lineWidth, int(room), rgba);
        }
        --room;
        if (!v) return;
        v[0].x = x0, v[0].y = y0, v[0].z = qmsprite::kDepth;
        v[1].x = x1, v[1].y = y1, v[1].z = qmsprite::kDepth;
        v[0].s = v[0].t = v[1].s = v[1].t = 0.0f;
        v += 2;
    });
}

float GetStringWidth(const char* text, float height) {
    if (!Check(text, height, "GetStringWidth")) return 0.0f;
    std::size_t widest = 0, n = 0;
    for (const char* c = text; *c;) {
        if (qmfont::Next(c) == '\n') {
            n = 0;
            continue;
        }
        if (++n > widest) widest = n;
    }
    // The last character ends at its glyph's right edge, not after its gap.
    return widest > 0
               ? float((double(widest) * qmfont::kAdvance - 2.0) * double(height) / qmfont::kHeight)
               : 0.0f;
}

float GetStringHeight(const char* text, float height) {
    if (!Check(text, height, "GetStringHeight") || !*text) return 0.0f;
    std::size_t lines = 1;
    for (const char* c = text; *c; ++c) lines += *c == '\n';
    return float((double(lines - 1) * qmfont::kLinePitch + qmfont::kHeight) * double(height) /
                 qmfont::kHeight);
}
