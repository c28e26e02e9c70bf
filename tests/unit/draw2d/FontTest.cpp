// Fonts against the recording GL: hostile font files refused (the old font
// kept), what reaches GL when text is drawn (one draw per page, glyphs sent
// once), no allocation once the glyphs are made, bad UTF-8 and arguments,
// text drawn again from its kept layout; and the cache of laid-out text.
// Crafted files are DejaVu Sans (fonts-dejavu-core) with one field broken.
#include "Diagnostics.h"
#include "Font.h"
#include "Sprite.h"
#include "WindowManager.h"
#include "draw2d/TextCache.h"

#include "fakes/Fakes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/AllocationCounter.h"

namespace {

#if !defined(QUILLMAR_HAVE_FONTS)
// A build without the font engine (Windows and the web for now): loads fail
// with their own code, and nothing else changes.
TEST(FontUnavailableTest, LoadsFailAndSayWhy) {
    Font font;
    ClearDiagnostic();
    const unsigned char bytes[16] = {0, 1, 0, 0};
    EXPECT_FALSE(font.LoadFromMemory(bytes, sizeof bytes, "game.ttf"));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontsUnavailable);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("game.ttf"), std::string::npos);
    EXPECT_FALSE(font.LoadFromFile("game.ttf"));
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_EQ(font.Measure("x", 20).width, 0.0f);
}
#else

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The batch's quad draws: arrays of quads on the desktop, indexed triangles
// in WebGL.
#if defined(__EMSCRIPTEN__)
const char* const kQuadDraw = "glDrawElements";
std::size_t QuadsOf(const fake::Call& c) { return std::size_t(c.args[1] / 6); }
#else
const char* const kQuadDraw = "glDrawArrays";
std::size_t QuadsOf(const fake::Call& c) { return std::size_t(c.args[2] / 4); }
#endif

std::vector<unsigned char> ReadFile(const char* path) {
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path, "rb")) {
        unsigned char chunk[65536];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

unsigned Get32(const std::vector<unsigned char>& b, std::size_t at) {
    return unsigned(b[at]) << 24 | unsigned(b[at + 1]) << 16 | unsigned(b[at + 2]) << 8 | b[at + 3];
}
void Put32(std::vector<unsigned char>& b, std::size_t at, unsigned v) {
    for (int k = 0; k < 4; ++k) b[at + std::size_t(k)] = static_cast<unsigned char>(v >> (24 - 8 * k));
}
// The directory record of a table (tag, checksum, offset, length), or 0.
std::size_t Record(const std::vector<unsigned char>& b, const char* tag) {
    const unsigned tables = unsigned(b[4]) << 8 | b[5];
    for (unsigned t = 0; t < tables; ++t) {
        const std::size_t at = 12 + 16 * std::size_t(t);
        if (std::memcmp(&b[at], tag, 4) == 0) return at;
    }
    return 0;
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        sans = ReadFile(kSans);
        ASSERT_GT(sans.size(), 100000u) << "install fonts-dejavu-core (tools/install-deps.sh test)";
    }
    std::vector<unsigned char> sans;
};

// [SECTION] Hostile files

TEST_F(FontTest, CraftedFilesAreRefusedAndTheOldFontKept) {
    struct Case {
        const char* what;
        Diagnostic code;
        std::vector<unsigned char> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"truncated", Diagnostic::FontCorrupt,
                     std::vector<unsigned char>(sans.begin(), sans.begin() + long(sans.size() / 3))});
    {
        std::vector<unsigned char> b = sans;
        Put32(b, Record(b, "glyf") + 8, 0xFFFFFF00u);  // a table far past the end
        cases.push_back({"bad offset", Diagnostic::FontCorrupt, b});
    }
    {
        std::vector<unsigned char> b = sans;
        Put32(b, Record(b, "cmap") + 12, 0x7FFFFFFFu);  // a table longer than the file
        cases.push_back({"bad length", Diagnostic::FontCorrupt, b});
    }
    {
        std::vector<unsigned char> b = sans;
        const std::size_t maxp = Get32(b, Record(b, "maxp") + 8);
        b[maxp + 4] = 0xFF, b[maxp + 5] = 0xFF;  // 65535 glyphs claimed
        cases.push_back({"huge glyph count", Diagnostic::FontCorrupt, b});
    }
    {
        std::vector<unsigned char> b(sans.begin(), sans.begin() + 12);
        b[4] = 0x7F, b[5] = 0xFF;  // 32767 tables in a 12-byte file
        cases.push_back({"absurd table count", Diagnostic::FontCorrupt, b});
    }
    {
        std::vector<unsigned char> b = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 1, 0x7F, 0, 0, 0};
        cases.push_back({"collection's face outside", Diagnostic::FontCorrupt, b});
    }
    {
        std::vector<unsigned char> b = sans;
        std::memcpy(b.data(), "wOFF", 4);
        cases.push_back({"WOFF", Diagnostic::FontFormatUnsupported, b});
    }
    cases.push_back({"PNG", Diagnostic::FontFormatUnsupported,
                     {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'}});

    Font font;
    ASSERT_TRUE(font.LoadFromMemory(sans.data(), sans.size(), "DejaVuSans"));
    const float width = font.Measure("Kept", 20).width;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearDiagnostic();
        EXPECT_FALSE(font.LoadFromMemory(c.bytes.data(), c.bytes.size(), "crafted.ttf"));
        EXPECT_EQ(GetLastDiagnostic(), c.code) << GetLastDiagnosticMessage();
        EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("crafted.ttf"), std::string::npos);
        EXPECT_TRUE(font.IsLoaded());
        EXPECT_EQ(font.Measure("Kept", 20).width, width);
    }
}

TEST_F(FontTest, FilesTooLargeMissingOrEmptyAreRefusedBeforeReading) {
    Font font;
    EXPECT_FALSE(font.LoadFromMemory(sans.data(), Font::kMaxFileBytes + 1));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontTooLarge);

    const std::string big = ::testing::TempDir() + "qm_font_big.ttf";
    std::FILE* f = std::fopen(big.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, long(Font::kMaxFileBytes), SEEK_SET);  // sparse: nothing written but a byte
    std::fputc(0, f);
    std::fclose(f);
    EXPECT_FALSE(font.LoadFromFile(big.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontTooLarge) << GetLastDiagnosticMessage();
    std::remove(big.c_str());

    const std::string empty = ::testing::TempDir() + "qm_font_empty.ttf";
    std::fclose(std::fopen(empty.c_str(), "wb"));
    // A pipe with no writer: opening it would wait for ever (Windows and
    // the web have no named pipes in their file systems: a directory stands in).
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
    const std::string fifo = ::testing::TempDir();
#else
    const std::string fifo = ::testing::TempDir() + "qm_font_fifo.ttf";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif
    struct Case {
        const char* path;
        Diagnostic code;
    } cases[] = {{"/nonexistent/font.ttf", Diagnostic::FontFileUnreadable},
                 {empty.c_str(), Diagnostic::FontFileUnreadable},
                 {"/", Diagnostic::FontFileUnreadable},
                 {fifo.c_str(), Diagnostic::FontFileUnreadable},
                 {"", Diagnostic::FontArgumentIgnored},
                 {nullptr, Diagnostic::FontArgumentIgnored}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "null");
        ClearDiagnostic();
        EXPECT_FALSE(font.LoadFromFile(c.path));
        EXPECT_EQ(GetLastDiagnostic(), c.code) << GetLastDiagnosticMessage();
    }
    std::remove(empty.c_str());
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    std::remove(fifo.c_str());
#endif
    EXPECT_FALSE(font.LoadFromMemory(nullptr, 10));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontArgumentIgnored);
    EXPECT_FALSE(font.IsLoaded());
}

// Random bytes changed in a font's first tables: loading, measuring and
// drawing stay within bounds whatever FreeType and HarfBuzz accept (the
// sanitizer build is the judge).
TEST_F(FontTest, MutatedFontsLoadOrFailCleanly) {
    WindowManager window;
    ASSERT_TRUE(window.Open());
    std::mt19937 random(27);
    const std::size_t span = sans.size() < 60000 ? sans.size() : 60000;
    int loaded = 0;
    for (int round = 0; round < 60; ++round) {
        std::vector<unsigned char> b = sans;
        for (int k = 0; k < 8; ++k)
            b[random() % span] = static_cast<unsigned char>(random());
        Font font;
        if (!font.LoadFromMemory(b.data(), b.size(), "mutant")) continue;
        ++loaded;
        font.Measure("Wavy AV \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 f\xEF\xAC\x81", 17, 60);
        font.Draw("Wavy AV \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", {10, 10}, 23, {1, 1, 1, 1});
        FlushSprites();
    }
    EXPECT_GT(loaded, 0) << "no mutant loaded: the drawing paths were not exercised";
    window.Close();
}

// [SECTION] Drawing through the batch

class FontDrawTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        ASSERT_TRUE(font.LoadFromMemory(sans.data(), sans.size(), "DejaVuSans"));
        ASSERT_TRUE(window.Open());
        fake::log.clear();
    }
    void TearDown() override {
        FlushSprites();
        window.Close();
    }
    static std::size_t Count(const char* name, int arg, double value) {
        std::size_t n = 0;
        for (const fake::Call& c : fake::log)
            n += c.name == name && c.args.size() > std::size_t(arg) && c.args[std::size_t(arg)] == value;
        return n;
    }
    Font font;
    WindowManager window;
};

// Glyph pages upload with GL's default unpack state and no unpack buffer, as
// textures do, whatever the game left; the game's state is put back.
TEST_F(FontDrawTest, GlyphUploadsUseDefaultUnpackStateThenPutTheGamesBack) {
    fake::pixels.version = "2.1";  // unpack buffers
    const std::map<unsigned, int> games = {{GL_UNPACK_ROW_LENGTH, 7}, {GL_UNPACK_SKIP_ROWS, 3},
                                           {GL_UNPACK_SKIP_PIXELS, 2}, {GL_UNPACK_ALIGNMENT, 8}};
    const std::map<unsigned, int> defaults = {{GL_UNPACK_SWAP_BYTES, 0}, {GL_UNPACK_LSB_FIRST, 0},
                                              {GL_UNPACK_ROW_LENGTH, 0}, {GL_UNPACK_SKIP_ROWS, 0},
                                              {GL_UNPACK_SKIP_PIXELS, 0}, {GL_UNPACK_ALIGNMENT, 4}};
    for (const auto& p : games) glPixelStorei(p.first, p.second);
    auto bind = reinterpret_cast<void (*)(GLenum, GLuint)>(fake::GLProc("glBindBuffer"));
    bind(0x88EC /* GL_PIXEL_UNPACK_BUFFER */, 9);
    for (const char* text : {"Pilot", "Zo\xC3\xAB"}) {  // a new page, then more glyphs on it
        fake::pixels.unpackAtUpload.clear();
        font.Draw(text, {10, 10}, 16, {1, 1, 1, 1});
        FlushSprites();
        EXPECT_EQ(fake::pixels.unpackAtUpload, defaults) << text;
        EXPECT_EQ(fake::pixels.unpackBufferAtUpload, 0u) << text;
        for (const auto& p : games) EXPECT_EQ(fake::pixels.pack[p.first], p.second) << p.first;
        EXPECT_EQ(fake::pixels.unpackBuffer, 9u) << "the game's buffer is bound again";
    }
    EXPECT_GE(fake::Count("glTexSubImage2D"), 1u);
}

TEST_F(FontDrawTest, LinesOfTextAreOneDrawAndGlyphsAreSentOnce) {
    for (int line = 0; line < 20; ++line)
        font.Draw("The quick brown fox", {10, float(400 - 20 * line)}, 16, {1, 1, 1, 1});
    font.Draw("jumps", {10, 10}, 16, {1, 0, 0, 1});  // its own colour
    FlushSprites();
    EXPECT_EQ(fake::Count("glTexImage2D"), 1u);
    EXPECT_EQ(Count("glTexImage2D", 6, GL_ALPHA), 1u);
    // "The quick brown fox" has 16 inked glyphs; "jumps" 5 more.
    std::size_t quads = 0, draws = 0;
    for (const fake::Call& c : fake::log)
        if (c.name == kQuadDraw) {
            ++draws;
            quads += QuadsOf(c);
        }
    EXPECT_EQ(quads, 20u * 16u + 5u);
    EXPECT_LE(draws, 2u) << "one draw per page and colour run, not per glyph";

    fake::log.clear();
    font.Draw("The quick brown fox", {10, 10}, 16, {1, 1, 1, 1});
    FlushSprites();
    EXPECT_EQ(fake::Count("glTexImage2D") + fake::Count("glTexSubImage2D"), 0u) << "sent again";
    font.Draw("Zo\xC3\xAB", {10, 10}, 16, {1, 1, 1, 1});  // new glyphs: rows sent
    FlushSprites();
    EXPECT_EQ(fake::Count("glTexSubImage2D"), 1u);
    font.Draw("The quick brown fox", {10, 10}, 17, {1, 1, 1, 1});  // another size: new glyphs
    FlushSprites();
    EXPECT_GE(fake::Count("glTexSubImage2D") + fake::Count("glTexImage2D"), 2u);
}

TEST_F(FontDrawTest, DrawingCachedTextAllocatesNothing) {
    const char* text = "Pilot: Zo\xC3\xAB  \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85\nline two, wrapped at sixty";
    font.Draw(text, {10, 300}, 18, {1, 1, 1, 1}, TextAlign::Center, 60);
    FlushSprites();
    fake::recording = false;
    const long before = qmtest::AllocationCount();
    for (int frame = 0; frame < 3; ++frame) {
        font.Draw(text, {10, 300}, 18, {1, 1, 1, 1}, TextAlign::Center, 60);
        font.Measure(text, 18, 60);
        FlushSprites();
    }
    EXPECT_EQ(qmtest::AllocationCount(), before);
    fake::recording = true;
}

// A HUD line that changes every frame fills the kept layouts until they start
// over; after that, the frames reuse their storage.
TEST_F(FontDrawTest, TextChangingEveryFrameStopsAllocatingOnceWarm) {
    fake::recording = false;
    char timer[32];
    auto frame = [&](int n) {
        std::snprintf(timer, sizeof timer, "Time %d.%02d", n / 100, n % 100);
        font.Draw(timer, {10, 10}, 14, {1, 1, 1, 1});
        font.Draw("Pilot: Zo\xC3\xAB", {10, 30}, 14, {1, 1, 1, 1});
        font.Measure(timer, 14);
        FlushSprites();
    };
    for (int n = 0; n < 600; ++n) frame(n);
    const long before = qmtest::AllocationCount();
    for (int n = 600; n < 900; ++n) frame(n);
    EXPECT_EQ(qmtest::AllocationCount(), before);
    fake::recording = true;
}

TEST_F(FontDrawTest, GlyphsLargerThanAPageAreLeftOutOnce) {
    // An em of 16 units: every glyph 128 times its size, thousands of pixels.
    std::vector<unsigned char> b = sans;
    const std::size_t head = Get32(b, Record(b, "head") + 8);
    b[head + 18] = 0, b[head + 19] = 16;
    Font huge;
    ASSERT_TRUE(huge.LoadFromMemory(b.data(), b.size(), "huge"));
    huge.Draw("Ab c", {10, 10}, 40, {1, 1, 1, 1});
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 0u);
    // Neither rasterised again nor taken for a full atlas that is cleared.
    fake::recording = false;
    const long before = qmtest::AllocationCount();
    huge.Draw("Ab c", {10, 10}, 40, {1, 1, 1, 1});
    FlushSprites();
    EXPECT_EQ(qmtest::AllocationCount(), before);
    fake::recording = true;
}

// A font keeps the layouts of text it drew: drawn again anywhere, or with a
// size or wrap that changes the layout, text lands where a fresh font puts it
// and measures as it does
// (a scaled layer: FontWindowTest, as this GL answers no viewport).
TEST_F(FontDrawTest, TextDrawnAgainLandsWhereAFreshFontPutsIt) {
    const char* kept = "Kept: AVA Wo \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85";
    struct Case {
        const char* text;
        Vector2D at;
        float size;
        TextAlign align;
        float wrap;
    } cases[] = {{kept, {10, 300}, 16, TextAlign::Left, 0},
                 {kept, {10.5f, 299.25f}, 16, TextAlign::Left, 0},
                 {kept, {-3.7f, 12.6f}, 16, TextAlign::Center, 0},
                 {kept, {200.3f, 50}, 16, TextAlign::Right, 0},
                 {kept, {10, 300}, 17, TextAlign::Left, 0},
                 {kept, {10, 300}, 16, TextAlign::Left, 60},
                 {kept, {10, 300}, 16, TextAlign::Left, 90},
                 {kept, {10, 300}, 16, TextAlign::Left, -5},
                 {kept, {10.25f, 300.5f}, 16, TextAlign::Left, 0},
                 {"Kept: AVA Wp", {10, 300}, 16, TextAlign::Left, 0},
                 {"Kept: AVA W", {10, 300}, 16, TextAlign::Left, 0}};
    auto draw = [](const Font& f, const Case& c) {
        fake::drawn.clear();
        f.Draw(c.text, c.at, c.size, {1, 1, 1, 1}, c.align, c.wrap);
        FlushSprites();
        std::vector<std::array<float, 3>> vertices;
        for (const fake::Drawn& d : fake::drawn) vertices.insert(vertices.end(), d.vertices.begin(), d.vertices.end());
        return vertices;
    };
    Font measurer;  // never draws: it shapes what it measures
    ASSERT_TRUE(measurer.LoadFromMemory(sans.data(), sans.size()));
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", " << c.text << " at " << c.at.x
                                            << "," << c.at.y << " size " << c.size << " wrap " << c.wrap);
            const auto again = draw(font, c);
            Font fresh;
            ASSERT_TRUE(fresh.LoadFromMemory(sans.data(), sans.size()));
            const auto made = draw(fresh, c);
#if !defined(__EMSCRIPTEN__)  // the fake GL records no indexed draw
            EXPECT_FALSE(made.empty());
#endif
            EXPECT_EQ(again, made);
            // Measured from the kept layout, as shaped afresh.
            const TextSize kept = font.Measure(c.text, c.size, c.wrap);
            const TextSize shaped = measurer.Measure(c.text, c.size, c.wrap);
            EXPECT_EQ(kept.width, shaped.width);
            EXPECT_EQ(kept.height, shaped.height);
        }
    }
}

TEST_F(FontDrawTest, PagesGrowAndMoreArePaged) {
    // Many sizes of many glyphs: more than one page's worth.
    std::string all;
    for (unsigned c = 0x21; c < 0x7F; ++c) all += char(c);
    for (int size = 40; size <= 120; size += 8) font.Draw(all.c_str(), {0, 0}, float(size), {1, 1, 1, 1});
    FlushSprites();
    std::size_t biggest = 0;
    for (const fake::Call& c : fake::log)
        if (c.name == "glTexImage2D") biggest = std::max(biggest, std::size_t(c.args[4]));
    EXPECT_EQ(biggest, 1024u) << "a page grew to its full height";
    EXPECT_GE(fake::Count("glGenTextures"), 2u) << "a second page was made";
}

TEST_F(FontDrawTest, BadTextAndArgumentsDrawNothingSafely) {
    // Cut and overlong sequences, stray continuations, a surrogate: each reads as U+FFFD.
    const char* broken[] = {"\xC3", "a\xE2\x82", "\xF0\x9F\x9A", "\xC0\xAF", "\x80\xBF",
                            "\xED\xA0\x80", "\xF5\x80\x80\x80", "ok\xFF"};
    for (const char* text : broken) {
        font.Draw(text, {10, 10}, 20, {1, 1, 1, 1});
        EXPECT_GT(font.Measure(text, 20).width, 0.0f);
    }
    FlushSprites();
    struct Case {
        const char* text;
        float size;
        Vector2D at;
        Color4f colour;
    } refused[] = {{nullptr, 20, {0, 0}, {1, 1, 1, 1}},
                   {"x", 0, {0, 0}, {1, 1, 1, 1}},
                   {"x", -3, {0, 0}, {1, 1, 1, 1}},
                   {"x", std::nanf(""), {0, 0}, {1, 1, 1, 1}},
                   {"x", 20, {std::nanf(""), 0}, {1, 1, 1, 1}},
                   {"x", 20, {0, 0}, {2, 1, 1, 1}}};
    fake::log.clear();
    for (const Case& c : refused) {
        ClearDiagnostic();
        font.Draw(c.text, c.at, c.size, c.colour);
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FontArgumentIgnored);
    }
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 0u);
    EXPECT_EQ(font.Measure(nullptr, 20).width, 0.0f);
    EXPECT_EQ(font.Measure("x", 0).height, 0.0f);
}

TEST_F(FontDrawTest, MetricsAndBlockSize) {
    const float ascent = font.GetAscent(20), descent = font.GetDescent(20);
    const float line = font.GetLineHeight(20);
    EXPECT_NEAR(ascent, 20 * 0.928f, 0.2f);  // DejaVu Sans: 1901 and 483 of 2048
    EXPECT_NEAR(descent, 20 * 0.236f, 0.2f);
    EXPECT_GE(line, ascent + descent);
    const TextSize one = font.Measure("ab", 20), three = font.Measure("ab\nabcd\n\xC3\xA9", 20);
    EXPECT_FLOAT_EQ(one.height, ascent + descent);
    EXPECT_FLOAT_EQ(three.height, ascent + descent + 2 * line);
    EXPECT_FLOAT_EQ(three.width, font.Measure("abcd", 20).width);
    EXPECT_FLOAT_EQ(font.Measure("abcd", 40).width, 2 * font.Measure("abcd", 20).width);
    // Wrapping at spaces: each line fits, and no word is split.
    const TextSize wrapped = font.Measure("aaa bbb ccc", 20, font.Measure("aaa bbb", 20).width);
    EXPECT_FLOAT_EQ(wrapped.height, ascent + descent + line);
    const TextSize narrow = font.Measure("aaaaaaaa", 20, 5);
    EXPECT_FLOAT_EQ(narrow.width, font.Measure("aaaaaaaa", 20).width);
    Font none;
    EXPECT_EQ(none.GetLineHeight(20), 0.0f);
    EXPECT_EQ(none.Measure("x", 20).width, 0.0f);
}

TEST_F(FontDrawTest, MovedFontDrawsAndTheSourceIsEmpty) {
    Font moved(std::move(font));
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_TRUE(moved.IsLoaded());
    moved.Draw("x", {0, 0}, 20, {1, 1, 1, 1});
    Font other;
    other = std::move(moved);
    other.Draw("y", {0, 0}, 20, {1, 1, 1, 1});
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 1u);
}

#endif

// [SECTION] The cache of laid-out text: which keys match, its bounds,
// starting over when full, no allocation once its storage has grown.

using qmtype::LaidGlyph;
using qmtype::LaidLine;
using qmtype::LaidText;
using qmtype::TextCache;
using qmtype::TextKey;

struct Layout {
    std::vector<LaidLine> lines;
    std::vector<LaidGlyph> glyphs;
};

// A layout of `glyphs` glyphs on one line, told apart by `mark`.
Layout Made(std::size_t glyphs, float mark) {
    Layout l;
    l.lines.push_back({mark, 0, std::uint32_t(glyphs)});
    for (std::size_t i = 0; i < glyphs; ++i) l.glyphs.push_back({float(i), mark, 0, 0, 1, 1, 0, 0, 1, 1, 0});
    return l;
}

bool Add(TextCache& cache, const TextKey& key, const Layout& l) {
    LaidText out;
    return cache.Add(key, l.lines.data(), l.lines.size(), l.glyphs.data(), l.glyphs.size(), 1, &out);
}

// Text is matched by its bytes, not where they are: a game's buffer written
// again with other text misses; the same text elsewhere finds the layout.
TEST(TextCacheTest, TextMatchesByItsBytesAndTheLayerScale) {
    char buffer[] = "Time 1.00";
    TextCache cache;
    ASSERT_TRUE(Add(cache, {buffer, sizeof buffer - 1, 12, 1, 0}, Made(5, 7)));
    const std::string copy = buffer;
    LaidText found{};
    ASSERT_TRUE(cache.Find({copy.data(), copy.size(), 12, 1, 0}, &found));
    EXPECT_EQ(found.lines[0].advance, 7.0f);
    EXPECT_EQ(found.glyphs[4].x, 4.0f);
    EXPECT_FALSE(cache.Find({copy.data(), copy.size(), 12, 2, 0}, &found)) << "another layer scale";
    buffer[8] = '1';
    EXPECT_FALSE(cache.Find({buffer, sizeof buffer - 1, 12, 1, 0}, &found));
}

TEST(TextCacheTest, StaysWithinItsBoundsStartsAgainWhenFullAndThenAllocatesNothing) {
    TextCache cache;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i <= TextCache::kEntries; ++i) texts.push_back("line " + std::to_string(i));
    const Layout small = Made(3, 1);
    auto key = [&](std::size_t i) { return TextKey{texts[i].data(), texts[i].size(), 12, 1, 0}; };
    LaidText found;
    for (int round = 0; round < 2; ++round) {
        const long before = qmtest::AllocationCount();
        for (std::size_t i = 0; i < TextCache::kEntries; ++i) ASSERT_TRUE(Add(cache, key(i), small));
        if (round == 1) {
            EXPECT_EQ(qmtest::AllocationCount(), before) << "storage grown once is reused";
        }
        EXPECT_EQ(cache.Count(), TextCache::kEntries);
        EXPECT_TRUE(cache.Find(key(0), &found));
        // One more string than it holds: it starts again from that one.
        ASSERT_TRUE(Add(cache, key(TextCache::kEntries), small));
        EXPECT_EQ(cache.Count(), 1u);
        EXPECT_FALSE(cache.Find(key(0), &found));
        EXPECT_TRUE(cache.Find(key(TextCache::kEntries), &found));
        cache.Clear();
        EXPECT_FALSE(cache.Find(key(TextCache::kEntries), &found));
    }
    // Glyphs run out before entries do; a layout larger than the whole cache is not kept.
    const Layout half = Made(TextCache::kGlyphs / 2, 2);
    ASSERT_TRUE(Add(cache, key(0), half));
    ASSERT_TRUE(Add(cache, key(1), half));
    ASSERT_TRUE(Add(cache, key(2), small));
    EXPECT_EQ(cache.Count(), 1u);
    EXPECT_FALSE(Add(cache, key(3), Made(TextCache::kGlyphs + 1, 3)));
    EXPECT_TRUE(cache.Find(key(2), &found)) << "a layout too large leaves the cache as it was";
    const std::string huge(TextCache::kTextBytes + 1, 'x');
    EXPECT_FALSE(Add(cache, {huge.data(), huge.size(), 12, 1, 0}, small));
}

}  // namespace
