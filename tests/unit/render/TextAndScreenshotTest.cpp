// The stroke font's data and metrics, DrawString's geometry, and the
// screenshot's failure reports and pixel order.
#include "Diagnostics.h"
#include "Draw2D.h"
#include "Screenshot.h"
#include "Sprite.h"

#include "fakes/Fakes.h"
#include "render/Font.h"
#include "support/PngFile.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// Every printable character but the space has strips of "xy" points inside
// the 4 x 6 grid, each strip at least one segment: a typo would draw stray
// lines.
TEST(Font, EveryPrintableCharacterHasWellFormedStrokes) {
    std::set<std::string> seen;
    std::vector<int> codes{qmfont::kReplacement};
    for (int c = 33; c <= 126; ++c) codes.push_back(c);
    for (int c : codes) {
        const char* glyph = qmfont::Glyph(c);
        ASSERT_NE(glyph, nullptr) << char(c);
        std::string strip, data = std::string(glyph) + " ";
        for (char g : data) {
            if (g != ' ') {
                strip += g;
                continue;
            }
            EXPECT_EQ(strip.size() % 2, 0u) << char(c) << " strip " << strip;
            EXPECT_GE(strip.size(), 4u) << char(c) << " strip " << strip;
            for (std::size_t i = 0; i + 1 < strip.size(); i += 2) {
                EXPECT_TRUE(strip[i] >= '0' && strip[i] <= '4') << char(c) << " x in " << strip;
                EXPECT_TRUE(strip[i + 1] >= '0' && strip[i + 1] <= '6') << char(c) << " y in " << strip;
            }
            strip.clear();
        }
        if (c < 'a' || c > 'z') seen.insert(glyph);
    }
    // 68 characters and the replacement (lower case has its capitals' glyphs);
    // only 5 and S share one.
    EXPECT_EQ(seen.size(), 68u);
    EXPECT_EQ(qmfont::Glyph(' '), nullptr);
    EXPECT_EQ(qmfont::Glyph(127), nullptr);
    EXPECT_STREQ(qmfont::Glyph('q'), qmfont::Glyph('Q'));
}

TEST(Text, WidthIsTheCharactersLessTheLastGap) {
    EXPECT_EQ(GetStringWidth("", 12.0f), 0.0f);
    EXPECT_EQ(GetStringWidth("A", 12.0f), 8.0f);         // 4 of 6 grid units
    EXPECT_EQ(GetStringWidth("SCORE 42", 12.0f), 92.0f);  // 8 x 12 - 4
    EXPECT_EQ(GetStringWidth("score 42", 12.0f), 92.0f);  // small capitals keep the advance
    EXPECT_EQ(GetStringWidth("\t\x80", 6.0f), 10.0f);     // unknown bytes keep their room
}

// Lines and UTF-8: the width is the widest line's, the height spans every line,
// and a multibyte character is one character wide, however many bytes it has.
TEST(Text, LinesAndMultibyteCharactersAreMeasuredAsDrawn) {
    const float pitch = 12.0f * 10 / 6;  // lines 10 grid units apart
    EXPECT_EQ(GetStringWidth("AB\nCDEF\nG", 12.0f), 44.0f);  // the widest line, 4 x 12 - 4
    EXPECT_EQ(GetStringWidth("\nAB", 12.0f), 20.0f);
    EXPECT_EQ(GetStringHeight("SCORE 42", 12.0f), 12.0f);
    EXPECT_EQ(GetStringHeight("AB\nCDEF\nG", 12.0f), 2 * pitch + 12.0f);
    EXPECT_EQ(GetStringHeight("A\n", 12.0f), pitch + 12.0f);  // a trailing newline opens a line
    EXPECT_EQ(GetStringHeight("", 12.0f), 0.0f);
    EXPECT_EQ(GetStringHeight(nullptr, 12.0f), 0.0f);
    EXPECT_EQ(GetStringHeight("A", -1.0f), 0.0f);
    // 2-, 3- and 4-byte characters: one room each.
    EXPECT_EQ(GetStringWidth("\xC3\xA9", 6.0f), 4.0f);
    EXPECT_EQ(GetStringWidth("caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x8E\xAE", 6.0f), 40.0f);
    // Bytes that start or continue no character each take their own room; a
    // character cut short by the end of the text does not read past it.
    EXPECT_EQ(GetStringWidth("\x80\xBF", 6.0f), 10.0f);
    EXPECT_EQ(GetStringWidth("\xC0\xAF", 6.0f), 10.0f);  // overlong '/'
    EXPECT_EQ(GetStringWidth("\xE2\x82", 6.0f), 10.0f);
    EXPECT_EQ(GetStringWidth("A\xF0", 6.0f), 10.0f);
}

// The segments' ends DrawString queues, as the batch hands them to GL.
std::vector<std::vector<double>> Strokes(const char* text, Vector2D at, float height,
                                         float width = 1.0f) {
    fake::Reset();
    fake::script.windowOpen = true;
    DrawString(text, at, height, width);
    FlushSprites();
    std::vector<std::vector<double>> v;
#if defined(__EMSCRIPTEN__)  // the web's lines go through glBegin/glEnd, which widens them
    for (const fake::Call& c : fake::CallsNamed("glVertex3f")) v.push_back(c.args);
#else
    for (const fake::Drawn& d : fake::drawn) {
        EXPECT_EQ(d.mode, unsigned(GL_LINES));
        for (const auto& p : d.vertices) v.push_back({p[0], p[1], p[2]});
    }
#endif
    return v;
}

#if defined(__EMSCRIPTEN__)
const char* const kLineDraw = "glBegin";
#else
const char* const kLineDraw = "glDrawArrays";
#endif

TEST(Text, NewlineStartsALineBelowAndMultibyteDrawsOneReplacement) {
    std::vector<std::vector<double>> v = Strokes("L\nL", Vector2D(100.0f, 50.0f), 12.0f);
    ASSERT_EQ(v.size(), 8u);
    EXPECT_EQ(v[4], (std::vector<double>{100, 62 - 20, -4}));  // the second L's top, 20 lower

    // A two-byte character draws what a lone bad byte draws: one visible replacement,
    // and the next character follows one room on.
    const std::vector<std::vector<double>> replacement = Strokes("\x80", Vector2D(0, 0), 6.0f);
    EXPECT_GE(replacement.size(), 4u);
    v = Strokes("\xC3\xA9L", Vector2D(0.0f, 0.0f), 6.0f);
    ASSERT_EQ(v.size(), replacement.size() + 4);
    for (std::size_t i = 0; i < replacement.size(); ++i) EXPECT_EQ(v[i], replacement[i]);
    EXPECT_EQ(v[replacement.size()], (std::vector<double>{6, 6, -4}));  // L's top, one room on
}

TEST(Text, BadArgumentsDrawNothingAndAreReported) {
    fake::Reset();
    ClearDiagnostic();
    DrawString(nullptr, Vector2D(0, 0), 10.0f);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextIgnored);
    EXPECT_STREQ(GetLastDiagnosticMessage(), "DrawString: the text is null; nothing is drawn or measured.");
    EXPECT_EQ(GetStringWidth("AB", std::nanf("")), 0.0f);
    EXPECT_STREQ(GetLastDiagnosticMessage(), "GetStringWidth: a height of nan pixels is not a "
                                             "finite number above 0; nothing is drawn or measured.");
    DrawString("AB", Vector2D(0, 0), -3.0f);
    DrawString("", Vector2D(0, 0), 10.0f);
    EXPECT_TRUE(fake::log.empty());
}

TEST(Text, StringIsOneBatchOfSegmentsScaledFromItsCorner) {
    std::vector<std::vector<double>> v = Strokes("L-l", Vector2D(100.0f, 50.0f), 12.0f, 1.5f);
    ASSERT_EQ(fake::Count(kLineDraw), 1u) << "one draw for the string";
    EXPECT_EQ(fake::CallsNamed("glLineWidth")[0].args, (std::vector<double>{1.5}));
    // L: two segments; -: one; l: L at two thirds of the height.
    ASSERT_EQ(v.size(), 10u);
    EXPECT_EQ(v[0], (std::vector<double>{100, 62, -4}));  // (0,6) of L
    EXPECT_EQ(v[1], (std::vector<double>{100, 50, -4}));
    EXPECT_EQ(v[3], (std::vector<double>{108, 50, -4}));  // (4,0)
    EXPECT_EQ(v[4], (std::vector<double>{114, 56, -4}));  // '-' from (1,3), one cell on
    EXPECT_EQ(v[6], (std::vector<double>{124, 58, -4}));  // small l's top: 50 + 6 x 8/6

    // Longer than the batch holds at once: the rest follows in another draw.
    std::string many(20000, '-');
    v = Strokes(many.c_str(), Vector2D(0, 0), 6.0f);
    EXPECT_EQ(fake::Count(kLineDraw), 2u);
    EXPECT_EQ(v.size(), 40000u);
    EXPECT_EQ(v.back(), (std::vector<double>{19999 * 6 + 3, 3, -4}));
}

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
    }
    // One file per test: CTest runs the unit tests in parallel.
    std::string path = ::testing::TempDir() + "qm_unit_shot_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

TEST_F(ScreenshotTest, FailuresReadNothingAndSayWhy) {
    EXPECT_FALSE(SaveScreenshot(nullptr));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotPathIgnored);
    EXPECT_FALSE(SaveScreenshot(""));
    EXPECT_FALSE(SaveScreenshot(path.c_str()));  // no window
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotNoWindow);
    EXPECT_STREQ(GetLastDiagnosticMessage(), "SaveScreenshot failed: no window is open.");
    EXPECT_EQ(fake::Count("glReadPixels"), 0u);

    fake::script.windowOpen = true;
    fake::script.windowWidth = 4;
    fake::script.windowHeight = 3;
    EXPECT_FALSE(SaveScreenshot("/nonexistent-dir/shot.png"));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotWriteFailed);
    EXPECT_STREQ(GetLastDiagnosticMessage(),
                 "SaveScreenshot failed: could not write \"/nonexistent-dir/shot.png\": "
                 "No such file or directory.");
}

TEST_F(ScreenshotTest, WritesTheBackBufferTopRowFirstAndRestoresPackState) {
    fake::script.windowOpen = true;
    fake::script.windowWidth = 5;
    fake::script.windowHeight = 3;
    ASSERT_TRUE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    std::vector<fake::Call> reads = fake::CallsNamed("glReadPixels");
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back().args, (std::vector<double>{0, 0, 5, 3, GL_RGB, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(fake::pixels.pack[GL_PACK_ALIGNMENT], 4) << "the game's alignment is put back";

    testpng::Image image;
    std::string why;
    ASSERT_TRUE(testpng::Read(path, image, why)) << why;
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    // The fake's read-back has red = column, green = row from the bottom.
    EXPECT_EQ(image.rgb[0 * 3 + 1], 2);             // top-left: the top row
    EXPECT_EQ(image.rgb[(2 * 5 + 4) * 3 + 0], 4);   // bottom-right: column 4
    EXPECT_EQ(image.rgb[(2 * 5 + 4) * 3 + 1], 0);   // ... of the bottom row
    std::remove(path.c_str());
}

}  // namespace
