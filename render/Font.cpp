#include "Draw2D.h"

#include "core/Report.h"
#include "render/Font.h"
#include "render/GLState.h"
#include "render/SpriteBatch.h"

#include <GL/gl.h>

#include <cmath>

namespace qmfont {

const char* Glyph(int c) {
    if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
    switch (c) {
    // [SECTION] Digits
    case '0': return "0040460600 0046";
    case '1': return "152620 1030";
    case '2': return "064643030040";
    case '3': return "06464000 1343";
    case '4': return "060343 4640";
    case '5': return "460603434000";
    case '6': return "460600404303";
    case '7': return "064620";
    case '8': return "0040460600 0343";
    case '9': return "004046060343";
    // [SECTION] Capitals
    case 'A': return "0004264440 0343";
    case 'B': return "00063645443303 3342413000";
    case 'C': return "46060040";
    case 'D': return "00063645413000";
    case 'E': return "46060040 0333";
    case 'F': return "460600 0333";
    case 'G': return "460600404323";
    case 'H': return "0006 4640 0343";
    case 'I': return "1636 2620 1030";
    case 'J': return "264641301001";
    case 'K': return "0006 0346 0340";
    case 'L': return "060040";
    case 'M': return "0006234640";
    case 'N': return "00064046";
    case 'O': return "0040460600";
    case 'P': return "0006464303";
    case 'Q': return "0040460600 2240";
    case 'R': return "0006464303 1340";
    case 'S': return "460603434000";
    case 'T': return "0646 2620";
    case 'U': return "06004046";
    case 'V': return "062046";
    case 'W': return "0600234046";
    case 'X': return "0046 0640";
    case 'Y': return "062346 2320";
    case 'Z': return "06460040";
    // [SECTION] Signs
    case '!': return "2622 2120";
    case '"': return "1614 3634";
    case '#': return "1016 3036 0444 0242";
    case '$': return "450503434101 2026";
    case '%': return "0046 0515 0010 3141";
    case '&': return "40131526353402011020 2042";
    case '\'': return "2624";
    case '(': return "36252130";
    case ')': return "16252110";
    case '*': return "2125 0442 0244";
    case '+': return "1333 2224";
    case ',': return "2221 2110";
    case '-': return "1333";
    case '.': return "2021";
    case '/': return "0046";
    case ':': return "2122 2425";
    case ';': return "2425 222110";
    case '<': return "450341";
    case '=': return "0444 0242";
    case '>': return "054301";
    case '?': return "05163645442322 2120";
    case '@': return "32121434314146060040";
    case '[': return "36161030";
    case '\\': return "0640";
    case ']': return "16363010";
    case '^': return "042644";
    case '_': return "0040";
    case '`': return "1625";
    case '{': return "36262413222030";
    case '|': return "2620";
    case '}': return "16262433222010";
    case '~': return "03143243";
    // A diamond with a bar: a character the font does not have.
    case kReplacement: return "2003264320 2224";
    default: return nullptr;
    }
}

int Next(const char*& text) {
    const unsigned char lead = static_cast<unsigned char>(*text++);
    if (lead < 0x80) return lead;
    // The continuation bytes a lead byte asks for, and the range of the first
    // (narrower after E0, ED, F0, F4: no overlong forms, surrogates or values
    // beyond U+10FFFF).
    int more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kReplacement;  // a continuation byte, or one no sequence starts with
    }
    // Checked before any is taken, stopping at the first misfit (a NUL is
    // one): a broken sequence is its lead byte alone.
    const unsigned char* next = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < more; ++i) {
        if (next[i] < (i == 0 ? low : 0x80) || next[i] > (i == 0 ? high : 0xBF))
            return kReplacement;
    }
    text += more;
    return kReplacement;
}

}  // namespace qmfont

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

namespace {

// Walks the string's strokes, handing each segment's two ends to put.
template <typename Put>
void Strokes(const char* text, Vector2D position, float height, Put&& put) {
    const double unit = double(height) / qmfont::kHeight;
    const double smallCaps = 2.0 / 3.0;  // lower case: two thirds of a capital's height
    double left = position.x;
    double base = position.y;
    int line = 0;
    for (const char* c = text; *c;) {
        const int ch = qmfont::Next(c);
        if (ch == '\n') {
            // Computed from the first line, not accumulated: every line's
            // baseline is one rounding from the position.
            ++line;
            left = position.x;
            base = double(position.y) - double(line) * qmfont::kLinePitch * unit;
            continue;
        }
        const char* g = qmfont::Glyph(ch);
        const double yScale = (ch >= 'a' && ch <= 'z') ? unit * smallCaps : unit;
        float px = 0.0f, py = 0.0f;
        bool joined = false;
        while (g && *g) {
            if (*g == ' ') {
                joined = false;
                ++g;
                continue;
            }
            const float x = float(left + (g[0] - '0') * unit);
            const float y = float(base + (g[1] - '0') * yScale);
            if (joined) put(px, py, x, y);
            px = x;
            py = y;
            joined = true;
            g += 2;
        }
        left += qmfont::kAdvance * unit;
    }
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
    Strokes(text, position, height, [&](float, float, float, float) { ++total; });
    // The whole string in one reservation where the batch has room for it.
    constexpr long kMaxSegments = qmsprite::kMaxQuads * 2;
    qmsprite::Vertex* v = nullptr;
    long room = 0;
    Strokes(text, position, height, [&](float x0, float y0, float x1, float y1) {
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
