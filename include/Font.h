// Text in a typeface of the game's own: TrueType and OpenType fonts (.ttf,
// .otf, and the first face of a collection), drawn at any pixel size on the
// 2D layer (after Render2D). The built-in stroke font (Draw2D.h) stays the
// default that needs no file; a Font is what a game loads when it wants its
// own letters. Move-only, like Texture.
//
//     Font font;
//     if (font.LoadFromFile("DejaVuSans.ttf"))
//         font.Draw("Pilot: Zoë", {20, 440}, 24, {1, 0.8f, 0.2f, 1});
//
// Text is UTF-8; a byte that begins no well-formed sequence reads as U+FFFD.
// It is shaped as the font asks (kerning, ligatures, Arabic joining, Indic
// reordering and marks), and a run of right-to-left letters reads right to
// left; a line whose first letter is right-to-left is laid out from the right.
// A character the font has no glyph for draws as the font's own .notdef
// glyph (usually a box), and the first such character is reported once per
// font (FontGlyphMissing).
//
// Size: pixelHeight is the font's em in pixels, as type sizes are usually
// given; capitals are about 0.7 of it. Glyphs are rasterised when first drawn
// at a size, into texture pages the font keeps (no character range is chosen
// up front), at the size they cover on screen: when the 2D layer is scaled
// (glScalef after Render2D, or a window drawn larger), glyphs are made for the
// scaled size, so text stays sharp. Sizes above kMaxRasterHeight on screen
// are drawn from glyphs made at that size, stretched.
//
// Placement: position is the left end of the first line's baseline (window
// pixels, origin bottom-left, y up); further lines go below it, one
// GetLineHeight apart. With TextAlign::Center or Right, position.x is the
// centre or the right end of every line instead. A wrap width above 0 breaks
// lines at spaces so that each fits that width; a single word wider than it
// keeps a line of its own and overflows. '\n' always starts a new line.
//
// Drawing goes through the sprite batch (Sprite.h's batching rule), tinted by
// the colour given with the call: one GL draw per texture page for a run of
// text calls. Once a string's glyphs are made, drawing it again allocates
// nothing. A font keeps the layouts of the strings it drew lately (a HUD's
// lines, drawn every frame, are shaped once), whatever the position and
// colour they are drawn at. Nothing is drawn without an open window; the pages are sent to GL
// again after a Close and a new Open.
//
// A font file is read as untrusted input: files above kMaxFileBytes, files
// that are not TrueType or OpenType, tables that point outside the file,
// glyph counts the file cannot hold and fonts without a Unicode character
// map are refused with a Diagnostics code (FontFileUnreadable ..
// FontArgumentIgnored) naming the file; the font keeps what it had. The font
// engine works within a memory budget per font.
//
// Xlib also declares a type named Font (its font handles). A file that
// includes <X11/Xlib.h> as well as this header renames Xlib's:
//     #define Font XFont
//     #include <X11/Xlib.h>
//     #undef Font
#ifndef QUILLMAR_FONT_H
#define QUILLMAR_FONT_H

#include "Color4f.h"
#include "QuillmarExport.h"
#include "Vector2D.h"

#include <cstddef>

enum class TextAlign { Left, Center, Right };

// Width and height of a block of text, in pixels.
struct TextSize {
    float width;
    float height;
};

namespace qmdetail {
struct FontData;
}

class QM_API Font {
public:
    // The largest font file accepted, in bytes.
    static constexpr std::size_t kMaxFileBytes = std::size_t(32) << 20;
    // The largest size glyphs are rasterised at, in pixels of em.
    static constexpr int kMaxRasterHeight = 384;

    Font() noexcept;
    ~Font();
    Font(Font&& other) noexcept;
    Font& operator=(Font&& other) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool LoadFromFile(const char* path);
    // Reads `size` bytes of a font file (copied: the memory may go after the
    // call); `name` labels the messages (null: "memory").
    bool LoadFromMemory(const void* data, std::size_t size, const char* name = nullptr);
    bool IsLoaded() const;

    // Draws text as the header says, in `color` (each component 0..1). A null
    // text, a pixelHeight that is not a finite number above 0, or a NaN
    // position draws nothing (FontArgumentIgnored); so does a font with
    // nothing loaded.
    void Draw(const char* text, Vector2D position, float pixelHeight, Color4f color,
              TextAlign align = TextAlign::Left, float wrapWidth = 0.0f) const;

    // The block Draw would lay out: the widest line's advance, and from the
    // first line's ascent to the last line's descent
    // (GetAscent + GetDescent + (lines - 1) * GetLineHeight). {0, 0} for ""
    // and for what Draw refuses.
    TextSize Measure(const char* text, float pixelHeight, float wrapWidth = 0.0f) const;

    // The font's metrics at that size, in pixels: how far its letters reach
    // above the baseline and below it (a positive number), and the distance
    // from one baseline to the next. 0 when nothing is loaded or the size is bad.
    float GetAscent(float pixelHeight) const;
    float GetDescent(float pixelHeight) const;
    float GetLineHeight(float pixelHeight) const;

    // How many different characters drawn or measured so far had no glyph.
    int GetMissingCharacterCount() const;

private:
    qmdetail::FontData* data_;
};

// The same as font.Draw(...), beside the stroke font's DrawString.
QM_API void DrawString(const Font& font, const char* text, Vector2D position, float pixelHeight,
                       Color4f color, TextAlign align = TextAlign::Left, float wrapWidth = 0.0f);

#endif
