// Sprites, textures and shapes against the recording GL: what reaches GL and
// in which order, the state left behind, the context lifetime, bad images.
#include "Diagnostics.h"
#include "Draw2D.h"
#include "RenderingManager.h"
#include "Screenshot.h"
#include "Shapes.h"
#include "Sprite.h"
#include "Texture.h"
#include "WindowManager.h"

#include "fakes/Fakes.h"
#include "draw2d/SpriteBatch.h"
#include "draw2d/TextureAccess.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <cstdio>
#include <string>
#include <vector>

#include "support/AllocationCounter.h"

#include "support/StbImageWrite.h"

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif

namespace {

// How the batch sends quads: as they are on desktop GL, as two indexed
// triangles each where WebGL has no quads.
// Lines go as they are, or through glBegin/glEnd where the web's GL layer
// widens only those.
#if defined(__EMSCRIPTEN__)
const char* const kQuadDraw = "glDrawElements";
const char* const kLineDraw = "glBegin";
double Quads(const fake::Call& c) { return c.args[1] / 6; }
#else
const char* const kQuadDraw = "glDrawArrays";
const char* const kLineDraw = "glDrawArrays";
double Quads(const fake::Call& c) { return c.args[2] / 4; }
#endif

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data),
                static_cast<unsigned char*>(data) + size);
}

std::vector<unsigned char> Png(int width, int height) {
    std::vector<unsigned char> rgba(std::size_t(width * height * 4), 200), out;
    stbi_write_png_to_func(Append, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

// Writes the big-endian 32-bit v at p.
void Put32(unsigned char* p, unsigned v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        ASSERT_TRUE(window.Open());
        const unsigned char pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255,
                                          0, 0, 255, 255, 255, 255, 255, 128};
        ASSERT_TRUE(a.LoadFromPixels(pixels, 2, 2));
        ASSERT_TRUE(b.LoadFromPixels(pixels, 1, 1));
        fake::log.clear();
    }
    void TearDown() override {
        FlushSprites();
        window.Close();
    }
    static std::size_t IndexOf(const std::string& name, std::size_t from = 0) {
        for (std::size_t i = from; i < fake::log.size(); ++i)
            if (fake::log[i].name == name) return i;
        return fake::log.size();
    }

    WindowManager window;
    Texture a, b;
};

// [SECTION] Batching and order

TEST_F(SpriteTest, OneTextureGoesToGLInOneDrawAndTheLibrarysCallsKeepTheirOrder) {
    for (int i = 0; i < 100; ++i) DrawSprite(a, Vector2D(float(i), 0));
    DrawSprite(b, Vector2D(0, 0));
    EXPECT_EQ(fake::Count(kQuadDraw), 0u) << "queued, not drawn one by one";
    EXPECT_EQ(fake::Count("glBegin"), 0u);
    EXPECT_EQ(fake::Count("glTexImage2D"), 2u) << "each texture uploaded once";

    DrawLine(Vector2D(0, 0), Vector2D(1, 1), 1.0f);
    std::vector<fake::Call> draws = fake::CallsNamed(kQuadDraw);
    ASSERT_EQ(draws.size(), 2u) << "one draw per texture";
    EXPECT_EQ(Quads(draws[0]), 100.0);
    EXPECT_EQ(Quads(draws[1]), 1.0);
#if !defined(__EMSCRIPTEN__)
    EXPECT_EQ(draws[0].args, (std::vector<double>{GL_QUADS, 0, 400})) << "quads, not indexed";
#endif
    EXPECT_LT(IndexOf(kQuadDraw, IndexOf(kQuadDraw) + 1), IndexOf("glBegin"));
    // Every non-batched call draws the queue before its own GL (its marker).
    RenderingManager renderer;
    renderer.Init(&window, nullptr, nullptr, nullptr, nullptr);
    struct Hook {
        const char* marker;
        void (*call)(RenderingManager&);
    } hooks[] = {
        {"glBegin", [](RenderingManager&) { DrawCircle(Vector2D(), 1, 1); }},
        {"glOrtho", [](RenderingManager& r) { r.Render2D(); }},
        {"gluPerspective", [](RenderingManager& r) { r.Render3D(); }},
        {"glClear", [](RenderingManager& r) { r.BeginFrame(); }},
        {"glfwSwapBuffers", [](RenderingManager& r) { r.EndFrame(); }},
        {"glReadPixels", [](RenderingManager&) { SaveScreenshot("/nonexistent/dir/x.png"); }},
    };
    for (const Hook& hook : hooks) {
        DrawSprite(a, Vector2D(0, 0));
        fake::log.clear();
        hook.call(renderer);
        EXPECT_LT(IndexOf(kQuadDraw), IndexOf(hook.marker)) << hook.marker;
        EXPECT_LT(IndexOf(hook.marker), fake::log.size()) << hook.marker;
    }
}

// DrawSprite(texture, position) places its quad exactly as the general
// DrawSprite(sprite) does, at any position; a position it cannot place is
// reported as the general call reports it.
TEST_F(SpriteTest, TheShortSpriteCallPlacesAsTheGeneralOne) {
    const float inf = std::numeric_limits<float>::infinity();
    const Vector2D positions[] = {{0, 0},         {-0.0f, -0.0f},  {3.25f, -7.5f},
                                  {0.1f, 0.7f},   {16777215, 3},   {-1e30f, 1e30f},
                                  {3.4e38f, 0},   {inf, 0},        {0, std::nanf("")}};
    for (const Vector2D& p : positions) {
        Sprite general;
        general.texture = &a;
        general.position = p;
        ClearDiagnostic();
        DrawSprite(general);
        const Diagnostic generalReport = GetLastDiagnostic();
        ClearDiagnostic();
        DrawSprite(a, p);
        EXPECT_EQ(GetLastDiagnostic(), generalReport) << p.x << ", " << p.y;
        fake::drawn.clear();
        FlushSprites();
#if !defined(__EMSCRIPTEN__)
        if (generalReport != Diagnostic::Nothing) {
            EXPECT_TRUE(fake::drawn.empty());
            continue;
        }
        ASSERT_EQ(fake::drawn.size(), 1u);
        const fake::Drawn& d = fake::drawn[0];
        ASSERT_EQ(d.vertices.size(), 8u);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(d.vertices[std::size_t(k + 4)], d.vertices[std::size_t(k)]) << p.x << ", " << p.y;
            EXPECT_EQ(d.colours[std::size_t(k + 4)], d.colours[std::size_t(k)]);
        }
#endif
    }
}

// Shapes and text join the sprites' queue: one GL draw for each run of one
// texture (or none) or of lines of one width, in the order of the calls, each
// vertex in the colour current at its call.
TEST_F(SpriteTest, ShapesAndTextAreQueuedWithTheSpritesInCallOrder) {
    SetColor(1, 0, 0);
    FillRect(Vector2D(0, 0), Vector2D(2, 2));
    glColor4f(0, 0, 1, 1);  // the game's own colour call counts too
    FillTriangle({0, 0}, {1, 0}, {0, 1});
    DrawSprite(a, Vector2D(0, 0));
    DrawSprite(a, Vector2D(1, 0));
    FillCircle(Vector2D(5, 5), 4.0f);
    DrawString("-", Vector2D(0, 0), 6.0f, 2.0f);
    DrawString("-", Vector2D(0, 9), 6.0f, 2.0f);
    EXPECT_EQ(fake::Count(kQuadDraw) + fake::Count(kLineDraw), 0u);
    FlushSprites();
    std::vector<std::string> draws;
    for (const fake::Call& c : fake::log)
        if (c.name == kQuadDraw || c.name == kLineDraw || c.name == "glLineWidth")
            draws.push_back(c.name);
    const std::string q = kQuadDraw;
    EXPECT_EQ(draws, (std::vector<std::string>{q, q, q, "glLineWidth", kLineDraw}));
#if !defined(__EMSCRIPTEN__)
    ASSERT_EQ(fake::drawn.size(), 4u);
    const fake::Drawn& shapes = fake::drawn[0];
    ASSERT_EQ(shapes.vertices.size(), 8u) << "a rect and a triangle, one quad each";
    EXPECT_EQ(shapes.colours[0], (std::array<int, 4>{{255, 0, 0, 255}}));
    EXPECT_EQ(shapes.colours[4], (std::array<int, 4>{{0, 0, 255, 255}}));
    EXPECT_EQ(shapes.vertices[7], shapes.vertices[6]) << "a triangle repeats its last corner";
    EXPECT_EQ(fake::drawn[1].vertices.size(), 8u) << "both sprites";
    // The circle: 9 segments at radius 4, two to a quad around the centre,
    // the odd last one a quad with a repeated corner, closed at the first.
    const std::vector<std::array<float, 3>>& circle = fake::drawn[2].vertices;
    ASSERT_EQ(circle.size(), 20u);
    EXPECT_EQ(circle[0], (std::array<float, 3>{{5, 5, -4}}));
    EXPECT_EQ(circle[1], (std::array<float, 3>{{9, 5, -4}}));
    EXPECT_EQ(circle[3], circle[5]) << "quads share their rim points";
    EXPECT_EQ(circle[18], circle[1]);
    EXPECT_EQ(circle[19], circle[1]);
    EXPECT_EQ(fake::drawn[3].mode, unsigned(GL_LINES));
    EXPECT_EQ(fake::drawn[3].vertices.size(), 4u) << "both strings, one draw";
    EXPECT_EQ(fake::drawn[3].colours[0], (std::array<int, 4>{{0, 0, 255, 255}}));
#endif
    EXPECT_EQ(fake::CallsNamed("glLineWidth")[0].args, (std::vector<double>{2}));
}

// Circles of different sizes in turn each take their own number of rim
// points (the rim directions are kept from one circle to the next).
TEST_F(SpriteTest, CirclesOfDifferentSizesInTurnKeepTheirOwnRims) {
    const Color4f green{0, 1, 0, 1};
    FillCircle(Vector2D(50, 50), 4.0f, green);
    FillCircle(Vector2D(50, 50), 40.0f, green);
    FillCircle(Vector2D(50, 50), 4.0f, green);
    FlushSprites();
#if !defined(__EMSCRIPTEN__)
    ASSERT_EQ(fake::drawn.size(), 1u);
    const std::vector<std::array<float, 3>>& v = fake::drawn[0].vertices;
    const std::size_t small = 20, large = v.size() - 2 * small;
    ASSERT_GT(large, 2 * small);
    for (std::size_t i = 0; i < small; ++i) EXPECT_EQ(v[i], v[small + large + i]) << i;
    for (std::size_t i = small; i < small + large; ++i) {
        if (i % 4 == 0) continue;  // the centre
        EXPECT_NEAR(std::hypot(v[i][0] - 50.0f, v[i][1] - 50.0f), 40.0f, 1e-3f) << i;
    }
#endif
}

// Shapes in a colour of their own neither set nor read GL's colour, draw in
// theirs, and a bad one draws nothing.
TEST_F(SpriteTest, ShapesInTheirOwnColourLeaveTheCurrentColourAlone) {
    SetColor(0, 0, 1);
    fake::log.clear();
    const Vector2D square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    FillRect(Vector2D(0, 0), Vector2D(2, 2), Color4f{1, 0, 0, 1}, 30.0f);
    FillCircle(Vector2D(5, 5), 4.0f, Color4f{0, 1, 0, 1});
    FillTriangle({0, 0}, {1, 0}, {0, 1}, Color4f{1, 1, 0, 0.5f});
    FillPolygon(square, 4, Color4f{0, 1, 1, 1});
    FillRect(Vector2D(0, 0), Vector2D(2, 2), Color4f{1, 2, 0, 1});
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ColorIgnored);
    EXPECT_EQ(fake::Count("glColor4f"), 0u);
    for (const fake::Call& c : fake::CallsNamed("glGetFloatv"))
        EXPECT_NE(c.args[0], double(GL_CURRENT_COLOR));
    FlushSprites();
    ASSERT_EQ(fake::Count(kQuadDraw), 1u);
#if !defined(__EMSCRIPTEN__)
    ASSERT_EQ(fake::drawn.size(), 1u);
    const fake::Drawn& d = fake::drawn[0];
    ASSERT_EQ(d.vertices.size(), 4u * (1 + 5 + 1 + 2)) << "the bad colour's rect is not drawn";
    EXPECT_EQ(d.colours[0], (std::array<int, 4>{{255, 0, 0, 255}}));
    EXPECT_EQ(d.colours[4], (std::array<int, 4>{{0, 255, 0, 255}}));
    EXPECT_EQ(d.colours[24], (std::array<int, 4>{{255, 255, 0, 128}}));
    EXPECT_EQ(d.colours[28], (std::array<int, 4>{{0, 255, 255, 255}}));
#endif
    float current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(current[2], 1.0f) << "the current colour is the game's";
}

// Another module's textured quads (a font's glyphs) join the sprites of the
// same texture in one draw, each in its own colour.
TEST_F(SpriteTest, AnotherModulesQuadsJoinTheSpritesOfTheirTexture) {
    DrawSprite(a, Vector2D(0, 0));
    const unsigned name = 1;  // a's GL name, the first made
    const float red[4] = {1, 0, 0, 1};
    EXPECT_EQ(qmsprite::Quads(name, 0, red), nullptr);
    EXPECT_EQ(qmsprite::Quads(name, qmsprite::kMaxQuads + 1, red), nullptr);
    qmsprite::Vertex* v = qmsprite::Quads(name, 2, red);
    ASSERT_NE(v, nullptr);
    for (int i = 0; i < 8; ++i) {
        v[i].x = float(i), v[i].y = 0, v[i].z = qmsprite::kDepth;
        v[i].s = v[i].t = 0;
    }
    FlushSprites();
    ASSERT_EQ(fake::Count(kQuadDraw), 1u);
    EXPECT_EQ(Quads(fake::CallsNamed(kQuadDraw)[0]), 3.0);
    EXPECT_TRUE(fake::gl.atDraw.colorArray) << "white and red quads";
#if !defined(__EMSCRIPTEN__)
    ASSERT_EQ(fake::drawn.size(), 1u);
    EXPECT_EQ(fake::drawn[0].colours[0], (std::array<int, 4>{{255, 255, 255, 255}}));
    EXPECT_EQ(fake::drawn[0].colours[4], (std::array<int, 4>{{255, 0, 0, 255}}));
    EXPECT_EQ(fake::drawn[0].vertices[11][0], 7.0f);
#endif
}

TEST_F(SpriteTest, AFullQueueDrawsAndStartsAgain) {
    for (int i = 0; i < 9000; ++i) DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    std::vector<fake::Call> draws = fake::CallsNamed(kQuadDraw);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(Quads(draws[0]) + Quads(draws[1]), 9000.0);
    EXPECT_LE(Quads(draws[0]), 65536.0 / 4) << "indices fit unsigned short";

    // Runs of one sprite each, more than the queue keeps: drawn in order.
    fake::log.clear();
    for (int i = 0; i < 2500; ++i) DrawSprite(i % 2 ? b : a, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 2500u);
    std::vector<double> binds;
    for (const fake::Call& c : fake::log)
        if (c.name == "glBindTexture" && c.args[1] != 0) binds.push_back(c.args[1]);
    ASSERT_GE(binds.size(), 2500u);
    for (std::size_t i = 1; i < binds.size(); ++i) EXPECT_NE(binds[i], binds[i - 1]) << i;
}

// A game that moves the matrices under queued sprites is told, and the
// sprites keep the matrices they were queued under.
TEST_F(SpriteTest, MatricesChangedUnderQueuedSpritesAreReportedAndUndone) {
    DrawSprite(a, Vector2D(0, 0));
    glTranslatef(5, 0, 0);
    fake::gl.modelview.Top()[12] = 5;  // the fake's translate only records
    fake::log.clear();
    FlushSprites();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SpritesFlushedLate);
    EXPECT_LT(IndexOf("glLoadMatrixf"), IndexOf(kQuadDraw));
    EXPECT_EQ(fake::gl.modelview.Top()[12], 5.0f) << "the game's matrix is back";
}

// [SECTION] GL state

TEST_F(SpriteTest, SpritesAndShapesDrawInTheirStateAndLeaveTheStateAsFound) {
    // As Open leaves it, plus a game's own colour, blend, binding and
    // texture environment.
    SetColor(0.25f, 0.5f, 0.75f, 1.0f);
    glBlendFunc(GL_ONE, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, 77);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    const GLenum caps[] = {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING,
                           GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY,
                           GL_COLOR_ARRAY, GL_SECONDARY_COLOR_ARRAY};
    auto snapshot = [&] {
        std::vector<double> s;
        for (GLenum cap : caps) s.push_back(fake::Enabled(cap));
        s.push_back(fake::gl.blendSrc);
        s.push_back(fake::gl.blendDst);
        s.push_back(fake::gl.boundTexture);
        s.push_back(fake::gl.texEnvMode);
        for (float c : fake::gl.color) s.push_back(c);
        for (float t : fake::gl.texcoord) s.push_back(t);
        s.push_back(double(reinterpret_cast<std::uintptr_t>(fake::gl.vertexArray.pointer)));
        s.push_back(double(reinterpret_cast<std::uintptr_t>(fake::gl.texcoordArray.pointer)));
        return s;
    };
    const std::vector<double> before = snapshot();

    Sprite sprite;
    sprite.texture = &a;
    sprite.tint = Color4f{0, 1, 0, 0.5f};
    DrawSprite(sprite);
    FlushSprites();
    const fake::GLMatrices::StateAtDraw& d = fake::gl.atDraw;
    EXPECT_FALSE(d.colorArray) << "one tint: one colour for the batch";
    EXPECT_EQ(d.texEnvMode, GL_MODULATE) << "the tint multiplies, whatever the game's mode";
    EXPECT_EQ(snapshot(), before) << "after a sprite of one tint";
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(d.texEnvMode, GL_REPLACE) << "opaque white: the texels as they are";
    EXPECT_EQ(snapshot(), before) << "after an untinted sprite";
    DrawSprite(sprite);
    sprite.tint = Color4f{1, 0, 0, 1};
    DrawSprite(sprite);
    FlushSprites();
    EXPECT_TRUE(d.texture && d.blend && d.vertexArray && d.texcoordArray && d.colorArray);
    EXPECT_FALSE(d.depthTest || d.cullFace || d.lighting);
    EXPECT_FALSE(d.normalArray || d.secondaryColorArray) << "arrays without pointers";
    EXPECT_EQ(d.blendSrc, GL_SRC_ALPHA);
    EXPECT_EQ(d.blendDst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(d.boundTexture, 1) << "the sprite's texture, the first name made";
    EXPECT_EQ(d.texEnvMode, GL_MODULATE) << "tints per sprite";
    EXPECT_EQ(snapshot(), before) << "after a sprite";

    FillRect(Vector2D(1, 1), Vector2D(3, 3), 30.0f);
    FlushSprites();
    EXPECT_FALSE(d.texture || d.depthTest || d.cullFace || d.texcoordArray || d.colorArray ||
                 d.normalArray);
    EXPECT_TRUE(d.vertexArray);
    EXPECT_FALSE(d.blend) << "opaque and untextured: blending would give the colour itself";
    FillRect(Vector2D(1, 1), Vector2D(3, 3), Color4f{1, 0, 0, 0.5f});
    FlushSprites();
    EXPECT_TRUE(d.blend) << "translucent";
    FillCircle(Vector2D(5, 5), 4.0f);
    FillPolygon(std::vector<Vector2D>{{0, 0}, {0, 5}, {5, 5}, {5, 0}}.data(), 4);
    FlushSprites();
    EXPECT_EQ(snapshot(), before) << "after the shapes";
    // Text too, whatever depth the game left in the buffer.
    DrawString("A", Vector2D(0, 0), 6.0f);
    FlushSprites();
    EXPECT_FALSE(d.texture || d.depthTest || d.cullFace || d.lighting);
    EXPECT_EQ(snapshot(), before) << "after the text";
}

TEST_F(SpriteTest, AGamesBufferObjectsAreSetAsideForTheDrawAndPutBack) {
    // A context without buffer objects is not asked about them (GL would
    // count the unknown tokens as errors).
    fake::pixels.version = "1.4";
    window.Close();
    ASSERT_TRUE(window.Open());
    FillRect(Vector2D(1, 1), Vector2D(3, 3));
    FlushSprites();
    for (const fake::Call& c : fake::log)
        EXPECT_FALSE(c.name == "glGetIntegerv" && c.args[0] >= 0x8894 && c.args[0] <= 0x889A);
    EXPECT_EQ(fake::Count("glGenBuffers") + fake::Count("glBufferData"), 0u);
    EXPECT_EQ(fake::gl.atDraw.vertices.buffer, 0) << "read from client memory";

    // A GL 2.1 context; the game's vertex array lives in buffer 5, and
    // buffers 7 and 6 are bound.
    fake::pixels.version = "2.1";
    window.Close();
    ASSERT_TRUE(window.Open());
    fake::gl.arrayBuffer = 5;
    glVertexPointer(2, GL_FLOAT, 8, reinterpret_cast<const void*>(16));
    fake::gl.arrayBuffer = 7;
    fake::gl.elementArrayBuffer = 6;
    const fake::GLMatrices::StateAtDraw& d = fake::gl.atDraw;
    auto expectPutBack = [&](const char* what) {
        EXPECT_TRUE(d.arrayBuffer != 5 && d.arrayBuffer != 7)
            << what << ": the library's vertices, not the game's buffers";
        EXPECT_EQ(d.vertices.buffer, d.arrayBuffer) << what;
        EXPECT_EQ(d.elementArrayBuffer, 0) << what;
        EXPECT_EQ(fake::gl.arrayBuffer, 7) << what;
        EXPECT_EQ(fake::gl.elementArrayBuffer, 6) << what;
#if !defined(__EMSCRIPTEN__)  // the web's GL reads every array from the buffer bound at the draw
        EXPECT_EQ(fake::gl.vertexArray.buffer, 5) << what << ": the pointer's own buffer";
#endif
        EXPECT_EQ(fake::gl.vertexArray.pointer, reinterpret_cast<const void*>(16)) << what;
    };
    fake::drawn.clear();
    DrawSprite(a, Vector2D(0, 0));
    FlushSprites();
    expectPutBack("sprite");
    FillRect(Vector2D(1, 1), Vector2D(3, 3));
    FlushSprites();
    expectPutBack("FillRect");
#if !defined(__EMSCRIPTEN__)
    // What was drawn came from the library's own buffer object.
    ASSERT_EQ(fake::drawn.size(), 2u);
    EXPECT_EQ(fake::drawn[0].vertices[2], (std::array<float, 3>{{2, 2, -4}})) << "the 2 x 2 sprite";
    EXPECT_EQ(fake::drawn[1].vertices[2], (std::array<float, 3>{{4, 4, -4}})) << "the rectangle";
#endif
}

// [SECTION] Context lifetime

TEST_F(SpriteTest, NoGLCallWithoutAWindowAndTexturesUploadAgainInANewContext) {
    DrawSprite(a, Vector2D(0, 0));
    window.Close();
    fake::log.clear();
    Texture early;
    const unsigned char pixel[4] = {1, 2, 3, 4};
    ASSERT_TRUE(early.LoadFromPixels(pixel, 1, 1));
    DrawSprite(a, Vector2D(0, 0));
    DrawSprite(early, Vector2D(0, 0));
    FlushSprites();
    FillCircle(Vector2D(5, 5), 4.0f);
    SetColor(1, 0, 0);
    a.SetSmooth(false);
    { Texture gone = std::move(a); }  // destroyed after Close: the name is only forgotten
    for (const fake::Call& c : fake::log)
        EXPECT_TRUE(c.name.rfind("gl", 0) != 0 || c.name.rfind("glfw", 0) == 0)
            << c.name << " without a window";

    ASSERT_TRUE(window.Open());
    fake::log.clear();
    DrawSprite(early, Vector2D(0, 0));
    DrawSprite(b, Vector2D(0, 0));
    FlushSprites();
    EXPECT_EQ(fake::Count("glTexImage2D"), 2u) << "uploaded in the new context";
    EXPECT_EQ(fake::Count(kQuadDraw), 2u);
    fake::log.clear();
    { Texture gone = std::move(early); }
    EXPECT_EQ(fake::Count("glDeleteTextures"), 1u) << "deleted in its own context";

    // A texture reloaded or destroyed under queued sprites draws them first,
    // with the image they were queued with.
    DrawSprite(b, Vector2D(0, 0));
    fake::log.clear();
    const unsigned char other[4] = {9, 9, 9, 9};
    ASSERT_TRUE(b.LoadFromPixels(other, 1, 1));
    EXPECT_EQ(fake::Count(kQuadDraw), 1u) << "reloaded";
    DrawSprite(b, Vector2D(0, 0));
    fake::log.clear();
    { Texture gone = std::move(b); }
    EXPECT_LT(IndexOf(kQuadDraw), IndexOf("glDeleteTextures")) << "destroyed";
}

// [SECTION] Bad input

TEST_F(SpriteTest, EachBadImageFailsWithItsCodeAndKeepsTheOldImage) {
    Texture t;
    std::vector<unsigned char> png = Png(4, 3);
    ASSERT_TRUE(t.LoadFromMemory(png.data(), png.size()));
    EXPECT_EQ(t.GetWidth(), 4);

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        Diagnostic code;
    };
    std::vector<unsigned char> truncated(png.begin(), png.begin() + long(png.size() / 2));
    std::vector<unsigned char> corrupt = png;
    for (std::size_t i = 40; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5a;
    const std::string webp = "RIFF\x24\0\0\0WEBPVP8 ";
    std::vector<Case> cases = {
        {"truncated", truncated, Diagnostic::TextureCorrupt},
        {"corrupt", corrupt, Diagnostic::TextureCorrupt},
        {"webp", std::vector<unsigned char>(webp.begin(), webp.end()),
         Diagnostic::TextureFormatUnsupported},
        {"text", std::vector<unsigned char>(40, 'x'), Diagnostic::TextureFormatUnsupported},
    };
    // Headers claiming sides of 60000, of 2^24 (stb's own limit) and of 8000
    // (within every limit, but far more than the file's bytes can hold):
    // refused before decoding.
    for (unsigned side : {60000u, 1u << 24, 8000u}) {
        std::vector<unsigned char> huge = png;
        Put32(&huge[16], side);
        Put32(&huge[20], side);
        cases.push_back({"huge", huge, Diagnostic::TextureTooLarge});
    }
    // Within the library's limit but above this GL's.
    std::vector<unsigned char> wide = Png(fake::gl.maxTextureSize + 1, 1);
    cases.push_back({"above GL", wide, Diagnostic::TextureTooLargeForGL});

    for (const Case& c : cases) {
        ClearDiagnostic();
        qmdetail::ResetDecoderAllocationRecord();
        EXPECT_FALSE(t.LoadFromMemory(c.bytes.data(), c.bytes.size(), c.what)) << c.what;
        EXPECT_EQ(GetLastDiagnostic(), c.code) << c.what;
        EXPECT_NE(std::string(GetLastDiagnosticMessage()).find(c.what), std::string::npos)
            << GetLastDiagnosticMessage();
        EXPECT_LT(qmdetail::LargestDecoderAllocation(), std::size_t(1) << 20) << c.what;
        EXPECT_EQ(t.GetWidth(), 4) << c.what << ": the old image stays";
    }
    // The record sees real decoding (so the check above can fail).
    std::vector<unsigned char> big = Png(600, 600);
    qmdetail::ResetDecoderAllocationRecord();
    EXPECT_TRUE(t.LoadFromMemory(big.data(), big.size()));
    EXPECT_GE(qmdetail::LargestDecoderAllocation(), std::size_t(600 * 600 * 4));

    EXPECT_FALSE(t.LoadFromFile("/nonexistent/dir/sprite.png"));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureFileUnreadable);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("/nonexistent/dir/sprite.png"),
              std::string::npos);
    EXPECT_FALSE(t.LoadFromFile("/"));  // a directory opens but does not read
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureFileUnreadable);
    EXPECT_FALSE(t.LoadFromMemory(png.data(), 0));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureCorrupt);
    EXPECT_FALSE(t.LoadFromMemory(nullptr, 10));
    EXPECT_FALSE(t.LoadFromPixels(nullptr, 1, 1));
    EXPECT_FALSE(t.LoadFromPixels(png.data(), 0, 1));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureArgumentIgnored);

    // A texture with no image draws nothing.
    Texture none;
    fake::log.clear();
    DrawSprite(none, Vector2D(0, 0));
    Sprite nowhere;
    DrawSprite(nowhere);
    FlushSprites();
    EXPECT_EQ(fake::Count(kQuadDraw), 0u);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SpriteIgnored);
}

// A source rectangle whose far edge lies beyond int: texture coordinates far
// outside the image of a repeated texture, still drawn (no overflow on the way).
TEST_F(SpriteTest, ASourceReachingBeyondIntIsDrawn) {
    a.SetRepeated(true);
    Sprite sprite;
    sprite.texture = &a;
    for (TextureRect source : {TextureRect{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                               TextureRect{-93, INT_MIN, INT_MIN + 1, -1}}) {
        sprite.source = source;
        DrawSprite(sprite);
    }
    FlushSprites();
    ASSERT_EQ(fake::Count(kQuadDraw), 1u);
    EXPECT_EQ(Quads(fake::CallsNamed(kQuadDraw)[0]), 2.0);
}

TEST_F(SpriteTest, BadColoursAndPolygonsAreIgnored) {
    SetColor(0.5f, 0.5f, 0.5f, 0.5f);
    SetColor(0.1f, std::nanf(""), 0.1f, 1.0f);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ColorIgnored);
    SetColor(Color4f{0.1f, 0.1f, 1.5f, 1.0f});
    EXPECT_EQ(fake::gl.color, (std::array<float, 4>{{0.5f, 0.5f, 0.5f, 0.5f}}));
    fake::log.clear();
    const Vector2D two[2] = {{0, 0}, {1, 1}};
    FillPolygon(two, 2);
    FillPolygon(nullptr, 5);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ShapeIgnored);
    FlushSprites();
    EXPECT_EQ(fake::Count("glDrawArrays") + fake::Count("glDrawElements"), 0u);
}

// [SECTION] Cost

TEST_F(SpriteTest, AWarmFrameOfSpritesAndShapesAllocatesNothing) {
    RenderingManager renderer;
    renderer.Init(&window, nullptr, nullptr, nullptr, nullptr);
    std::vector<Vector2D> hexagon;
    for (int i = 0; i < 6; ++i) hexagon.emplace_back(float(i % 3), float(i / 3));
    auto frame = [&] {
        renderer.BeginFrame();
        renderer.Render2D();
        for (int i = 0; i < 6000; ++i) DrawSprite(i % 50 ? a : b, Vector2D(float(i), 1));
        FillRect(Vector2D(1, 1), Vector2D(3, 3), 30.0f);
        FillCircle(Vector2D(5, 5), 400.0f);
        FillPolygon(hexagon.data(), 6);
        DrawString("SCORE 42\nlives 3", Vector2D(10, 10), 12.0f);
        renderer.EndFrame();
    };
    fake::recording = false;
    frame();
    const long before = qmtest::AllocationCount();
    frame();
    frame();
    const long during = qmtest::AllocationCount() - before;
    fake::recording = true;
    EXPECT_EQ(during, 0);
}

}  // namespace
