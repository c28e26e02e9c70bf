// Font for a build without a font engine (FreeType and HarfBuzz were not
// found for this platform): every load fails with FontsUnavailable, so a
// game falls back to the stroke font as it would for a missing file.
#if !defined(QUILLMAR_HAVE_FONTS)

#include "Font.h"

#include "core/Report.h"

namespace qmdetail {
struct FontData {};
}  // namespace qmdetail

namespace {
void Unavailable(const char* what) {
    qmdiag::Report(Diagnostic::FontsUnavailable, 0.0, 0.0, what);
}
}  // namespace

Font::Font() noexcept : data_(nullptr) {}
Font::~Font() = default;
Font::Font(Font&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
Font& Font::operator=(Font&& other) noexcept {
    data_ = other.data_;
    other.data_ = nullptr;
    return *this;
}

bool Font::LoadFromFile(const char* path) {
    Unavailable(path && *path ? path : "LoadFromFile");
    return false;
}

bool Font::LoadFromMemory(const void*, std::size_t, const char* name) {
    Unavailable(name ? name : "memory");
    return false;
}

bool Font::IsLoaded() const { return false; }
void Font::Draw(const char*, Vector2D, float, Color4f, TextAlign, float) const {}
TextSize Font::Measure(const char*, float, float) const { return {0.0f, 0.0f}; }
float Font::GetAscent(float) const { return 0.0f; }
float Font::GetDescent(float) const { return 0.0f; }
float Font::GetLineHeight(float) const { return 0.0f; }
int Font::GetMissingCharacterCount() const { return 0; }

void DrawString(const Font& font, const char* text, Vector2D position, float pixelHeight,
                Color4f color, TextAlign align, float wrapWidth) {
    font.Draw(text, position, pixelHeight, color, align, wrapWidth);
}

#endif
