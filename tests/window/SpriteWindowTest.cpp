// Textures, sprites, shapes and the colour setter on a real GL context:
// pixels read back, state compared before and after, lifetime across windows.
#include "WindowTestSupport.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/StbImageWrite.h"

#if !defined(_WIN32)
#  include <GL/glx.h>
#endif
#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY  // Windows' GL header names it so
#endif

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif

namespace {

using namespace qmtest;

struct Rgb {
    int r, g, b;
};
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0};

// A 2 x 2 image, top row first: red, green / blue, white. Scaled by `block`
// so that lossy formats keep solid quarters.
std::vector<unsigned char> Quarters(int block) {
    const Rgb corners[4] = {kRed, kGreen, kBlue, kWhite};
    const int side = 2 * block;
    std::vector<unsigned char> rgba(std::size_t(side * side * 4));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const Rgb c = corners[(y / block) * 2 + x / block];
            unsigned char* p = &rgba[std::size_t((y * side + x) * 4)];
            p[0] = static_cast<unsigned char>(c.r);
            p[1] = static_cast<unsigned char>(c.g);
            p[2] = static_cast<unsigned char>(c.b);
            p[3] = 255;
        }
    return rgba;
}

// The same picture as a GIF made by hand: a 4-colour palette and the LZW
// codes CLEAR 0 1 2 3 END (3 bits, then 4 once the table reaches 8).
std::vector<unsigned char> QuartersGif() {
    return {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0,
            255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255,
            0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0,
            2, 3, 0x44, 0x34, 0x05, 0, 0x3B};
}

// A GL entry point beyond GL 1.1, as a game looks it up.
void* GLProc(const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(wglGetProcAddress(name));
#else
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
#endif
}

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "qm_sprite_" + name; }

class SpriteWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const std::vector<unsigned char> q = Quarters(1);
        ASSERT_TRUE(quarters.LoadFromPixels(q.data(), 2, 2));
        quarters.SetSmooth(false);
    }
    void StartFrame() {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
    }
    // An 80 x 80 drawing of the 2 x 2 image centred at (80, 80).
    static Sprite Big(const Texture& t) {
        Sprite s;
        s.texture = &t;
        s.size = Vector2D(80, 80);
        s.origin = Vector2D(40, 40);
        s.position = Vector2D(80, 80);
        return s;
    }
    static void ExpectPixel(int x, int y, Rgb want, int tolerance, const std::string& what) {
        const Pixel p = ReadPixel(x, y);
        EXPECT_NEAR(p.r, want.r, tolerance) << what << " at " << x << "," << y;
        EXPECT_NEAR(p.g, want.g, tolerance) << what << " at " << x << "," << y;
        EXPECT_NEAR(p.b, want.b, tolerance) << what << " at " << x << "," << y;
    }
    // The quarters of Big() at (60|100, 100|60): top-left, top-right,
    // bottom-left, bottom-right.
    static void ExpectQuarters(Rgb tl, Rgb tr, Rgb bl, Rgb br, int tolerance,
                               const std::string& what) {
        ExpectPixel(60, 100, tl, tolerance, what + " top-left");
        ExpectPixel(100, 100, tr, tolerance, what + " top-right");
        ExpectPixel(60, 60, bl, tolerance, what + " bottom-left");
        ExpectPixel(100, 60, br, tolerance, what + " bottom-right");
    }

    Texture quarters;
};

// [SECTION] Formats

TEST_F(SpriteWindowTest, EachFormatLoadsAndDrawsItsPixels) {
    const int block = 8;  // JPEG's blocks: solid quarters survive the compression
    const int side = 2 * block;
    const std::vector<unsigned char> image = Quarters(block);
    struct Format {
        const char* name;
        int tolerance;
    } formats[] = {{"png", 0}, {"bmp", 0}, {"tga", 0}, {"jpg", 40}, {"gif", 0}};
    const std::string base = TempPath("quarters.");
    ASSERT_TRUE(stbi_write_png((base + "png").c_str(), side, side, 4, image.data(), side * 4));
    ASSERT_TRUE(stbi_write_bmp((base + "bmp").c_str(), side, side, 4, image.data()));
    ASSERT_TRUE(stbi_write_tga((base + "tga").c_str(), side, side, 4, image.data()));
    ASSERT_TRUE(stbi_write_jpg((base + "jpg").c_str(), side, side, 4, image.data(), 100));
    const std::vector<unsigned char> gif = QuartersGif();
    std::FILE* f = std::fopen((base + "gif").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(gif.data(), 1, gif.size(), f);
    std::fclose(f);

    OpenWindow();
    for (const Format& format : formats) {
        Texture t;
        ASSERT_TRUE(t.LoadFromFile((base + format.name).c_str()))
            << format.name << ": " << GetLastDiagnosticMessage();
        t.SetSmooth(false);
        StartFrame();
        DrawSprite(Big(t));
        FlushSprites();
        ExpectQuarters(kRed, kGreen, kBlue, kWhite, format.tolerance, format.name);
        std::remove((base + format.name).c_str());
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// [SECTION] Orientation

TEST_F(SpriteWindowTest, RotationsAndFlipsPutEachCornerWhereItBelongs) {
    OpenWindow();
    struct Case {
        const char* what;
        float degrees;
        bool flipX, flipY;
        Rgb tl, tr, bl, br;
    } cases[] = {
        {"upright", 0, false, false, kRed, kGreen, kBlue, kWhite},
        {"90", 90, false, false, kGreen, kWhite, kRed, kBlue},
        {"180", 180, false, false, kWhite, kBlue, kGreen, kRed},
        {"-90", -90, false, false, kBlue, kRed, kWhite, kGreen},
        {"flipX", 0, true, false, kGreen, kRed, kWhite, kBlue},
        {"flipY", 0, false, true, kBlue, kWhite, kRed, kGreen},
    };
    for (const Case& c : cases) {
        StartFrame();
        Sprite s = Big(quarters);
        s.rotation = c.degrees;
        s.flipX = c.flipX;
        s.flipY = c.flipY;
        DrawSprite(s);
        FlushSprites();
        ExpectQuarters(c.tl, c.tr, c.bl, c.br, 0, c.what);
    }
    // 45 degrees: a diamond, each quarter turned towards the next side.
    StartFrame();
    Sprite s = Big(quarters);
    s.rotation = 45;
    DrawSprite(s);
    FlushSprites();
    ExpectPixel(52, 80, kRed, 0, "45: left");
    ExpectPixel(80, 108, kGreen, 0, "45: top");
    ExpectPixel(80, 52, kBlue, 0, "45: bottom");
    ExpectPixel(108, 80, kWhite, 0, "45: right");
    ExpectPixel(45, 45, kBlack, 0, "45: the old corner is bare");
}

// [SECTION] Source rectangles, tint, blending

TEST_F(SpriteWindowTest, SourceRectanglesTintAndAlpha) {
    OpenWindow();
    StartFrame();
    Sprite s;
    s.texture = &quarters;
    s.source = TextureRect{1, 0, 1, 1};  // top-right texel: green
    s.position = Vector2D(10, 10);
    s.scale = Vector2D(20, 20);
    DrawSprite(s);
    s.source = TextureRect{0, 1, 2, 1};  // bottom row: blue, white
    s.position = Vector2D(40, 10);
    DrawSprite(s);
    s.source = TextureRect{1, 1, 1, 1};  // white, tinted red
    s.position = Vector2D(90, 10);
    s.tint = Color4f{1, 0, 0, 1};
    DrawSprite(s);
    s.position = Vector2D(120, 10);
    s.tint = Color4f{1, 1, 1, 0.5f};  // half over black
    DrawSprite(s);
    FlushSprites();
    ExpectPixel(20, 20, kGreen, 0, "source top-right");
    ExpectPixel(50, 20, kBlue, 0, "source bottom row, left");
    ExpectPixel(70, 20, kWhite, 0, "source bottom row, right");
    ExpectPixel(100, 20, kRed, 0, "tint");
    ExpectPixel(130, 20, Rgb{128, 128, 128}, 2, "half alpha");

    // A transparent texel leaves what is under it; smooth sampling blends.
    const unsigned char clear[8] = {255, 255, 255, 0, 255, 255, 255, 0};
    Texture glass;
    ASSERT_TRUE(glass.LoadFromPixels(clear, 2, 1));
    SetColor(1, 0, 0);
    FillRect(Vector2D(200, 10), Vector2D(40, 40));
    Sprite pane;
    pane.texture = &glass;
    pane.position = Vector2D(200, 10);
    pane.size = Vector2D(40, 40);
    DrawSprite(pane);
    FlushSprites();
    ExpectPixel(220, 30, kRed, 0, "through a transparent texel");
}

// [SECTION] Shapes

TEST_F(SpriteWindowTest, ShapesFillInEitherWindingInTheCurrentColour) {
    OpenWindow();
    StartFrame();
    SetColor(Color4f{0, 1, 0, 1});
    FillTriangle(Vector2D(10, 10), Vector2D(50, 10), Vector2D(10, 50));  // counter-clockwise
    FillTriangle(Vector2D(60, 10), Vector2D(60, 50), Vector2D(100, 10));  // clockwise
    FillRect(Vector2D(150, 50), Vector2D(-40, -40));                      // clockwise
    FillRect(Vector2D(200, 30), Vector2D(40, 10), 90.0f, Vector2D(0, 0));  // stands up, left of x=200
    const Vector2D square[4] = {{250, 10}, {250, 50}, {290, 50}, {290, 10}};  // clockwise
    FillPolygon(square, 4);
    FillCircle(Vector2D(160, 150), 30.0f);
    FlushSprites();  // shapes are queued with the sprites; the read-back is the game's own GL
    ExpectPixel(20, 20, kGreen, 0, "CCW triangle");
    ExpectPixel(70, 20, kGreen, 0, "CW triangle");
    ExpectPixel(130, 30, kGreen, 0, "rect of negative size");
    ExpectPixel(195, 50, kGreen, 0, "rect turned 90 about its corner");
    ExpectPixel(205, 35, kBlack, 0, "nothing where it stood");
    ExpectPixel(270, 30, kGreen, 0, "CW polygon");
    ExpectPixel(160, 150, kGreen, 0, "circle centre");
    ExpectPixel(160, 178, kGreen, 0, "circle near its top");
    ExpectPixel(182, 172, kBlack, 0, "outside the circle");
    // Half alpha blends over what is there.
    SetColor(1, 1, 1, 0.5f);
    FillRect(Vector2D(10, 100), Vector2D(20, 20));
    FlushSprites();
    ExpectPixel(20, 110, Rgb{128, 128, 128}, 2, "half white over black");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// [SECTION] State

TEST_F(SpriteWindowTest, AGamesBufferObjectsDoNotChangeWhatSpritesAndShapesDraw) {
    OpenWindow();  // Windows hands out entry points for a current context only
    StartFrame();
    auto genBuffers = reinterpret_cast<void(GLAPIENTRY*)(GLsizei, GLuint*)>(GLProc("glGenBuffers"));
    auto bindBuffer = reinterpret_cast<void(GLAPIENTRY*)(GLenum, GLuint)>(GLProc("glBindBuffer"));
    auto bufferData = reinterpret_cast<void(GLAPIENTRY*)(GLenum, std::ptrdiff_t, const void*, GLenum)>(
        GLProc("glBufferData"));
    auto deleteBuffers =
        reinterpret_cast<void(GLAPIENTRY*)(GLsizei, const GLuint*)>(GLProc("glDeleteBuffers"));
    ASSERT_TRUE(genBuffers && bindBuffer && bufferData && deleteBuffers);
    const GLenum kArray = 0x8892, kElements = 0x8893;
    // The game's vertex array lives in one buffer; another array buffer and
    // an element buffer (both of zeros) are left bound.
    GLuint buffers[3] = {};
    genBuffers(3, buffers);
    const std::vector<unsigned char> zeros(4096, 0);
    bindBuffer(kArray, buffers[0]);
    bufferData(kArray, 4096, zeros.data(), 0x88E4 /* GL_STATIC_DRAW */);
    glVertexPointer(3, GL_FLOAT, 12, reinterpret_cast<const void*>(48));
    bindBuffer(kArray, buffers[1]);
    bufferData(kArray, 4096, zeros.data(), 0x88E4);
    bindBuffer(kElements, buffers[2]);
    bufferData(kElements, 4096, zeros.data(), 0x88E4);

    DrawSprite(Big(quarters));
    SetColor(1, 1, 0);
    FillRect(Vector2D(200, 20), Vector2D(40, 40));
    FlushSprites();
    ExpectQuarters(kRed, kGreen, kBlue, kWhite, 0, "sprite");
    ExpectPixel(220, 40, Rgb{255, 255, 0}, 0, "FillRect");
    GLint array = -1, elements = -1, vertexBuffer = -1;
    GLvoid* pointer = nullptr;
    glGetIntegerv(0x8894 /* GL_ARRAY_BUFFER_BINDING */, &array);
    glGetIntegerv(0x8895 /* GL_ELEMENT_ARRAY_BUFFER_BINDING */, &elements);
    glGetIntegerv(0x8896 /* GL_VERTEX_ARRAY_BUFFER_BINDING */, &vertexBuffer);
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(GLuint(array), buffers[1]);
    EXPECT_EQ(GLuint(elements), buffers[2]);
    EXPECT_EQ(GLuint(vertexBuffer), buffers[0]) << "the game's vertex array keeps its buffer";
    EXPECT_EQ(pointer, reinterpret_cast<GLvoid*>(48));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    bindBuffer(kArray, 0);
    bindBuffer(kElements, 0);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    deleteBuffers(3, buffers);
}

struct GLStateSnapshot {
    std::vector<double> values;
    bool operator==(const GLStateSnapshot& o) const { return values == o.values; }
};

GLStateSnapshot Snapshot() {
    GLStateSnapshot s;
    for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING,
                       GL_COLOR_MATERIAL})
        s.values.push_back(glIsEnabled(cap));
    for (GLenum array : {GLenum(GL_VERTEX_ARRAY), GLenum(GL_NORMAL_ARRAY),
                         GLenum(GL_TEXTURE_COORD_ARRAY), GLenum(GL_COLOR_ARRAY),
                         GLenum(GL_SECONDARY_COLOR_ARRAY)})
        s.values.push_back(glIsEnabled(array));
    for (GLenum name : {GL_BLEND_SRC, GL_BLEND_DST, GL_TEXTURE_BINDING_2D, GL_MATRIX_MODE,
                        GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_STRIDE, GL_COLOR_ARRAY_SIZE,
                        GL_TEXTURE_COORD_ARRAY_SIZE}) {
        GLint v = -1;
        glGetIntegerv(name, &v);
        s.values.push_back(v);
    }
    GLint envMode = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    s.values.push_back(envMode);
    GLfloat f[4];
    for (GLenum name : {GL_CURRENT_COLOR, GL_CURRENT_TEXTURE_COORDS}) {
        glGetFloatv(name, f);
        s.values.insert(s.values.end(), f, f + 4);
    }
    for (GLenum name : {GL_VERTEX_ARRAY_POINTER, GL_TEXTURE_COORD_ARRAY_POINTER,
                        GL_COLOR_ARRAY_POINTER}) {
        GLvoid* p = nullptr;
        glGetPointerv(name, &p);
        s.values.push_back(double(reinterpret_cast<std::uintptr_t>(p)));
    }
    return s;
}

TEST_F(SpriteWindowTest, EachCallLeavesTheStateAsItFoundIt) {
    OpenWindow();
    StartFrame();
    // Open's state, with a game's own colour, binding, texcoord and texture
    // environment (which must not change how sprites draw).
    SetColor(0.25f, 0.5f, 0.75f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    glTexCoord2f(0.5f, 0.25f);
    GLuint own = 0;
    glGenTextures(1, &own);
    glBindTexture(GL_TEXTURE_2D, own);
    const GLStateSnapshot before = Snapshot();
    struct Call {
        const char* what;
        void (*draw)(const Texture&);
    } calls[] = {
        {"sprite", [](const Texture& t) { DrawSprite(t, Vector2D(5, 5)); FlushSprites(); }},
        {"FillRect", [](const Texture&) { FillRect(Vector2D(5, 5), Vector2D(9, 9), 30); }},
        {"FillCircle", [](const Texture&) { FillCircle(Vector2D(50, 50), 9); }},
        {"FillTriangle", [](const Texture&) { FillTriangle({0, 0}, {0, 9}, {9, 0}); }},
        {"FillPolygon", [](const Texture&) {
             const Vector2D p[3] = {{0, 0}, {9, 0}, {0, 9}};
             FillPolygon(p, 3);
         }},
    };
    for (const Call& call : calls) {
        call.draw(quarters);
        EXPECT_TRUE(Snapshot() == before) << call.what;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << call.what;
    }
    // A line after a tinted sprite has the game's colour, not the tint.
    Sprite s = Big(quarters);
    s.source = TextureRect{1, 1, 1, 1};
    s.tint = Color4f{0, 0, 1, 1};
    DrawSprite(s);
    glDisable(GL_TEXTURE_2D);
    SetColor(1, 1, 0);
    DrawLine(Vector2D(200, 200), Vector2D(300, 200), 3.0f);
    ExpectPixel(80, 80, kBlue, 0, "the sprite first, tinted under the game's GL_ADD");
    ExpectPixel(250, 200, Rgb{255, 255, 0}, 0, "the line in the game's colour");
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDeleteTextures(1, &own);
}

// [SECTION] Lifetime

TEST_F(SpriteWindowTest, TexturesLoadedBeforeOpenDrawAndSurviveCloseAndOpen) {
    const std::vector<unsigned char> q = Quarters(1);
    Texture early;
    ASSERT_TRUE(early.LoadFromPixels(q.data(), 2, 2));  // no window yet
    early.SetSmooth(false);
    for (int round = 0; round < 2; ++round) {
        OpenWindow();
        StartFrame();
        DrawSprite(Big(early));
        DrawSprite(Big(quarters));  // a texture change: the first sprite is drawn
        FlushSprites();
        ExpectQuarters(kRed, kGreen, kBlue, kWhite, 0, round ? "after Close and Open" : "first");
        DrawSprite(Big(early));  // queued, then dropped by Close
        Core::Window.Close();
        DrawSprite(Big(early));  // no window: nothing, no crash
        FlushSprites();
    }
}

}  // namespace
