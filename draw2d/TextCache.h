// A font's recently drawn strings, kept laid out: lines and glyph boxes
// relative to the text's position, with each glyph's place on the atlas. A
// game draws mostly the strings it drew last frame, so drawing one again only
// hashes the text, compares it and emits quads, instead of shaping it again.
//
// Bounded: at most kEntries strings, kGlyphs glyphs, kLines lines and
// kTextBytes bytes of text. When a new string does not fit, every string is
// forgotten and the cache fills again from that one. The storage grows to the
// working set of strings and is then reused, so a warm frame allocates
// nothing. The owner clears it whenever the atlas places it points into move.
#ifndef QUILLMAR_DRAW2D_TEXTCACHE_H
#define QUILLMAR_DRAW2D_TEXTCACHE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmtype {

// One inked glyph, in units of the 2D layer.
struct LaidGlyph {
    float x;  // the pen from the line's left end, before snapping to a texel
    float y;  // the pen's offset from the baseline, snapped
    float left, top, width, height;  // the image's box from the pen
    std::uint16_t tx, ty, tw, th;    // the image's texels on its page
    int page;
};

struct LaidLine {
    float advance;  // in layer units
    std::uint32_t first, count;  // its glyphs
};

// What a layout depends on besides the font: the same key lays out the same.
struct TextKey {
    const char* text;
    std::size_t length;
    float pixelHeight;
    float layerScale;
    float wrap;  // 0: not wrapped
};

// A layout, kept or not: views into the cache or the caller's storage.
struct LaidText {
    const LaidLine* lines;
    std::size_t lineCount;
    const LaidGlyph* glyphs;  // LaidLine::first counts from here
    std::uint32_t pages;      // bit p: some glyph is on page p
};

class TextCache {
public:
    static constexpr std::size_t kEntries = 256;
    static constexpr std::size_t kGlyphs = 16384;
    static constexpr std::size_t kLines = 4096;
    static constexpr std::size_t kTextBytes = 32768;

    bool Find(const TextKey& key, LaidText* out) const;
    // Keeps a copy of the layout and points `out` at it. False, keeping
    // nothing, when the layout alone is more than the cache holds.
    bool Add(const TextKey& key, const LaidLine* lines, std::size_t lineCount,
             const LaidGlyph* glyphs, std::size_t glyphCount, std::uint32_t pages, LaidText* out);
    void Clear();
    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::uint64_t hash;
        std::uint32_t textAt, length;
        float pixelHeight, layerScale, wrap;
        std::uint32_t lineAt, lineCount, glyphAt;
        std::uint32_t pages;
    };
    static constexpr std::size_t kSlots = kEntries * 2;  // a power of two
    bool Same(const Entry& e, const TextKey& key, std::uint64_t hash) const;
    LaidText View(const Entry& e) const;

    std::vector<Entry> entries_;
    std::vector<std::uint16_t> slots_;  // entry index + 1; 0: empty
    std::vector<char> text_;
    std::vector<LaidLine> lines_;
    std::vector<LaidGlyph> glyphs_;
};

}  // namespace qmtype

#endif
