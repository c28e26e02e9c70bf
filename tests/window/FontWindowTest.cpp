// Fonts on a real GL context: where the ink lands, its size and colour,
// kerning, wrapping, alignment, right-to-left order, Arabic joining,
// Devanagari shaping and a missing glyph, read back from the frame. The
// fonts come from Debian's fonts-dejavu-core and fonts-lohit-deva.
#include "WindowTestSupport.h"
#include "support/InkFrame.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace qmtest;

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kDeva = "/usr/share/fonts/truetype/lohit-devanagari/Lohit-Devanagari.ttf";

constexpr int kW = 320, kH = 240;

using Frame = InkFrame<kW, kH>;

class FontWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(sans.LoadFromFile(kSans)) << GetLastDiagnosticMessage();
        OpenWindow();
    }
    void TearDown() override {
        Core::Window.Close();
        WindowTest::TearDown();
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
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, f.rgba.data());
        Core::Renderer.EndFrame();
        if (const char* dump = std::getenv("QM_FONT_TEST_DUMP")) {
            static int n = 0;
            const std::string path = std::string(dump) + std::to_string(n++) + ".ppm";
            if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
                std::fprintf(out, "P6 %d %d 255\n", kW, kH);
                for (int y = kH - 1; y >= 0; --y)
                    for (int x = 0; x < kW; ++x) std::fwrite(&f.rgba[std::size_t((y * kW + x) * 4)], 1, 3, out);
                std::fclose(out);
            }
        }
        f.Bound();
        return f;
    }
    Frame Text(const Font& font, const char* text, Vector2D at, float size,
               Color4f colour = {1, 1, 1, 1}, TextAlign align = TextAlign::Left,
               float wrap = 0.0f) {
        return Drawn([&] { font.Draw(text, at, size, colour, align, wrap); });
    }

    Font sans;
};

// A capital H: its stems start at the pen, stand on the baseline, rise the
// cap height (0.73 em in DejaVu Sans) at either size, and are solid colour.
TEST_F(FontWindowTest, CapitalLandsOnTheBaselineAtItsSizeInTheCallsColour) {
    struct Case {
        float size;
        Color4f colour;
        int r, g, b;
    } cases[] = {{48, {1, 0, 0, 1}, 255, 0, 0}, {12, {0, 1, 0, 1}, 0, 255, 0},
                 {96, {0.2f, 0.4f, 1, 1}, 51, 102, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const Frame f = Text(sans, "H", {40, 60}, c.size, c.colour);
        ASSERT_GE(f.right, 0) << "nothing drawn";
        EXPECT_NEAR(f.bottom, 60, 1);
        EXPECT_NEAR(f.top - f.bottom + 1, 0.729 * c.size, 1.5);
        EXPECT_GE(f.left, 40);
        EXPECT_LE(f.left, 40 + 0.15 * c.size);
        // Crisp: the stems' middles are the colour itself, not a blur of it
        // (at 12 pixels a stem is about a pixel wide: its brightest pixel).
        const int y = f.bottom + (f.top - f.bottom) / 3;
        int solid = 0, brightest = 0;
        for (int x = f.left; x <= f.right; ++x) {
            solid += f.At(x, y, 0) == c.r && f.At(x, y, 1) == c.g && f.At(x, y, 2) == c.b;
            const int sum = f.At(x, y, 0) + f.At(x, y, 1) + f.At(x, y, 2);
            brightest = sum > brightest ? sum : brightest;
        }
        if (c.size >= 48)
            EXPECT_GE(solid, 8);
        else
            EXPECT_GE(brightest, (c.r + c.g + c.b) * 3 / 4);
    }
}

// Texts of different colours queued together each keep their own colour.
TEST_F(FontWindowTest, TextsOfTwoColoursInOneBatchBothShow) {
    const Frame f = Drawn([&] {
        sans.Draw("H", {20, 60}, 48, {1, 0, 0, 1});
        sans.Draw("H", {120, 60}, 48, {0, 1, 0, 1});
    });
    int red = 0, green = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            red += f.At(x, y, 0) == 255 && f.At(x, y, 1) == 0;
            green += f.At(x, y, 1) == 255 && f.At(x, y, 0) == 0;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
}

// "Pilot: Zoë" draws every letter from the font (ë included), nothing missing.
TEST_F(FontWindowTest, AccentedLatinHasItsGlyphs) {
    const Frame f = Text(sans, "Pilot: Zo\xC3\xAB", {10, 100}, 24);
    EXPECT_EQ(sans.GetMissingCharacterCount(), 0);
    EXPECT_NEAR(f.right - f.left + 1, sans.Measure("Pilot: Zo\xC3\xAB", 24).width, 4);
    // The diaeresis rises above the o's x-height, at ë's place at the end.
    const Frame o = Text(sans, "Pilot: Zoe", {10, 100}, 24);
    EXPECT_GT(f.top, o.top - 1);
    bool above = false;
    for (int x = f.right - 12; x <= f.right; ++x)
        for (int y = 100 + 15; y < 100 + 20; ++y) above = above || f.Ink(x, y);
    EXPECT_TRUE(above) << "no diaeresis over the e";
}

// A and V drawn as a pair come closer than drawn one after the other.
TEST_F(FontWindowTest, KerningPairIsCloserThanItsLettersApart) {
    const float a = sans.Measure("A", 48).width;
    const Frame apart = Drawn([&] {
        sans.Draw("A", {20, 60}, 48, {1, 1, 1, 1});
        sans.Draw("V", {20 + a, 60}, 48, {1, 1, 1, 1});
    });
    const Frame pair = Text(sans, "AV", {20, 60}, 48);
    EXPECT_LE(pair.right, apart.right - 2);
    EXPECT_LT(sans.Measure("AV", 48).width, a + sans.Measure("V", 48).width - 1.0f);
}

// Wrapping keeps every line within the width, at spaces; centre and right
// alignment put each line's middle or end at x.
TEST_F(FontWindowTest, WrappedAndAlignedLinesStayInTheirBounds) {
    const char* text = "one two three four five six";
    const TextSize size = sans.Measure(text, 16, 100);
    EXPECT_LE(size.width, 100.0f);
    EXPECT_GE(size.height, 2 * sans.GetLineHeight(16));
    const Frame left = Text(sans, text, {20, 200}, 16, {1, 1, 1, 1}, TextAlign::Left, 100);
    EXPECT_GE(left.left, 20);
    EXPECT_LE(left.right, 120);
    EXPECT_LT(left.bottom, 200 - sans.GetLineHeight(16));  // more than one line
    EXPECT_LE(left.top - left.bottom, size.height);
    EXPECT_GT(left.top - left.bottom, size.height - 16);
    const Frame right = Text(sans, text, {300, 200}, 16, {1, 1, 1, 1}, TextAlign::Right, 100);
    EXPECT_LE(right.right, 300);
    EXPECT_GE(right.right, 296);
    const Frame centre = Text(sans, "centre", {160, 100}, 16, {1, 1, 1, 1}, TextAlign::Center);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 160, 2);
}

// Hebrew reads right to left: in "אב" the bet is on the left, where it
// lands drawn alone.
TEST_F(FontWindowTest, RightToLeftRunReadsFromTheRight) {
    const Frame pair = Text(sans, "\xD7\x90\xD7\x91", {100, 100}, 48);  // alef bet
    const Frame bet = Text(sans, "\xD7\x91", {100, 100}, 48);
    const Frame alef = Text(sans, "\xD7\x90", {100, 100}, 48);
    ASSERT_GE(bet.right, 0);
    int same = 0, total = 0;
    for (int x = bet.left; x <= bet.right; ++x)
        for (int y = bet.bottom; y <= bet.top; ++y) {
            total += bet.Ink(x, y);
            same += bet.Ink(x, y) && pair.Ink(x, y);
        }
    EXPECT_GT(same, total * 9 / 10) << "the bet is not first from the left";
    EXPECT_GT(pair.right, alef.right + 10);
}

// Arabic letters join: "بيت" and "سلام" have no blank column inside them
// beyond the one after lam-alef, and are narrower than their letters apart.
TEST_F(FontWindowTest, ArabicLettersJoin) {
    const char* bayt = "\xD8\xA8\xD9\x8A\xD8\xAA";
    const Frame joined = Text(sans, bayt, {100, 100}, 48);
    ASSERT_GE(joined.right, 0);
    EXPECT_EQ(joined.Gaps(), 0);
    const float apart = sans.Measure("\xD8\xA8", 48).width + sans.Measure("\xD9\x8A", 48).width +
                        sans.Measure("\xD8\xAA", 48).width;
    EXPECT_LT(sans.Measure(bayt, 48).width, apart - 4.0f);
    const Frame salam = Text(sans, "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", {60, 100}, 48);
    EXPECT_EQ(salam.Gaps(), 1);  // between the meem and lam-alef only
    EXPECT_EQ(sans.GetMissingCharacterCount(), 0);
}

// Devanagari: "नमस्ते" shaped with its conjunct (the half sa joined to ta),
// narrower than its letters side by side, drawn without missing glyphs.
TEST_F(FontWindowTest, DevanagariFormsItsConjunct) {
    Font deva;
    ASSERT_TRUE(deva.LoadFromFile(kDeva)) << GetLastDiagnosticMessage();
    const char* namaste = "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87";
    const Frame f = Text(deva, namaste, {40, 100}, 48);
    EXPECT_EQ(deva.GetMissingCharacterCount(), 0);
    EXPECT_NEAR(f.right - f.left, deva.Measure(namaste, 48).width, 8);
    const float sa = deva.Measure("\xE0\xA4\xB8", 48).width;
    const float ta = deva.Measure("\xE0\xA4\xA4", 48).width;
    EXPECT_LT(deva.Measure("\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4", 48).width, sa + ta - 4.0f);
    // The short i is written before the consonant it follows: "कि" starts
    // with the vowel's tall stem, where "क" alone starts with a curve.
    const Frame ki = Text(deva, "\xE0\xA4\x95\xE0\xA4\xBF", {40, 100}, 48);
    const Frame ka = Text(deva, "\xE0\xA4\x95", {40, 100}, 48);
    EXPECT_GT(ki.right, ka.right + 4);
    EXPECT_GT(ki.TallestAtLeft(6), ka.TallestAtLeft(6) + 12)
        << "the vowel sign was not moved before the consonant";
}

// An emoji DejaVu Sans lacks draws as its .notdef box, is counted once and
// reported once.
TEST_F(FontWindowTest, MissingGlyphDrawsNotdefAndIsReportedOnce) {
    ClearDiagnostic();
    const char* rocket = "\xF0\x9F\x9A\x80";
    const Frame f = Text(sans, rocket, {100, 100}, 48);
    EXPECT_GE(f.right, 0) << "the .notdef box was not drawn";
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontGlyphMissing);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("1F680"), std::string::npos)
        << GetLastDiagnosticMessage();
    ClearDiagnostic();
    Text(sans, "\xF0\x9F\x9A\x80 \xE4\xB8\xAD", {100, 100}, 48);  // and a CJK character
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);  // once per font
    EXPECT_EQ(sans.GetMissingCharacterCount(), 2);
}

// Under a 2D layer scaled three times, glyphs are made for the size on
// screen: the stem is solid, as drawn at three times the size.
TEST_F(FontWindowTest, ScaledLayerDrawsSharpGlyphs) {
    const Frame big = Drawn([&] {
        glScalef(3, 3, 1);
        sans.Draw("l", {20, 20}, 16, {1, 1, 1, 1});
    });
    const Frame direct = Text(sans, "l", {60, 60}, 48);
    ASSERT_GE(big.right, 0);
    EXPECT_NEAR(big.top - big.bottom, direct.top - direct.bottom, 2);
    EXPECT_NEAR(big.right - big.left, direct.right - direct.left, 1);
    int solidBig = 0, solidDirect = 0;
    for (int x = 0; x < kW; ++x) {
        solidBig += big.At(x, 80, 0) == 255;
        solidDirect += direct.At(x, 80, 0) == 255;
    }
    EXPECT_NEAR(solidBig, solidDirect, 1);
}

// Text drawn before on an unscaled layer is made again for a scaled one.
TEST_F(FontWindowTest, TextDrawnAgainOnAScaledLayerIsMadeForTheScale) {
    Text(sans, "Hl", {20, 20}, 16);
    auto scaled = [&](const Font& font) {
        return Drawn([&] {
            glScalef(3, 3, 1);
            font.Draw("Hl", {20, 20}, 16, {1, 1, 1, 1});
        });
    };
    const Frame again = scaled(sans);
    Font fresh;
    ASSERT_TRUE(fresh.LoadFromFile(kSans));
    const Frame made = scaled(fresh);
    ASSERT_GE(made.right, 0);
    EXPECT_EQ(again.rgba, made.rgba);
}

// Pages drawn before a Close are sent again to the next window's context.
TEST_F(FontWindowTest, GlyphsSurviveCloseAndOpen) {
    const Frame first = Text(sans, "Again", {20, 100}, 32);
    Core::Window.Close();
    OpenWindow();
    const Frame second = Text(sans, "Again", {20, 100}, 32);
    EXPECT_EQ(first.rgba, second.rgba);
    EXPECT_GE(second.right, 0);
}

// Text drawn again after the pages filled up and started over is drawn from
// where its glyphs are now, not from where they were.
TEST_F(FontWindowTest, TextDrawnAgainAfterThePagesStartedOverIsUnchanged) {
    const Frame before = Text(sans, "Pilot: Zo\xC3\xAB", {20, 100}, 24);
    ASSERT_GE(before.right, 0);
    // Large glyphs of many sizes: more than the pages hold, so they start over.
    std::string all;
    for (unsigned c = 0x21; c < 0x7F; ++c) all += char(c);
    Drawn([&] {
        for (int size = 384; size >= 300; size -= 12) sans.Draw(all.c_str(), {0, 0}, float(size), {1, 1, 1, 1});
    });
    const Frame after = Text(sans, "Pilot: Zo\xC3\xAB", {20, 100}, 24);
    EXPECT_EQ(before.rgba, after.rgba);
}

}  // namespace
