// Sprites and textures under the state a game's own GL leaves behind (texture
// units, the texture matrix, pixel-unpack parameters), a diagnostics callback
// that destroys what is being drawn, source rectangles outside the image, and
// the scale-independent pivot: against the recording GL.
#include "Diagnostics.h"
#include "Sprite.h"
#include "Texture.h"
#include "WindowManager.h"

#include "fakes/Fakes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

// The batch's quads: as they are on desktop GL, two indexed triangles each on
// the web.
#if defined(__EMSCRIPTEN__)
const char* const kQuadDraw = "glDrawElements";
double Quads(const fake::Call& c) { return c.args[1] / 6; }
#else
const char* const kQuadDraw = "glDrawArrays";
double Quads(const fake::Call& c) { return c.args[2] / 4; }
#endif

constexpr GLenum kTexture0 = 0x84C0, kTexture1 = 0x84C1;

class SpriteGameStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        fake::pixels.version = "2.1";  // units, buffer objects and unpack buffers
        ASSERT_TRUE(window.Open());
        const unsigned char pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255,
                                          0, 0, 255, 255, 255, 255, 255, 128};
        ASSERT_TRUE(a.LoadFromPixels(pixels, 2, 2));
        fake::log.clear();
    }
    void TearDown() override {
        SetDiagnosticCallback(nullptr, nullptr);
        FlushSprites();
        window.Close();
    }
    // Corner i of the latest draw's quads (the library's own arrays).
    struct Corner {
        float x, y, s, t;
    };
    static Corner CornerOf(int i) {
        const fake::GLMatrices::StateAtDraw& d = fake::gl.atDraw;
        const float* v = static_cast<const float*>(fake::ArrayData(d.vertices));
        const float* st = static_cast<const float*>(fake::ArrayData(d.texcoords));
        const int stride = d.vertices.stride / int(sizeof(float));
        return {v[i * stride], v[i * stride + 1], st[i * stride], st[i * stride + 1]};
    }

    WindowManager window;
    Texture a;
};

// [SECTION] Texture units and the texture matrix

TEST_F(SpriteGameStateTest, SpritesDrawOnUnitZeroWithAnIdentityTextureMatrixAndPutTheGamesBack) {
    auto active = reinterpret_cast<void (*)(GLenum)>(fake::GLProc("glActiveTexture"));
    auto clientActive = reinterpret_cast<void (*)(GLenum)>(fake::GLProc("glClientActiveTexture"));
    // The game's unit 0 has a scaled texture matrix; then it leaves unit 1
    // active, for the server, the client, or both.
    glMatrixMode(GL_TEXTURE);
    const GLfloat scaled[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1};
    glLoadMatrixf(scaled);
    glMatrixMode(GL_MODELVIEW);
    const struct {
        const char* what;
        GLenum server, client;
    } cases[] = {{"server unit 1", kTexture1, kTexture0},
                 {"client unit 1", kTexture0, kTexture1},
                 {"both on unit 1", kTexture1, kTexture1},
                 {"unit 0, matrix only", kTexture0, kTexture0}};
    for (const auto& c : cases) {
        active(c.server);
        clientActive(c.client);
        DrawSprite(a, Vector2D(0, 0));
        FlushSprites();
        const fake::GLMatrices::StateAtDraw& d = fake::gl.atDraw;
        EXPECT_EQ(d.activeTexture, kTexture0) << c.what;
        EXPECT_EQ(d.clientActiveTexture, kTexture0) << c.what;
        EXPECT_TRUE(d.textureMatrixIdentity) << c.what;
        EXPECT_EQ(fake::gl.activeTexture, c.server) << c.what << ": the game's unit is back";
        EXPECT_EQ(fake::gl.clientActiveTexture, c.client) << c.what;
        EXPECT_TRUE(std::equal(std::begin(scaled), std::end(scaled), fake::gl.texture[0].Top().begin()))
            << c.what << ": the game's texture matrix is back";
        EXPECT_EQ(fake::gl.mode, unsigned(GL_MODELVIEW)) << c.what;
    }
    // A game that leaves the defaults costs no unit or matrix change.
    active(kTexture0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    fake::log.clear();
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(fake::Count("glActiveTexture") + fake::Count("glClientActiveTexture") +
                  fake::Count("glLoadIdentity") + fake::Count("glLoadMatrixf"),
              0u);
}

// A context of GL 1.1 without multitexturing is never asked about units.
TEST_F(SpriteGameStateTest, AContextWithoutMultitexturingIsNotAskedAboutUnits) {
    fake::pixels.version = "1.1";
    fake::script.glExtensions = "GL_EXT_bgra";
    window.Close();
    ASSERT_TRUE(window.Open());
    fake::log.clear();
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 1u);
    for (const fake::Call& c : fake::log) {
        EXPECT_FALSE(c.name == "glGetIntegerv" && (c.args[0] == 0x84E0 || c.args[0] == 0x84E1));
        EXPECT_NE(c.name, "glActiveTexture");
    }
}

// [SECTION] Uploads under the game's pixel-unpack state

TEST_F(SpriteGameStateTest, UploadsUseDefaultUnpackStateAndNoUnpackBufferThenPutTheGamesBack) {
    const std::map<unsigned, int> games = {{GL_UNPACK_SWAP_BYTES, 1}, {GL_UNPACK_LSB_FIRST, 1},
                                           {GL_UNPACK_ROW_LENGTH, 7}, {GL_UNPACK_SKIP_ROWS, 3},
                                           {GL_UNPACK_SKIP_PIXELS, 2}, {GL_UNPACK_ALIGNMENT, 8}};
    for (const auto& p : games) glPixelStorei(p.first, p.second);
    auto bind = reinterpret_cast<void (*)(GLenum, GLuint)>(fake::GLProc("glBindBuffer"));
    bind(0x88EC /* GL_PIXEL_UNPACK_BUFFER */, 9);
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    ASSERT_EQ(fake::Count("glTexImage2D"), 1u);
    const std::map<unsigned, int> defaults = {{GL_UNPACK_SWAP_BYTES, 0}, {GL_UNPACK_LSB_FIRST, 0},
                                              {GL_UNPACK_ROW_LENGTH, 0}, {GL_UNPACK_SKIP_ROWS, 0},
                                              {GL_UNPACK_SKIP_PIXELS, 0}, {GL_UNPACK_ALIGNMENT, 4}};
    EXPECT_EQ(fake::pixels.unpackAtUpload, defaults);
    EXPECT_EQ(fake::pixels.unpackBufferAtUpload, 0u) << "read from the texture's own copy";
    for (const auto& p : games) EXPECT_EQ(fake::pixels.pack[p.first], p.second) << p.first;
    EXPECT_EQ(fake::pixels.unpackBuffer, 9u) << "the game's buffer is bound again";

    // A context without pixel buffer objects is not asked about them.
    fake::pixels.version = "1.4";
    window.Close();
    ASSERT_TRUE(window.Open());
    fake::log.clear();
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(fake::Count("glTexImage2D"), 1u);
    for (const fake::Call& c : fake::log)
        EXPECT_FALSE(c.name == "glGetIntegerv" && c.args[0] == 0x88EF);
}

TEST_F(SpriteGameStateTest, LoadFromPixelsRefusesASideAboveTheGLsWhileAWindowIsOpen) {
    const int side = fake::gl.maxTextureSize + 1;
    std::vector<unsigned char> row(std::size_t(side) * 4, 7);
    EXPECT_FALSE(a.LoadFromPixels(row.data(), side, 1));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureTooLargeForGL);
    EXPECT_EQ(a.GetWidth(), 2) << "the old image stays";
    window.Close();
    EXPECT_TRUE(a.LoadFromPixels(row.data(), side, 1)) << "no window: checked when first drawn";
}

// [SECTION] A callback that destroys the texture being drawn

TEST_F(SpriteGameStateTest, ACallbackDestroyingTheFlushedTextureLeavesNoGLTextureBehind) {
    auto doomed = std::make_unique<Texture>();
    const unsigned char pixel[4] = {1, 2, 3, 4};
    ASSERT_TRUE(doomed->LoadFromPixels(pixel, 1, 1));
    DrawSprite(*doomed, Vector2D(0, 0));
    fake::gl.modelview.Top()[12] = 5;  // the game moved the matrix: reported at the flush
    SetDiagnosticCallback(
        [](Diagnostic code, const char*, void* user) {
            if (code == Diagnostic::SpritesFlushedLate)
                static_cast<std::unique_ptr<Texture>*>(user)->reset();
        },
        &doomed);
    fake::log.clear();
    FlushSprites();
    ASSERT_EQ(doomed, nullptr);
    const std::vector<fake::Call> deletes = fake::CallsNamed("glDeleteTextures");
    ASSERT_EQ(deletes.size(), 1u);
    const double name = deletes[0].args[1];
    // Its sprite was drawn with it while it lived; its name is never bound
    // again afterwards (that would make a new texture of it).
    std::size_t deleted = 0;
    while (fake::log[deleted].name != "glDeleteTextures") ++deleted;
    for (std::size_t i = deleted; i < fake::log.size(); ++i)
        EXPECT_FALSE(fake::log[i].name == "glBindTexture" && fake::log[i].args[1] == name)
            << "bound again after its deletion";
    EXPECT_EQ(fake::Count(kQuadDraw), 1u);
    EXPECT_EQ(fake::gl.modelview.Top()[12], 5.0f) << "the game's matrix is back";
}

// [SECTION] Source rectangles

TEST_F(SpriteGameStateTest, ASourceOutsideATextureThatIsNotRepeatedIsReportedAndNotDrawn) {
    Sprite sprite;
    sprite.texture = &a;
    const float garbage = 1.0e9f;  // float bits read as an int, as a game's bug made them
    const TextureRect outside[] = {
        {0, 0, 3, 2}, {0, 0, 2, 3}, {-1, 0, 2, 2}, {0, -1, 2, 2}, {1, 1, 2, 1},
        {0, 0, int(garbage), int(garbage)}, {int(garbage), int(garbage), 1, 1},
        {1, 0, -2, 1},  // mirrored, reaching left of the image
    };
    for (const TextureRect& r : outside) {
        ClearDiagnostic();
        sprite.source = r;
        DrawSprite(sprite);
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SpriteIgnored)
            << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 0u);

    // At the edges, inside, mirrored inside: drawn without a word.
    const TextureRect inside[] = {{0, 0, 2, 2}, {1, 1, 1, 1}, {0, 1, 2, 1}, {2, 0, -2, 2}};
    ClearDiagnostic();
    for (const TextureRect& r : inside) {
        sprite.source = r;
        DrawSprite(sprite);
    }
    FlushSprites();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    ASSERT_EQ(fake::Count(kQuadDraw), 1u);
    EXPECT_EQ(Quads(fake::CallsNamed(kQuadDraw)[0]), 4.0);

    // A repeated texture tiles: a source three images wide is three tiles.
    a.SetRepeated(true);
    sprite.source = TextureRect{-2, 0, 6, 2};
    DrawSprite(sprite);
    FlushSprites();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    EXPECT_EQ(CornerOf(0).s, -1.0f);
    EXPECT_EQ(CornerOf(1).s, 2.0f);
    EXPECT_EQ(CornerOf(1).x - CornerOf(0).x, 6.0f) << "sized from the source";
}

// [SECTION] The pivot

TEST_F(SpriteGameStateTest, ThePivotIsAFractionOfTheDrawnSpriteWhateverItsScale) {
    Sprite sprite;
    sprite.texture = &a;
    sprite.size = Vector2D(36, 32);
    sprite.position = Vector2D(100, 100);
    sprite.pivot = Vector2D(0.5f, 0.5f);
    for (float scale : {1.0f, 2.5f, 0.25f}) {
        sprite.scale = Vector2D(scale, scale);
        DrawSprite(sprite);
        FlushSprites();
        // Centred on the position at every scale.
        EXPECT_EQ(CornerOf(0).x, 100 - 18 * scale) << scale;
        EXPECT_EQ(CornerOf(0).y, 100 - 16 * scale) << scale;
        EXPECT_EQ(CornerOf(2).x, 100 + 18 * scale) << scale;
        EXPECT_EQ(CornerOf(2).y, 100 + 16 * scale) << scale;
    }
    // The pixel origin adds to it; a quarter turn turns about their sum.
    sprite.scale = Vector2D(2, 2);
    sprite.origin = Vector2D(4, 0);
    sprite.rotation = 90;
    DrawSprite(sprite);
    FlushSprites();
    // Lower-left corner at (-40, -32) from the point: turned, (32, -40).
    EXPECT_EQ(CornerOf(0).x, 132.0f);
    EXPECT_EQ(CornerOf(0).y, 60.0f);
}

}  // namespace
