// Font probe: text drawn from font files in a web page, read back with
// glReadPixels before the swap. The fonts are Debian's DejaVu Sans
// (fonts-dejavu-core) and Lohit Devanagari (fonts-lohit-deva), packed into
// the page's files as fonts/. "Pilot: Zoë", "سلام" and "नमस्ते" at 12 and 48
// pixels: where the ink lands, its colour, the Arabic joined and read right
// to left, the Devanagari conjunct and reordering. Prints one line per check
// and "N passed, N failed".
#include <Quillmar.h>

#include "support/InkFrame.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kW = 400, kH = 200;
int passed = 0, failed = 0;

void Check(const char* name, bool ok, const char* detail) {
    (ok ? passed : failed)++;
    std::printf("%s %-60s (%s)\n", ok ? "PASS" : "FAIL", name, detail);
}

// The frame read back, and its colours.
struct Frame : qmtest::InkFrame<kW, kH> {
    // Pixels of exactly this colour inside rows [y0, y1].
    int Exactly(int r, int g, int b, int y0 = 0, int y1 = kH - 1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = 0; x < kW; ++x) n += At(x, y, 0) == r && At(x, y, 1) == g && At(x, y, 2) == b;
        return n;
    }
    // Inked pixels whose strongest channel is not `channel`, inside rows [y0, y1].
    int OtherHue(int channel, int y0 = 0, int y1 = kH - 1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = 0; x < kW; ++x) {
                if (!Ink(x, y)) continue;
                const int c = At(x, y, channel);
                n += At(x, y, (channel + 1) % 3) > c || At(x, y, (channel + 2) % 3) > c;
            }
        return n;
    }
};

// Share of `part`'s ink that `whole` has inked too.
double Covered(const Frame& part, const Frame& whole) {
    int ink = 0, both = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (part.Ink(x, y)) {
                ++ink;
                both += whole.Ink(x, y);
            }
    return ink ? double(both) / ink : 0.0;
}

// Draws what `draw` draws on black and reads the frame back.
template <typename Draw>
Frame Drawn(Draw draw) {
    Core::Renderer.BeginFrame();
    Core::Renderer.Render2D();
    draw();
    FlushSprites();
    Frame f;
    f.rgba.resize(std::size_t(kW * kH * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, f.rgba.data());
    Core::Renderer.EndFrame();
    f.Bound();
    return f;
}

Frame Text(const Font& font, const char* text, float x, float y, float size, Color4f colour = {1, 1, 1, 1},
           TextAlign align = TextAlign::Left) {
    return Drawn([&] { font.Draw(text, Vector2D(x, y), size, colour, align); });
}

const char* const kPilot = "Pilot: Zo\xC3\xAB";
const char* const kSalam = "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85";  // seen lam alef meem
const char* const kSalamLetters[] = {"\xD8\xB3", "\xD9\x84", "\xD8\xA7", "\xD9\x85"};
const char* const kNamaste = "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87";

struct Sample {
    const char* name;
    const char* text;
    bool devanagari;  // in Lohit Devanagari, else DejaVu Sans
    Color4f colour;
    int r, g, b, channel;  // the colour in bytes and its strongest channel
};

const Sample kSamples[] = {
    {"Pilot: Zoë", kPilot, false, {1, 0.25f, 0, 1}, 255, 64, 0, 0},
    {"salam", kSalam, false, {0, 1, 0.5f, 1}, 0, 255, 128, 1},
    {"namaste", kNamaste, true, {0.25f, 0.5f, 1, 1}, 64, 128, 255, 2},
};

// Where the text lands and in what colour, at one size: inside the block
// Measure gives from the pen, across most of its width, and in the call's
// colour (solid inside the strokes at 48 pixels; at 12 a stroke is about a
// pixel wide, so its brightest pixel).
void CheckPlacementAndColour(const Font& font, const Sample& s, float size) {
    const float x = 40, y = 90;
    const Frame f = Text(font, s.text, x, y, size, s.colour);
    const TextSize block = font.Measure(s.text, size);
    char name[96], detail[160];
    std::snprintf(detail, sizeof detail, "ink x %d..%d y %d..%d; block from %g: %.1f wide, %.1f up, %.1f down",
                  f.left, f.right, f.bottom, f.top, double(x), double(block.width),
                  double(font.GetAscent(size)), double(font.GetDescent(size)));
    std::snprintf(name, sizeof name, "%s at %g: ink inside its measured block", s.name, double(size));
    const bool inside = f.right >= 0 && f.left >= x - 1 && f.right <= x + block.width + 1 &&
                        f.top <= y + font.GetAscent(size) + 1 && f.bottom >= y - font.GetDescent(size) - 1;
    Check(name, inside && f.Width() >= 0.8f * block.width, detail);

    const int exact = f.Exactly(s.r, s.g, s.b);
    int brightest = 0;
    for (int yy = 0; yy < kH; ++yy)
        for (int xx = 0; xx < kW; ++xx) {
            const int sum = f.At(xx, yy, 0) + f.At(xx, yy, 1) + f.At(xx, yy, 2);
            brightest = sum > brightest ? sum : brightest;
        }
    const int other = f.OtherHue(s.channel);
    std::snprintf(name, sizeof name, "%s at %g: in its colour", s.name, double(size));
    std::snprintf(detail, sizeof detail, "%d pixels exactly %d,%d,%d; brightest sum %d; %d of another hue",
                  exact, s.r, s.g, s.b, brightest, other);
    const bool solid = size >= 48 ? exact >= 100 : brightest >= (s.r + s.g + s.b) * 3 / 4;
    Check(name, solid && other == 0, detail);
}

}  // namespace

int main() {
    Core core;
    Core::Window.SetTitle("font_probe");
    Core::Window.SetSize(kW, kH);
    Core::Window.SetSampleRate(0);
    Core::Window.SetClearColor(0.0f, 0.0f, 0.0f);
    if (!Core::Window.Open()) {
        std::printf("FAIL open: %s\n0 passed, 1 failed\n", GetLastDiagnosticMessage());
        return 1;
    }
    Font sans, deva;
    Check("DejaVu Sans loads from the page's files", sans.LoadFromFile("fonts/DejaVuSans.ttf"),
          sans.IsLoaded() ? "fonts/DejaVuSans.ttf" : GetLastDiagnosticMessage());
    Check("Lohit Devanagari loads from the page's files", deva.LoadFromFile("fonts/Lohit-Devanagari.ttf"),
          deva.IsLoaded() ? "fonts/Lohit-Devanagari.ttf" : GetLastDiagnosticMessage());
    if (!sans.IsLoaded() || !deva.IsLoaded()) {
        std::printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }
    char detail[160];

    for (const Sample& s : kSamples)
        for (float size : {12.0f, 48.0f}) CheckPlacementAndColour(s.devanagari ? deva : sans, s, size);
    std::snprintf(detail, sizeof detail, "DejaVu Sans %d, Lohit Devanagari %d", sans.GetMissingCharacterCount(),
                  deva.GetMissingCharacterCount());
    Check("every character has its glyph", sans.GetMissingCharacterCount() == 0 &&
                                                deva.GetMissingCharacterCount() == 0, detail);

    // The three in one frame, one colour each: every call keeps its own.
    {
        const Frame f = Drawn([&] {
            sans.Draw(kPilot, Vector2D(20, 150), 32, kSamples[0].colour);
            sans.Draw(kSalam, Vector2D(20, 90), 32, kSamples[1].colour);
            deva.Draw(kNamaste, Vector2D(20, 25), 32, kSamples[2].colour);
        });
        const int bands[3][2] = {{135, 199}, {70, 134}, {0, 69}};
        bool ok = true;
        int at = 0, used = 0;
        for (const Sample& s : kSamples) {
            const int exact = f.Exactly(s.r, s.g, s.b, bands[at][0], bands[at][1]);
            const int other = f.OtherHue(s.channel, bands[at][0], bands[at][1]);
            ok = ok && exact > 20 && other == 0;
            used += std::snprintf(detail + used, sizeof detail - std::size_t(used), "%s%s %d exact, %d other",
                                  at ? "; " : "", s.name, exact, other);
            ++at;
        }
        Check("three texts in three colours in one frame", ok, detail);
    }

    // Latin: "Pilot: Zoë" stands on the baseline, as tall as its l, with the
    // diaeresis over the last letter.
    for (float size : {12.0f, 48.0f}) {
        const Frame f = Text(sans, kPilot, 40, 90, size);
        const double l = 0.760 * size;  // DejaVu Sans's ascender of l: 1556 of 2048 units
        std::snprintf(detail, sizeof detail, "bottom %d, top %d above the baseline at 90 (l: %.1f)", f.bottom,
                      f.top - 90 + 1, l);
        Check(size < 20 ? "Pilot: Zoë at 12: on the baseline, its height" : "Pilot: Zoë at 48: on the baseline, its height",
              std::abs(f.bottom - 90) <= 1 && std::fabs(f.top - 90 + 1 - l) <= 1.5, detail);
    }
    {
        const Frame f = Text(sans, kPilot, 40, 90, 48);
        const Frame plain = Text(sans, "Pilot: Zoe", 40, 90, 48);
        bool above = false;
        for (int x = f.right - 20; x <= f.right; ++x)
            for (int y = 90 + 29; y < 90 + 36; ++y) above = above || (f.Ink(x, y) && !plain.Ink(x, y));
        Check("Pilot: Zoë at 48: the diaeresis over the e", above, above ? "ink above the x-height" : "none");
    }

    // Arabic: the letters join (narrower than apart, one break only: after
    // lam-alef, which joins nothing to its left), and the word reads right to
    // left: its first letter, the seen in its initial form, at the right end
    // and the meem (alone after the alef) at the left.
    for (float size : {12.0f, 48.0f}) {
        const Frame word = Text(sans, kSalam, 40, 90, size);
        int apart = 0;
        for (const char* letter : kSalamLetters) apart += Text(sans, letter, 40, 90, size).Width();
        std::snprintf(detail, sizeof detail, "joined %d pixels wide, letters alone %d; %d breaks", word.Width(),
                      apart, word.Gaps());
        const bool breaks = size < 20 || word.Gaps() == 1;  // a 12-pixel gap may be a grey column
        Check(size < 20 ? "salam at 12: letters joined" : "salam at 48: letters joined, one break",
              word.Width() > 0 && word.Width() < apart - 0.15 * size && breaks, detail);
    }
    for (float size : {12.0f, 48.0f}) {
        const float right = 300, left = 40;
        const Frame word = Text(sans, kSalam, right, 90, size, {1, 1, 1, 1}, TextAlign::Right);
        const Frame seen = Text(sans, "\xD8\xB3\xE2\x80\x8D", right, 90, size, {1, 1, 1, 1}, TextAlign::Right);
        const Frame wordLeft = Text(sans, kSalam, left, 90, size);
        const Frame meem = Text(sans, "\xD9\x85", left, 90, size);
        const double first = Covered(seen, word), last = Covered(meem, wordLeft);
        std::snprintf(detail, sizeof detail, "seen's ink %.0f%% in the word's right end, meem's %.0f%% in its left",
                      100 * first, 100 * last);
        const double need = size < 20 ? 0.75 : 0.9;
        Check(size < 20 ? "salam at 12: right to left" : "salam at 48: right to left",
              seen.right >= 0 && meem.right >= 0 && first >= need && last >= need, detail);
    }

    // Devanagari: the half sa joins the ta ("स्त" narrower than स and त
    // apart), and the short i stands before the consonant it follows ("कि"
    // starts with the vowel's tall stem, "क" alone with a curve).
    for (float size : {12.0f, 48.0f}) {
        const Frame conjunct = Text(deva, "\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4", 40, 90, size);
        const int apart = Text(deva, "\xE0\xA4\xB8", 40, 90, size).Width() +
                          Text(deva, "\xE0\xA4\xA4", 40, 90, size).Width();
        std::snprintf(detail, sizeof detail, "conjunct %d pixels wide, its letters alone %d", conjunct.Width(), apart);
        Check(size < 20 ? "namaste at 12: its conjunct" : "namaste at 48: its conjunct",
              conjunct.Width() > 0 && conjunct.Width() < apart - 0.1 * size, detail);
    }
    {
        const Frame ki = Text(deva, "\xE0\xA4\x95\xE0\xA4\xBF", 40, 90, 48);
        const Frame ka = Text(deva, "\xE0\xA4\x95", 40, 90, 48);
        std::snprintf(detail, sizeof detail, "tallest of the first columns: ki %d, ka %d", ki.TallestAtLeft(6),
                      ka.TallestAtLeft(6));
        Check("Devanagari at 48: the short i before its consonant",
              ki.right > ka.right + 4 && ki.TallestAtLeft(6) > ka.TallestAtLeft(6) + 12, detail);
    }

    const GLenum error = glGetError();
    std::snprintf(detail, sizeof detail, "glGetError 0x%04X", unsigned(error));
    Check("no GL error pending", error == GL_NO_ERROR, detail);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
