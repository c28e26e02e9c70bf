// Fonts read and rasterised by FreeType, text shaped by HarfBuzz. Shaping is
// done in the font's design units, so a string lays out the same at every
// size and only the glyph images depend on the size drawn.
#if defined(QUILLMAR_HAVE_FONTS)

#include "Font.h"

#include "core/FileRead.h"
#include "core/Report.h"
#include "draw2d/FontInput.h"
#include "draw2d/GlyphAtlas.h"
#include "draw2d/TextCache.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// [SECTION] FreeType within a budget
// Every allocation FreeType makes for one font counts against its budget, so
// a font whose tables claim huge structures fails to load or to render a
// glyph instead of taking the machine's memory.
constexpr std::size_t kEngineBudget = std::size_t(64) << 20;

struct Budget {
    std::size_t used = 0;
};

// Each block starts with its size, kept in a header as large as max_align_t.
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t)
                                    ? alignof(std::max_align_t)
                                    : sizeof(std::size_t);

void* BudgetAlloc(FT_Memory memory, long size) {
    auto* budget = static_cast<Budget*>(memory->user);
    if (size <= 0 || std::size_t(size) > kEngineBudget - budget->used) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kHeader + std::size_t(size)));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->used += std::size_t(size);
    return block + kHeader;
}

void BudgetFree(FT_Memory memory, void* p) {
    if (!p) return;
    auto* budget = static_cast<Budget*>(memory->user);
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    long size = 0;
    std::memcpy(&size, block, sizeof size);
    budget->used -= std::size_t(size);
    std::free(block);
}

void* BudgetRealloc(FT_Memory memory, long oldSize, long newSize, void* p) {
    if (!p) return BudgetAlloc(memory, newSize);
    void* q = BudgetAlloc(memory, newSize);
    if (!q) return nullptr;
    std::memcpy(q, p, std::size_t(oldSize < newSize ? oldSize : newSize));
    BudgetFree(memory, p);
    return q;
}

// [SECTION] UTF-8
constexpr unsigned kReplacement = 0xFFFD;

// The code point at text[i] (i < end) and the byte after it. A byte that
// begins no well-formed sequence (overlong, surrogate, above U+10FFFF, cut
// short) is U+FFFD and one byte long, as HarfBuzz reads it.
unsigned Decode(const char* text, std::size_t end, std::size_t* i) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned c = s[*i];
    if (c < 0x80) {
        ++*i;
        return c;
    }
    int n = 0;
    unsigned cp = 0, min = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 1, cp = c & 0x1F, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) n = 2, cp = c & 0x0F, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 3, cp = c & 0x07, min = 0x10000;
    if (n == 0 || *i + std::size_t(n) >= end) {
        ++*i;
        return kReplacement;
    }
    for (int k = 1; k <= n; ++k) {
        const unsigned b = s[*i + std::size_t(k)];
        if ((b & 0xC0) != 0x80) {
            ++*i;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++*i;
        return kReplacement;
    }
    *i += std::size_t(n) + 1;
    return cp;
}

// [SECTION] Direction
enum Dir : unsigned char { kNeutral, kLeft, kRight, kNumber };

Dir Direction(unsigned cp) {
    if (cp >= '0' && cp <= '9') return kNumber;
    if ((cp >= 0x0590 && cp <= 0x08FF) || (cp >= 0xFB1D && cp <= 0xFDFF) ||
        (cp >= 0xFE70 && cp <= 0xFEFF) || (cp >= 0x10800 && cp <= 0x10FFF) ||
        (cp >= 0x1E800 && cp <= 0x1EFFF))
        return (cp >= 0x0660 && cp <= 0x0669) || (cp >= 0x06F0 && cp <= 0x06F9) ? kNumber : kRight;
    if (cp < 0x41 || (cp > 0x5A && cp < 0x61) || (cp > 0x7A && cp < 0xAA) ||
        (cp >= 0x2000 && cp <= 0x2BFF) || (cp >= 0x3000 && cp <= 0x303F) || cp == 0xFFFD ||
        (cp >= 0xFE00 && cp <= 0xFE0F) || (cp >= 0x0300 && cp <= 0x036F))
        return kNeutral;
    return kLeft;
}

bool RealScript(hb_script_t s) {
    return s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED && s != HB_SCRIPT_UNKNOWN &&
           s != HB_SCRIPT_INVALID;
}

}  // namespace

// [SECTION] The font's state
namespace qmdetail {

struct FontData {
    std::string name;
    std::vector<unsigned char> bytes;
    Budget budget;
    FT_MemoryRec_ memory{};
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    hb_blob_t* blob = nullptr;
    hb_face_t* hbFace = nullptr;
    hb_font_t* hbFont = nullptr;
    hb_buffer_t* buffer = nullptr;
    hb_unicode_funcs_t* unicode = nullptr;

    float unitsPerEm = 1000.0f;
    float ascender = 0.0f, descender = 0.0f, lineGap = 0.0f;  // design units

    // Glyph images by (size in quarter pixels, glyph index).
    struct Glyph {
        int page;  // -1: nothing to draw (a space, or no room)
        int x, y, width, height;
        int left, top;  // from the pen position on the baseline, pixels, y up
    };
    qmtype::GlyphAtlas atlas;
    std::unordered_map<unsigned long long, Glyph> glyphs;
    int sizeSet = -1;  // the quarter-pixel size FreeType's face is set to
    float lastScale = 1.0f;  // the 2D layer's scale at the latest Draw

    std::unordered_set<unsigned> missing;
    bool missingReported = false;

    // Scratch, kept between calls so a frame allocates nothing.
    struct Char {
        std::size_t at;  // byte offset in the line
        unsigned cp;
        unsigned char level;
        hb_script_t script;
    };
    struct Run {
        std::size_t begin, end;  // bytes
        unsigned char level;
        hb_script_t script;
    };
    struct Placed {
        unsigned glyph;
        float x, y;  // design units from the line's start on its baseline
    };
    std::vector<Char> chars;
    std::vector<Run> runs;
    std::vector<Run> order;
    std::vector<Placed> placed;
    std::vector<float> advances;  // by byte of a paragraph, design units
    std::vector<std::pair<std::size_t, std::size_t>> lines;
    // The layout being made, before the cache keeps it.
    std::vector<qmtype::LaidLine> laidLines;
    std::vector<qmtype::LaidGlyph> laidGlyphs;
    qmtype::TextCache laid;

    ~FontData() {
        atlas.Clear();
        if (buffer) hb_buffer_destroy(buffer);
        if (hbFont) hb_font_destroy(hbFont);
        if (hbFace) hb_face_destroy(hbFace);
        if (blob) hb_blob_destroy(blob);
        if (face) FT_Done_Face(face);
        if (library) FT_Done_Library(library);
    }
};

}  // namespace qmdetail

using qmdetail::FontData;

namespace {

using qmdiag::ReportNamed;

// Builds the font from its bytes; null (reported) when they are refused.
FontData* Open(std::vector<unsigned char>&& bytes, const char* name) {
    char reason[160];
    const qmtype::InputVerdict verdict =
        qmtype::CheckFontFile(bytes.data(), bytes.size(), reason, sizeof reason);
    if (verdict == qmtype::InputVerdict::Unsupported) {
        ReportNamed(Diagnostic::FontFormatUnsupported, name, reason);
        return nullptr;
    }
    if (verdict == qmtype::InputVerdict::Corrupt) {
        ReportNamed(Diagnostic::FontCorrupt, name, reason);
        return nullptr;
    }
    auto* font = new (std::nothrow) FontData;
    if (!font) {
        ReportNamed(Diagnostic::FontCorrupt, name, "out of memory");
        return nullptr;
    }
    font->name = name;
    font->bytes = std::move(bytes);
    font->memory.user = &font->budget;
    font->memory.alloc = BudgetAlloc;
    font->memory.free = BudgetFree;
    font->memory.realloc = BudgetRealloc;
    auto refuse = [&](Diagnostic code, const char* why) {
        ReportNamed(code, name, why);
        delete font;
        return nullptr;
    };
    if (FT_New_Library(&font->memory, &font->library) != 0)
        return refuse(Diagnostic::FontCorrupt, "the font engine could not start");
    FT_Add_Default_Modules(font->library);
    const FT_Error error =
        FT_New_Memory_Face(font->library, font->bytes.data(), FT_Long(font->bytes.size()), 0,
                           &font->face);
    if (error == FT_Err_Unknown_File_Format)
        return refuse(Diagnostic::FontFormatUnsupported, "not a font the engine reads");
    if (error != 0) {
        std::snprintf(reason, sizeof reason, "the font engine refused it (error 0x%X)",
                      unsigned(error));
        return refuse(Diagnostic::FontCorrupt, reason);
    }
    FT_Face face = font->face;
    if (!FT_IS_SCALABLE(face)) return refuse(Diagnostic::FontFormatUnsupported, "it has no outlines");
    if (face->num_glyphs <= 0 || face->num_glyphs > 65535)
        return refuse(Diagnostic::FontCorrupt, "its glyph count is out of range");
    if (face->units_per_EM < 16 || face->units_per_EM > 16384)
        return refuse(Diagnostic::FontCorrupt, "its em is out of range");
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
        return refuse(Diagnostic::FontCorrupt, "it has no Unicode character map");
    // The glyph locations must cover every glyph the font claims.
    if (!qmtype::CheckGlyphCount(font->bytes.data(), font->bytes.size(), reason, sizeof reason))
        return refuse(Diagnostic::FontCorrupt, reason);

    font->unitsPerEm = float(face->units_per_EM);
    font->ascender = float(face->ascender);
    font->descender = float(-face->descender);
    font->lineGap = float(face->height) - font->ascender - font->descender;
    if (!(font->ascender > 0.0f) || font->ascender > 4.0f * font->unitsPerEm) {
        font->ascender = 0.8f * font->unitsPerEm;
    }
    if (font->descender < 0.0f || font->descender > 4.0f * font->unitsPerEm)
        font->descender = 0.2f * font->unitsPerEm;
    if (font->lineGap < 0.0f || font->lineGap > 4.0f * font->unitsPerEm) font->lineGap = 0.0f;

    font->blob = hb_blob_create(reinterpret_cast<const char*>(font->bytes.data()),
                                unsigned(font->bytes.size()), HB_MEMORY_MODE_READONLY, nullptr,
                                nullptr);
    font->hbFace = hb_face_create(font->blob, 0);
    font->hbFont = hb_font_create(font->hbFace);
    font->buffer = hb_buffer_create();
    if (!hb_buffer_allocation_successful(font->buffer))
        return refuse(Diagnostic::FontCorrupt, "out of memory");
    // Design units: layout is the same at every size.
    hb_font_set_scale(font->hbFont, face->units_per_EM, face->units_per_EM);
    font->unicode = hb_unicode_funcs_get_default();
    return font;
}

bool UsableSize(float pixelHeight) { return std::isfinite(pixelHeight) && pixelHeight > 0.0f; }

bool CheckText(const FontData* font, const char* text, float pixelHeight, const char* caller) {
    char why[96];
    if (!text) {
        std::snprintf(why, sizeof why, "%s: the text is null; nothing is done", caller);
        qmdiag::Report(Diagnostic::FontArgumentIgnored, 0, 0, why);
        return false;
    }
    if (!UsableSize(pixelHeight)) {
        std::snprintf(why, sizeof why,
                      "%s: a size of %g pixels is not a finite number above 0; nothing is done",
                      caller, double(pixelHeight));
        qmdiag::Report(Diagnostic::FontArgumentIgnored, 0, 0, why);
        return false;
    }
    return font != nullptr;
}

// [SECTION] Lines: direction levels, runs, shaping
// The levels of a line's characters: the first letter with a direction sets
// the line's; letters of the other direction rise one level, numbers in a
// right-to-left stretch two; neutral characters between two stretches of one
// direction take it, others the line's.
unsigned char ResolveLevels(FontData& f, const char* text, std::size_t begin, std::size_t end) {
    f.chars.clear();
    Dir lineDir = kNeutral;
    for (std::size_t i = begin; i < end;) {
        const std::size_t at = i;
        const unsigned cp = Decode(text, end, &i);
        const Dir d = Direction(cp);
        if (lineDir == kNeutral && (d == kLeft || d == kRight)) lineDir = d;
        f.chars.push_back({at, cp, static_cast<unsigned char>(d),
                           hb_unicode_script(f.unicode, cp)});
    }
    const unsigned char base = lineDir == kRight ? 1 : 0;
    // Numbers follow the letters before them; neutrals look both ways.
    Dir last = lineDir == kRight ? kRight : kLeft;
    for (auto& c : f.chars) {
        if (c.level == kLeft || c.level == kRight) last = Dir(c.level);
        if (c.level == kNumber) c.level = last == kRight ? kRight + 10 : kLeft;
    }
    const std::size_t n = f.chars.size();
    for (std::size_t i = 0; i < n;) {
        if (f.chars[i].level != kNeutral) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && f.chars[j].level == kNeutral) ++j;
        auto side = [](unsigned char l) { return l == kLeft ? kLeft : kRight; };
        const Dir before = i > 0 ? side(f.chars[i - 1].level) : (base ? kRight : kLeft);
        const Dir after = j < n ? side(f.chars[j].level) : (base ? kRight : kLeft);
        const unsigned char fill = before == after ? before : (base ? kRight : kLeft);
        for (std::size_t k = i; k < j; ++k) f.chars[k].level = fill;
        i = j;
    }
    for (auto& c : f.chars) {
        const bool number = c.level == kRight + 10;
        const bool right = c.level == kRight;
        if (number)
            c.level = 2;
        else if (base == 0)
            c.level = right ? 1 : 0;
        else
            c.level = right ? 1 : 2;
    }
    return base;
}

// Splits the line into runs of one level and one script, in visual order.
void MakeRuns(FontData& f, std::size_t end) {
    f.runs.clear();
    const std::size_t n = f.chars.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char level = f.chars[i].level;
        hb_script_t script = HB_SCRIPT_COMMON;
        std::size_t j = i;
        for (; j < n && f.chars[j].level == level; ++j) {
            const hb_script_t s = f.chars[j].script;
            if (!RealScript(s)) continue;
            if (!RealScript(script))
                script = s;
            else if (s != script)
                break;
        }
        const std::size_t stop = j < n ? f.chars[j].at : end;
        f.runs.push_back({f.chars[i].at, stop, level, RealScript(script) ? script : HB_SCRIPT_LATIN});
        i = j;
    }
    // From the highest level down, every stretch at or above it reverses.
    unsigned char top = 0;
    for (const auto& r : f.runs) top = r.level > top ? r.level : top;
    for (int level = top; level >= 1; --level) {
        for (std::size_t i = 0; i < f.runs.size();) {
            if (f.runs[i].level < level) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < f.runs.size() && f.runs[j].level >= level) ++j;
            for (std::size_t a = i, b = j - 1; a < b; ++a, --b) std::swap(f.runs[a], f.runs[b]);
            i = j;
        }
    }
}

void NoteMissing(FontData& f, const char* text, std::size_t lineEnd, std::size_t cluster) {
    std::size_t at = cluster;
    const unsigned cp = Decode(text, lineEnd, &at);
    if (!f.missing.insert(cp).second) return;
    if (f.missingReported) return;
    f.missingReported = true;
    qmdiag::Report(Diagnostic::FontGlyphMissing, double(cp), 0.0, f.name.c_str());
}

// Shapes text[begin, end) (one line, no '\n') into f.placed in visual order;
// returns its advance in design units. With `advances`, each glyph's advance
// is also added to f.advances at its cluster's byte (from `begin`).
float ShapeLine(FontData& f, const char* text, std::size_t begin, std::size_t end,
                bool advances) {
    f.placed.clear();
    if (begin >= end) return 0.0f;
    ResolveLevels(f, text, begin, end);
    MakeRuns(f, end);
    float pen = 0.0f;
    for (const auto& run : f.runs) {
        hb_buffer_clear_contents(f.buffer);
        // The whole line is the context, so letters join across run edges.
        hb_buffer_add_utf8(f.buffer, text + begin, int(end - begin), unsigned(run.begin - begin),
                           int(run.end - run.begin));
        hb_buffer_set_direction(f.buffer, run.level & 1 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(f.buffer, run.script);
        hb_buffer_guess_segment_properties(f.buffer);
        hb_shape(f.hbFont, f.buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(f.buffer, &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(f.buffer, nullptr);
        for (unsigned g = 0; g < count; ++g) {
            if (info[g].codepoint == 0) NoteMissing(f, text, end, begin + info[g].cluster);
            f.placed.push_back({info[g].codepoint, pen + float(pos[g].x_offset),
                                float(pos[g].y_offset)});
            if (advances && info[g].cluster < f.advances.size())
                f.advances[info[g].cluster] += float(pos[g].x_advance);
            pen += float(pos[g].x_advance);
        }
    }
    return pen;
}

// The lines of text[begin, end) (one paragraph) into f.lines: broken at
// spaces to fit `wrap` design units (0: not broken).
void BreakParagraph(FontData& f, const char* text, std::size_t begin, std::size_t end,
                    float wrap) {
    if (!(wrap > 0.0f) || begin >= end) {
        f.lines.push_back({begin, end});
        return;
    }
    f.advances.assign(end - begin, 0.0f);
    ShapeLine(f, text, begin, end, true);
    auto width = [&](std::size_t a, std::size_t b) {
        float w = 0.0f;
        for (std::size_t i = a; i < b; ++i) w += f.advances[i - begin];
        return w;
    };
    std::size_t lineStart = begin, pos = begin;
    float lineWidth = 0.0f;
    bool hasWord = false;
    while (pos < end) {
        const std::size_t spaceStart = pos;
        while (pos < end && text[pos] == ' ') ++pos;
        const float spaceWidth = width(spaceStart, pos);
        const std::size_t wordStart = pos;
        while (pos < end && text[pos] != ' ') ++pos;
        const float wordWidth = width(wordStart, pos);
        if (wordStart == pos) break;  // trailing spaces: they stay on the line
        if (hasWord && lineWidth + spaceWidth + wordWidth > wrap) {
            f.lines.push_back({lineStart, spaceStart});
            lineStart = wordStart;
            lineWidth = wordWidth;
        } else {
            lineWidth += spaceWidth + wordWidth;
        }
        hasWord = true;
    }
    f.lines.push_back({lineStart, end});
}

void BreakText(FontData& f, const char* text, std::size_t length, float wrap) {
    f.lines.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i == length || text[i] == '\n') {
            std::size_t stop = i;
            if (stop > start && text[stop - 1] == '\r') --stop;
            BreakParagraph(f, text, start, stop, wrap);
            start = i + 1;
        }
    }
}

// The scale from the 2D layer's units to window pixels: 1 for Render2D's own
// projection, more under a game's glScalef or a larger viewport.
float LayerScale() {
    GLfloat p[16], m[16];
    GLint viewport[4] = {0, 0, 0, 0};
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Where the layer's y axis goes in clip space, then in pixels.
    double cx = 0.0, cy = 0.0;
    for (int k = 0; k < 4; ++k) {
        cx += double(p[k * 4 + 0]) * double(m[4 + k]);
        cy += double(p[k * 4 + 1]) * double(m[4 + k]);
    }
    const double sx = cx * viewport[2] * 0.5, sy = cy * viewport[3] * 0.5;
    const double scale = std::sqrt(sx * sx + sy * sy);
    return std::isfinite(scale) && scale > 1e-3 && scale < 1e3 ? float(scale) : 1.0f;
}

// Whether the loaded glyph's outline, once rasterised, fits an atlas page. A
// glyph that does not (a font's coordinates gone wild) is never rasterised:
// its bitmap would cost time and memory in proportion to its area, on every
// draw, only to be refused by the atlas.
bool FitsAPage(const FT_GlyphSlot slot) {
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return true;
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    const long long w = ((static_cast<long long>(box.xMax) + 63) >> 6) - (static_cast<long long>(box.xMin) >> 6);
    const long long h = ((static_cast<long long>(box.yMax) + 63) >> 6) - (static_cast<long long>(box.yMin) >> 6);
    return w + 2 <= qmtype::GlyphAtlas::kWidth && h + 2 <= qmtype::GlyphAtlas::kMaxHeight;
}

// The glyph's image at `size` quarter pixels, rasterised on first use.
const FontData::Glyph* GlyphImage(FontData& f, unsigned glyph, int size, bool* full) {
    const unsigned long long key = (static_cast<unsigned long long>(size) << 32) | glyph;
    auto found = f.glyphs.find(key);
    if (found != f.glyphs.end()) return &found->second;
    FontData::Glyph image{-1, 0, 0, 0, 0, 0, 0};
    if (f.sizeSet != size) {
        if (FT_Set_Char_Size(f.face, 0, FT_F26Dot6(size) * 16, 72, 72) != 0) return nullptr;
        f.sizeSet = size;
    }
    const FT_GlyphSlot slot = f.face->glyph;
    if (FT_Load_Glyph(f.face, glyph, FT_LOAD_TARGET_LIGHT) == 0 && FitsAPage(slot) &&
        (slot->format == FT_GLYPH_FORMAT_BITMAP || FT_Render_Glyph(slot, FT_RENDER_MODE_LIGHT) == 0)) {
        const FT_Bitmap& bitmap = slot->bitmap;
        const int w = int(bitmap.width), h = int(bitmap.rows);
        const bool gray = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
        const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
        // Larger than a page (a bitmap glyph): it never fits, and is cached as
        // nothing rather than taken for a full atlas.
        const bool fits = w + 2 <= qmtype::GlyphAtlas::kWidth && h + 2 <= qmtype::GlyphAtlas::kMaxHeight;
        if (w > 0 && h > 0 && (gray || mono) && fits) {
            int page = 0, x = 0, y = 0;
            if (!f.atlas.Place(w, h, &page, &x, &y)) {
                *full = true;
                return nullptr;
            }
            for (int row = 0; row < h; ++row) {
                const unsigned char* src =
                    bitmap.buffer + (bitmap.pitch >= 0 ? row : row - h + 1) * bitmap.pitch;
                unsigned char* dst = f.atlas.Row(page, y + row) + x;
                for (int col = 0; col < w; ++col)
                    dst[col] = gray ? src[col]
                                    : ((src[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0);
            }
            f.atlas.Touch(page, y, y + h - 1);
            image = {page, x, y, w, h, slot->bitmap_left, slot->bitmap_top};
        }
    }
    return &f.glyphs.emplace(key, image).first->second;
}

// How text at a size lands on the screen: the quarter-pixel size glyphs are
// made at, layer units per glyph texel and per design unit, and the line
// height in layer units.
// std::round, bit for bit (checked for every float), without the call into
// the maths library that costs as much as the rest of a glyph's quad.
inline float RoundHalfAway(float v) {
    if (!(std::fabs(v) < 8388608.0f)) return v;  // 2^23: already whole, or not a number
    float t = float(std::int32_t(v));
    if (std::fabs(v - t) >= 0.5f) t += v < 0.0f ? -1.0f : 1.0f;  // v - t is exact
    return std::copysign(t, v);
}

struct Scale {
    int size;
    float texel, unit, lineHeight;
    float Snap(float v) const {
        return texel == 1.0f ? RoundHalfAway(v) : RoundHalfAway(v / texel) * texel;
    }
};

Scale ScaleFor(const FontData& f, float pixelHeight, float layerScale) {
    Scale s;
    float raster = pixelHeight * layerScale;
    if (raster > float(Font::kMaxRasterHeight)) raster = float(Font::kMaxRasterHeight);
    s.size = raster < 1.0f ? 4 : int(std::lround(raster * 4.0f));
    // Layer units per glyph texel: a window pixel, so glyphs land texel on
    // pixel (the quarter-pixel size they were made at is within an eighth of
    // a pixel of the one asked); above the largest raster size, stretched.
    const bool stretched = pixelHeight * layerScale > float(Font::kMaxRasterHeight);
    s.texel = stretched ? pixelHeight / (float(s.size) / 4.0f) : 1.0f / layerScale;
    s.unit = pixelHeight / f.unitsPerEm;  // layer units per design unit
    s.lineHeight = (f.ascender + f.descender + f.lineGap) * s.unit;
    return s;
}

// Lays the text out into f.laidLines and f.laidGlyphs, relative to where it
// will be drawn (layer units, texels of pages); *pages gets a bit per page
// used. False when the atlas filled up on the way. *whole is cleared when a
// glyph is left out (no room, or the engine refused the size).
bool LayOut(FontData& f, const char* text, std::size_t length, float pixelHeight, float wrap,
            float layerScale, std::uint32_t* pages, bool* whole) {
    f.laidLines.clear();
    f.laidGlyphs.clear();
    *pages = 0;
    const Scale s = ScaleFor(f, pixelHeight, layerScale);
    BreakText(f, text, length, wrap / s.unit);
    bool full = false;
    for (std::size_t l = 0; l < f.lines.size(); ++l) {
        const float advance = ShapeLine(f, text, f.lines[l].first, f.lines[l].second, false) * s.unit;
        const std::size_t first = f.laidGlyphs.size();
        for (const auto& p : f.placed) {
            bool noRoom = false;
            const FontData::Glyph* g = GlyphImage(f, p.glyph, s.size, &noRoom);
            full = full || noRoom;
            if (!g) *whole = false;
            if (!g || g->page < 0) continue;
            f.laidGlyphs.push_back(
                {p.x * s.unit, s.Snap(p.y * s.unit), float(g->left) * s.texel,
                 float(g->top) * s.texel, float(g->width) * s.texel, float(g->height) * s.texel,
                 std::uint16_t(g->x), std::uint16_t(g->y), std::uint16_t(g->width),
                 std::uint16_t(g->height), g->page});
            *pages |= 1u << g->page;
        }
        f.laidLines.push_back(
            {advance, std::uint32_t(first), std::uint32_t(f.laidGlyphs.size() - first)});
    }
    return !full;
}

// Queues the laid-out text's quads at `position`, one batch run per page.
void Queue(FontData& f, const qmtype::LaidText& laid, Vector2D position, TextAlign align,
           const Scale& s, const Color4f& color) {
    const float rgba[4] = {color.r, color.g, color.b, color.a};
    for (int page = 0; page < f.atlas.PageCount(); ++page) {
        if (!(laid.pages >> page & 1u)) continue;
        std::size_t count = 0;
        for (std::size_t l = 0; l < laid.lineCount; ++l) {
            const qmtype::LaidLine& line = laid.lines[l];
            if (laid.pages == 1u << page) {
                count += line.count;
                continue;
            }
            for (std::uint32_t i = 0; i < line.count; ++i)
                count += laid.glyphs[line.first + i].page == page;
        }
        if (count == 0) continue;
        const unsigned name = f.atlas.Prepare(page);
        if (name == 0) return;
        const float sw = 1.0f / float(qmtype::GlyphAtlas::kWidth);
        const float th = 1.0f / float(f.atlas.PageHeight(page));
        qmsprite::Vertex* v = nullptr;
        std::size_t room = 0;
        for (std::size_t l = 0; l < laid.lineCount; ++l) {
            const qmtype::LaidLine& line = laid.lines[l];
            float left = position.x;
            if (align == TextAlign::Center) left -= line.advance * 0.5f;
            if (align == TextAlign::Right) left -= line.advance;
            const float baseline = s.Snap(position.y - float(l) * s.lineHeight);
            for (std::uint32_t i = 0; i < line.count; ++i) {
                const qmtype::LaidGlyph& g = laid.glyphs[line.first + i];
                if (g.page != page) continue;
                if (room == 0) {
                    room = count < std::size_t(qmsprite::kMaxQuads) ? count
                                                                    : std::size_t(qmsprite::kMaxQuads);
                    count -= room;
                    v = qmsprite::Quads(name, int(room), rgba);
                    if (!v) return;
                }
                --room;
                const float x0 = s.Snap(left + g.x) + g.left;
                const float y1 = baseline + g.y + g.top;
                const float x1 = x0 + g.width, y0 = y1 - g.height;
                const float s0 = float(g.tx) * sw, s1 = float(g.tx + g.tw) * sw;
                const float t0 = float(g.ty) * th, t1 = float(g.ty + g.th) * th;
                // Counter-clockwise from the lower-left; texel row 0 is the
                // glyph's top. The batch has written the colours.
                const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
                const float ss[4] = {s0, s1, s1, s0}, ts[4] = {t1, t1, t0, t0};
                for (int k = 0; k < 4; ++k) {
                    v[k].x = xs[k];
                    v[k].y = ys[k];
                    v[k].z = qmsprite::kDepth;
                    v[k].s = ss[k];
                    v[k].t = ts[k];
                }
                v += 4;
            }
        }
    }
}

bool UsableColor(const Color4f& c) {
    const float v[4] = {c.r, c.g, c.b, c.a};
    for (float x : v)
        if (!(x >= 0.0f && x <= 1.0f)) return false;
    return true;
}

}  // namespace

// [SECTION] Font

Font::Font() noexcept : data_(nullptr) {}

Font::~Font() { delete data_; }

Font::Font(Font&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }

Font& Font::operator=(Font&& other) noexcept {
    if (this != &other) {
        delete data_;
        data_ = other.data_;
        other.data_ = nullptr;
    }
    return *this;
}

bool Font::LoadFromFile(const char* path) {
    if (!path || !*path) {
        qmdiag::Report(Diagnostic::FontArgumentIgnored, 0, 0,
                       "LoadFromFile: the path is null or empty; the font keeps what it had");
        return false;
    }
    std::vector<unsigned char> bytes;
    char reason[160];
    std::size_t claimed = 0;
    const qmfile::ReadResult read =
        qmfile::ReadWholeFile(path, kMaxFileBytes, &bytes, &claimed, reason, sizeof reason);
    if (read == qmfile::ReadResult::Read && bytes.empty()) {
        ReportNamed(Diagnostic::FontFileUnreadable, path, "the file is empty");
        return false;
    }
    if (read == qmfile::ReadResult::TooLarge) {
        ReportNamed(Diagnostic::FontTooLarge, path, nullptr, double(claimed), double(kMaxFileBytes));
        return false;
    }
    if (read != qmfile::ReadResult::Read) {
        ReportNamed(Diagnostic::FontFileUnreadable, path, reason);
        return false;
    }
    FontData* font = Open(std::move(bytes), path);
    if (!font) return false;
    delete data_;
    data_ = font;
    return true;
}

bool Font::LoadFromMemory(const void* data, std::size_t size, const char* name) {
    if (!name) name = "memory";
    if (!data || size == 0) {
        qmdiag::Report(Diagnostic::FontArgumentIgnored, 0, 0,
                       "LoadFromMemory: null data or no bytes; the font keeps what it had");
        return false;
    }
    if (size > kMaxFileBytes) {
        ReportNamed(Diagnostic::FontTooLarge, name, nullptr, double(size), double(kMaxFileBytes));
        return false;
    }
    const auto* p = static_cast<const unsigned char*>(data);
    FontData* font = Open(std::vector<unsigned char>(p, p + size), name);
    if (!font) return false;
    delete data_;
    data_ = font;
    return true;
}

bool Font::IsLoaded() const { return data_ != nullptr; }

void Font::Draw(const char* text, Vector2D position, float pixelHeight, Color4f color,
                TextAlign align, float wrapWidth) const {
    if (!CheckText(data_, text, pixelHeight, "Draw")) return;
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !UsableColor(color) ||
        std::isnan(wrapWidth)) {
        qmdiag::Report(Diagnostic::FontArgumentIgnored, 0, 0,
                       "Draw: a position, wrap width or colour that is not a finite number "
                       "(colour: 0..1); nothing is drawn");
        return;
    }
    if (!*text || !qmgl::ContextCurrent()) return;
    const std::size_t length = std::strlen(text);
    if (length > std::size_t(INT_MAX / 2)) return;
    FontData& f = *data_;
    const float scale = LayerScale();
    f.lastScale = scale;
    // Every wrap width of 0 or less lays out alike: unwrapped.
    const qmtype::TextKey key{text, length, pixelHeight, scale, wrapWidth > 0.0f ? wrapWidth : 0.0f};
    qmtype::LaidText laid;
    if (!f.laid.Find(key, &laid)) {
        std::uint32_t pages = 0;
        bool whole = true;
        if (!LayOut(f, text, length, pixelHeight, wrapWidth, scale, &pages, &whole)) {
            // The pages are full: start them again with this text's glyphs only
            // (drawing what is queued first). Glyphs that still do not fit are
            // left out. Kept layouts pointed into the old pages.
            f.atlas.Clear();
            f.glyphs.clear();
            f.laid.Clear();
            whole = true;
            LayOut(f, text, length, pixelHeight, wrapWidth, scale, &pages, &whole);
        }
        // A layout missing glyphs is made again next time, when they may fit.
        if (!whole || !f.laid.Add(key, f.laidLines.data(), f.laidLines.size(),
                                  f.laidGlyphs.data(), f.laidGlyphs.size(), pages, &laid))
            laid = {f.laidLines.data(), f.laidLines.size(), f.laidGlyphs.data(), pages};
    }
    Queue(f, laid, position, align, ScaleFor(f, pixelHeight, scale), color);
}

TextSize Font::Measure(const char* text, float pixelHeight, float wrapWidth) const {
    if (!CheckText(data_, text, pixelHeight, "Measure") || !*text || std::isnan(wrapWidth))
        return {0.0f, 0.0f};
    FontData& f = *data_;
    const std::size_t length = std::strlen(text);
    if (length > std::size_t(INT_MAX / 2)) return {0.0f, 0.0f};
    const float unit = pixelHeight / f.unitsPerEm;
    float widest = 0.0f, lines = 0.0f;
    // Text drawn lately (at the layer scale of the latest draw) is measured
    // from its kept layout: the widest of the lines' advances in pixels is
    // the widest advance in design units scaled, to the bit.
    const qmtype::TextKey key{text, length, pixelHeight, f.lastScale,
                              wrapWidth > 0.0f ? wrapWidth : 0.0f};
    qmtype::LaidText laid;
    if (f.laid.Find(key, &laid)) {
        for (std::size_t l = 0; l < laid.lineCount; ++l)
            if (laid.lines[l].advance > widest) widest = laid.lines[l].advance;
        lines = float(laid.lineCount);
    } else {
        BreakText(f, text, length, wrapWidth / unit);
        for (const auto& line : f.lines) {
            const float w = ShapeLine(f, text, line.first, line.second, false);
            if (w > widest) widest = w;
        }
        widest *= unit;
        lines = float(f.lines.size());
    }
    return {widest,
            (f.ascender + f.descender + (lines - 1.0f) * (f.ascender + f.descender + f.lineGap)) *
                unit};
}

float Font::GetAscent(float pixelHeight) const {
    return data_ && UsableSize(pixelHeight) ? data_->ascender * pixelHeight / data_->unitsPerEm
                                            : 0.0f;
}

float Font::GetDescent(float pixelHeight) const {
    return data_ && UsableSize(pixelHeight) ? data_->descender * pixelHeight / data_->unitsPerEm
                                            : 0.0f;
}

float Font::GetLineHeight(float pixelHeight) const {
    return data_ && UsableSize(pixelHeight)
               ? (data_->ascender + data_->descender + data_->lineGap) * pixelHeight /
                     data_->unitsPerEm
               : 0.0f;
}

int Font::GetMissingCharacterCount() const { return data_ ? int(data_->missing.size()) : 0; }

void DrawString(const Font& font, const char* text, Vector2D position, float pixelHeight,
                Color4f color, TextAlign align, float wrapWidth) {
    font.Draw(text, position, pixelHeight, color, align, wrapWidth);
}

#endif
