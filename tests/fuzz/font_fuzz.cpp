// libFuzzer target for fonts: any bytes, as a font file a player dropped in,
// loaded from memory and, when it loads, measured and drawn (Latin with
// kerning and ligatures, Arabic, Devanagari, characters the font lacks,
// wrapped lines) at a small size, a large one and one the input's last byte
// picks, once on a scaled 2D layer. The window and GL are the unit tests'
// recording fakes, which read every byte of each atlas upload, so glyph
// rasterisation into the atlas pages runs as in a game. Built with clang
// under AddressSanitizer and UBSan by tools/fuzz-fonts.sh. Beside what the
// sanitizers catch, it checks what a load must always give: a loaded font
// with finite metrics, or a failure reported with a code and a message and
// the font it had before kept.
//
// FONT_FUZZ_CALL_MS (environment): when set, a load, Draw or Measure that
// takes longer aborts with the call named; for long runs that look for
// fonts that are slow rather than hanging.
#include "Diagnostics.h"
#include "Font.h"
#include "Sprite.h"
#include "WindowManager.h"

#include "fakes/Fakes.h"

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kTexts[] = {
    // Kerning pairs, ligatures, a letter with a diaeresis.
    "AVATAR WAVE To Ty Yo. fi ffi fl Pilot: Zo\xC3\xAB",
    // Arabic joined right to left, Arabic-Indic digits, a Latin run after it.
    "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD8\xB9\xD9\x84\xD9\x8A\xD9\x83\xD9\x85 "
    "\xD9\xA1\xD9\xA2\xD9\xA3 abc",
    // Devanagari: a virama conjunct, a reordered vowel sign, a reph.
    "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87 "
    "\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7\xE0\xA4\xA4\xE0\xA5\x8D\xE0\xA4\xB0\xE0\xA4\xBF"
    "\xE0\xA4\xAF \xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\x95",
    // Characters most fonts lack (an emoji, U+10FFFF), a combining accent,
    // a broken sequence, a tab.
    "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF e\xCC\x81 \xC4\xB3 \xE2\x82\tx",
    // Several paragraphs to wrap at word boundaries, a word wider than the width.
    "The quick brown fox jumps over the lazy dog\nWWWWWWWWWWWWWWWW mm\r\n\n  spaced  out  ",
};

WindowManager* window = nullptr;
long callLimitMs = 0;

// Runs call() and aborts when it took longer than FONT_FUZZ_CALL_MS.
template <typename Call>
void Timed(const char* what, Call call) {
    if (callLimitMs <= 0) {
        call();
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    call();
    const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count());
    if (ms > callLimitMs) {
        std::fprintf(stderr, "font_fuzz: %s took %ld ms\n", what, ms);
        std::abort();
    }
}

void Fail(const char* what) {
    std::fprintf(stderr, "font_fuzz: %s (last diagnostic %d: %s)\n", what,
                 int(GetLastDiagnostic()), GetLastDiagnosticMessage());
    std::abort();
}

bool Finite(float v) { return std::isfinite(v) && v >= 0.0f; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fake::Reset();
    fake::recording = false;  // the log would grow with every call
    fake::readUploads = true;
    window = new WindowManager;
    if (!window->Open()) Fail("the fake window did not open");
    if (const char* limit = std::getenv("FONT_FUZZ_CALL_MS")) callLimitMs = std::atol(limit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Font font;
    ClearDiagnostic();
    bool loaded = false;
    Timed("LoadFromMemory", [&] { loaded = font.LoadFromMemory(data, size, "fuzz.ttf"); });
    if (!loaded) {
        // No bytes at all is an argument refused, not a file.
        if (font.IsLoaded() || GetLastDiagnostic() == Diagnostic::Nothing ||
            (size > 0 && !std::strstr(GetLastDiagnosticMessage(), "fuzz.ttf")))
            Fail("a failed load without its code and the file's name");
        return 0;
    }
    const float sizes[] = {13.0f, 48.0f, size > 0 ? 1.0f + float(data[size - 1]) * 2.0f : 7.0f};
    for (float px : sizes) {
        const float ascent = font.GetAscent(px), descent = font.GetDescent(px);
        const float line = font.GetLineHeight(px);
        if (!Finite(ascent) || !Finite(descent) || !Finite(line) || ascent == 0.0f)
            Fail("metrics that are not finite, or no ascent");
        for (std::size_t t = 0; t < sizeof kTexts / sizeof *kTexts; ++t) {
            const char* text = kTexts[t];
            const float wrap = t == 4 ? px * 6.0f : 0.0f;
            TextSize block{0.0f, 0.0f};
            Timed("Measure", [&] { block = font.Measure(text, px, wrap); });
            if (!Finite(block.width) || !Finite(block.height))
                Fail("a measure that is not a finite size");
            const TextAlign align = t % 3 == 0 ? TextAlign::Left
                                    : t % 3 == 1 ? TextAlign::Right
                                                 : TextAlign::Center;
            Timed("Draw", [&] { font.Draw(text, {20.0f, 300.0f}, px, {1, 1, 1, 1}, align, wrap); });
        }
        FlushSprites();
    }
    // A 2D layer drawn twice as large: glyphs made for the scaled size.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const GLfloat twice[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glMultMatrixf(twice);
    Timed("Draw", [&] { font.Draw(kTexts[0], {5.0f, 100.0f}, 20.0f, {1, 0, 0, 1}); });
    FlushSprites();
    glPopMatrix();

    // A load that fails keeps the font that was there.
    const float width = font.Measure(kTexts[0], 20.0f).width;
    if (size > 16 && !font.LoadFromMemory(data, size / 2, "fuzz-half.ttf") &&
        (!font.IsLoaded() || font.Measure(kTexts[0], 20.0f).width != width))
        Fail("a failed load lost the font it replaced");
    return 0;
}
