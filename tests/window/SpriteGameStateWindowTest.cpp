// Sprites under the state a game's own GL leaves on a real driver: pixel
// unpacking, an unpack buffer, another texture unit, a texture matrix.
#include "WindowTestSupport.h"

#include <cstddef>
#include <vector>

#if !defined(_WIN32)
#  include <GL/glx.h>
#endif
#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY  // Windows' GL header names it so
#endif

namespace {

using namespace qmtest;

// A GL entry point beyond GL 1.1, as a game looks it up (Windows hands them
// out for a current context only).
template <typename Proc>
Proc GLProc(const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(wglGetProcAddress(name)));
#else
    return reinterpret_cast<Proc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
#endif
}

class SpriteGameStateWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        OpenWindow();
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
    }
    // A red|green texture of 2 x 1 texels, drawn 80 x 40 at (20, 20).
    static void DrawRedGreen(Texture& t) {
        const unsigned char texels[8] = {255, 0, 0, 255, 0, 255, 0, 255};
        ASSERT_TRUE(t.LoadFromPixels(texels, 2, 1));
        t.SetSmooth(false);
        Sprite s;
        s.texture = &t;
        s.position = Vector2D(20, 20);
        s.size = Vector2D(80, 40);
        DrawSprite(s);
        FlushSprites();
    }
    static void ExpectRedGreen(const char* what) {
        const Pixel left = ReadPixel(40, 40), right = ReadPixel(80, 40);
        EXPECT_TRUE(left.r == 255 && left.g == 0 && left.b == 0)
            << what << ": left " << int(left.r) << "," << int(left.g) << "," << int(left.b);
        EXPECT_TRUE(right.r == 0 && right.g == 255 && right.b == 0)
            << what << ": right " << int(right.r) << "," << int(right.g) << "," << int(right.b);
    }
};

TEST_F(SpriteGameStateWindowTest, TheFirstUploadIgnoresTheGamesUnpackStateAndGivesItBack) {
    const GLenum parameters[] = {GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS,
                                 GL_UNPACK_ALIGNMENT};
    const GLint games[] = {7, 3, 2, 8};
    for (int i = 0; i < 4; ++i) glPixelStorei(parameters[i], games[i]);
    Texture t;
    DrawRedGreen(t);
    ExpectRedGreen("unpack parameters");
    for (int i = 0; i < 4; ++i) {
        GLint v = -1;
        glGetIntegerv(parameters[i], &v);
        EXPECT_EQ(v, games[i]) << "parameter " << parameters[i];
    }
    for (int i = 0; i < 4; ++i) glPixelStorei(parameters[i], i == 3 ? 4 : 0);

    // A pixel-unpack buffer bound: GL would read the image out of it.
    auto genBuffers = GLProc<void(GLAPIENTRY*)(GLsizei, GLuint*)>("glGenBuffers");
    auto bindBuffer = GLProc<void(GLAPIENTRY*)(GLenum, GLuint)>("glBindBuffer");
    auto bufferData = GLProc<void(GLAPIENTRY*)(GLenum, std::ptrdiff_t, const void*, GLenum)>("glBufferData");
    auto deleteBuffers = GLProc<void(GLAPIENTRY*)(GLsizei, const GLuint*)>("glDeleteBuffers");
    ASSERT_TRUE(genBuffers && bindBuffer && bufferData && deleteBuffers);
    const GLenum kUnpackBuffer = 0x88EC;
    GLuint buffer = 0;
    genBuffers(1, &buffer);
    bindBuffer(kUnpackBuffer, buffer);
    const std::vector<unsigned char> zeros(64, 0);
    bufferData(kUnpackBuffer, 64, zeros.data(), 0x88E4 /* GL_STATIC_DRAW */);
    Texture u;
    DrawRedGreen(u);
    ExpectRedGreen("unpack buffer");
    GLint bound = 0;
    glGetIntegerv(0x88EF /* GL_PIXEL_UNPACK_BUFFER_BINDING */, &bound);
    EXPECT_EQ(GLuint(bound), buffer);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    bindBuffer(kUnpackBuffer, 0);
    deleteBuffers(1, &buffer);
}

TEST_F(SpriteGameStateWindowTest, SpritesDrawOnUnitZeroWhateverUnitAndTextureMatrixTheGameLeft) {
    auto active = GLProc<void(GLAPIENTRY*)(GLenum)>("glActiveTexture");
    auto clientActive = GLProc<void(GLAPIENTRY*)(GLenum)>("glClientActiveTexture");
    ASSERT_TRUE(active && clientActive);
    const GLenum kTexture0 = 0x84C0, kTexture1 = 0x84C1;
    const struct {
        const char* what;
        GLenum server, client;
        bool matrix;
    } cases[] = {{"active unit 1", kTexture1, kTexture0, false},
                 {"client unit 1", kTexture0, kTexture1, false},
                 {"texture matrix", kTexture0, kTexture0, true}};
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        if (c.matrix) {
            glMatrixMode(GL_TEXTURE);
            glScalef(0.5f, 1.0f, 1.0f);  // the left texel only, if applied
            glMatrixMode(GL_MODELVIEW);
        }
        active(c.server);
        clientActive(c.client);
        Texture t;
        DrawRedGreen(t);
        ExpectRedGreen(c.what);
        GLint server = 0, client = 0;
        glGetIntegerv(0x84E0 /* GL_ACTIVE_TEXTURE */, &server);
        glGetIntegerv(0x84E1 /* GL_CLIENT_ACTIVE_TEXTURE */, &client);
        EXPECT_EQ(GLenum(server), c.server) << c.what;
        EXPECT_EQ(GLenum(client), c.client) << c.what;
        active(kTexture0);
        clientActive(kTexture0);
        if (c.matrix) {
            GLfloat m[16];
            glGetFloatv(GL_TEXTURE_MATRIX, m);
            EXPECT_EQ(m[0], 0.5f) << "the game's texture matrix is back";
            glMatrixMode(GL_TEXTURE);
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c.what;
    }
}

// A source beyond the image tiles a repeated texture, and draws nothing (with
// a report) from one that is not.
TEST_F(SpriteGameStateWindowTest, ASourceBeyondTheImageTilesOnlyARepeatedTexture) {
    const unsigned char texels[8] = {255, 0, 0, 255, 0, 255, 0, 255};
    Texture t;
    ASSERT_TRUE(t.LoadFromPixels(texels, 2, 1));
    t.SetSmooth(false);
    Sprite s;
    s.texture = &t;
    s.source = TextureRect{0, 0, 4, 1};  // twice the image's width
    s.position = Vector2D(20, 20);
    s.scale = Vector2D(20, 40);          // 80 x 40 pixels
    ClearDiagnostic();
    DrawSprite(s);
    FlushSprites();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SpriteIgnored) << "not repeated";
    const Pixel bare = ReadPixel(30, 40);
    EXPECT_TRUE(bare.r == 0 && bare.g == 0 && bare.b == 0) << "nothing drawn";

    t.SetRepeated(true);
    ClearDiagnostic();
    DrawSprite(s);
    FlushSprites();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    const int xs[4] = {30, 50, 70, 90};
    for (int i = 0; i < 4; ++i) {
        const Pixel p = ReadPixel(xs[i], 40);
        const bool red = i % 2 == 0;
        EXPECT_TRUE(p.r == (red ? 255 : 0) && p.g == (red ? 0 : 255) && p.b == 0)
            << "tile texel " << i << ": " << int(p.r) << "," << int(p.g) << "," << int(p.b);
    }
}

}  // namespace
