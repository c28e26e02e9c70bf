// Pixel probe of the GL 1.x the library, the demo and games draw with, run in
// a web page over Emscripten's GL emulation and the project's JavaScript
// (web/library_quillmar_gl.js). Each case draws through the library's frame
// cycle, reads pixels back with glReadPixels before the swap and checks them.
// Prints one line per case and "N passed, N failed".
#include <Quillmar.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>
#include <cstring>

// Animation frames the browser has run since the first call: a count of
// its refreshes, kept by a callback that re-arms itself.
EM_JS(int, qm_animation_frames, (), {
    if (!Module.qmTicks) {
        Module.qmTicks = { count: 0 };
        var tick = function() { Module.qmTicks.count++; requestAnimationFrame(tick); };
        requestAnimationFrame(tick);
    }
    return Module.qmTicks.count;
});

namespace {

const int kW = 320, kH = 240;
int passed = 0, failed = 0;

struct Rgba { int r, g, b, a; };

Rgba Pixel(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

bool Near(Rgba p, int r, int g, int b, int tolerance = 12) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}
bool Lit(Rgba p) { return p.r + p.g + p.b > 300; }
bool Dark(Rgba p) { return p.r + p.g + p.b < 30; }

void Check(const char* name, bool ok, Rgba seen) {
    (ok ? passed : failed)++;
    std::printf("%s %-48s (pixel %3d %3d %3d)\n", ok ? "PASS" : "FAIL", name, seen.r, seen.g, seen.b);
}

void Check(const char* name, bool ok, const char* detail) {
    (ok ? passed : failed)++;
    std::printf("%s %-48s (%s)\n", ok ? "PASS" : "FAIL", name, detail);
}

void Quad(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, -4); glVertex3f(x1, y0, -4); glVertex3f(x1, y1, -4); glVertex3f(x0, y1, -4);
    glEnd();
}

// The 2D layer with nothing of the state Open leaves that would change a
// flat colour.
void Plain2D() {
    Core::Renderer.Render2D();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// One frame: clear, run the case, swap.
template <typename Case>
void Frame(Case run) {
    Core::Renderer.BeginFrame();
    run();
    Core::Renderer.EndFrame();
}

// A 2x2 RGBA texture: red, green / blue, white (rows bottom-up), nearest.
GLuint MakeCheckerTexture() {
    const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return texture;
}

void CheckQuadrants(const char* name, int x0, int y0, int size) {
    const int q = size / 4;
    Rgba r = Pixel(x0 + q, y0 + q), g = Pixel(x0 + 3 * q, y0 + q);
    Rgba b = Pixel(x0 + q, y0 + 3 * q), w = Pixel(x0 + 3 * q, y0 + 3 * q);
    char text[96];
    std::snprintf(text, sizeof text, "%d,%d,%d %d,%d,%d %d,%d,%d %d,%d,%d", r.r, r.g, r.b, g.r, g.g, g.b, b.r, b.g,
                  b.b, w.r, w.g, w.b);
    Check(name, Near(r, 255, 0, 0) && Near(g, 0, 255, 0) && Near(b, 0, 0, 255) && Near(w, 255, 255, 255), text);
}

// Lit pixels along a column (x fixed) between y0 and y1, inclusive.
int LitInColumn(int x, int y0, int y1) {
    int lit = 0;
    for (int y = y0; y <= y1; ++y) lit += Lit(Pixel(x, y));
    return lit;
}
int LitInRow(int y, int x0, int x1) {
    int lit = 0;
    for (int x = x0; x <= x1; ++x) lit += Lit(Pixel(x, y));
    return lit;
}

}  // namespace

int main() {
    Core core;
    Core::Window.SetTitle("gl_probe");
    Core::Window.SetSize(kW, kH);
    Core::Window.SetSampleRate(0);
    Core::Window.SetDepthBufferBits(24);
    Core::Window.SetClearColor(0.0f, 0.0f, 0.0f);
    if (!Core::Window.Open()) {
        std::printf("FAIL open: %s\n0 passed, 1 failed\n", GetLastDiagnosticMessage());
        return 1;
    }
    Core::Renderer.SetNearClippingPlane(0.5f);
    Core::Renderer.SetFarClippingPlane(100.0f);

    // The state Open leaves has GL_TEXTURE_2D on and no texture bound: GL
    // draws untextured (WebGL would sample black).
    Frame([] {
        Core::Renderer.Render2D();
        glDisable(GL_CULL_FACE);
        glColor3f(0.0f, 1.0f, 0.0f);
        Quad(10, 10, 50, 50);
        Check("texturing on, no texture bound: untextured", Near(Pixel(30, 30), 0, 255, 0), Pixel(30, 30));
    });

    // Colour per vertex given before only some vertices; the colour set
    // inside glBegin/glEnd stays current after it; a normal once per triangle.
    Frame([] {
        Plain2D();
        glBegin(GL_QUADS);
        glColor3f(0.0f, 1.0f, 0.0f);
        glVertex3f(0, 0, -4); glVertex3f(100, 0, -4);
        glColor3f(0.0f, 0.0f, 1.0f);
        glVertex3f(100, 100, -4); glVertex3f(0, 100, -4);
        glEnd();
        Rgba low = Pixel(50, 2), high = Pixel(50, 97);
        Check("colour carried to later vertices (first colour)", low.g > 200 && low.b < 40, low);
        Check("colour carried to later vertices (second colour)", high.b > 200 && high.g < 40, high);
        glBegin(GL_TRIANGLES);  // normals once per triangle must not shift the vertices
        glNormal3f(0, 0, 1);
        glVertex3f(150, 10, -4); glVertex3f(190, 10, -4); glVertex3f(170, 50, -4);
        glNormal3f(0, 0, 1);
        glVertex3f(200, 10, -4); glVertex3f(240, 10, -4); glVertex3f(220, 50, -4);
        glEnd();
        Check("normal once per triangle keeps the vertices", Near(Pixel(220, 20), 0, 0, 255), Pixel(220, 20));
        Quad(120, 120, 160, 160);
        Check("colour set inside glBegin stays current", Near(Pixel(140, 140), 0, 0, 255), Pixel(140, 140));
    });

    // GL_QUAD_STRIP and GL_POLYGON.
    Frame([] {
        Plain2D();
        glColor3f(1.0f, 1.0f, 0.0f);
        glBegin(GL_QUAD_STRIP);
        glVertex3f(10, 10, -4); glVertex3f(10, 40, -4);
        glVertex3f(60, 10, -4); glVertex3f(60, 40, -4);
        glVertex3f(110, 10, -4); glVertex3f(110, 40, -4);
        glEnd();
        Check("GL_QUAD_STRIP second quad", Near(Pixel(85, 25), 255, 255, 0), Pixel(85, 25));
        glColor3f(0.0f, 1.0f, 1.0f);
        glBegin(GL_POLYGON);
        glVertex3f(150, 100, -4); glVertex3f(200, 100, -4); glVertex3f(220, 140, -4);
        glVertex3f(175, 170, -4); glVertex3f(130, 140, -4);
        glEnd();
        Check("GL_POLYGON", Near(Pixel(175, 150), 0, 255, 255), Pixel(175, 150));
    });

    // Lines at widths 1, 3 and 8, horizontal and vertical; GL widens aliased
    // lines along the minor axis.
    Frame([] {
        Plain2D();
        DrawLine(Vector2D(20, 40.5f), Vector2D(300, 40.5f), 1.0f);
        DrawLine(Vector2D(20, 100.5f), Vector2D(300, 100.5f), 3.0f);
        DrawLine(Vector2D(20, 180.5f), Vector2D(300, 180.5f), 8.0f);
        char text[64];
        int w1 = LitInColumn(160, 30, 50), w3 = LitInColumn(160, 90, 110), w8 = LitInColumn(160, 170, 192);
        std::snprintf(text, sizeof text, "%d, %d and %d pixels across", w1, w3, w8);
        Check("horizontal lines of width 1, 3 and 8", w1 == 1 && w3 == 3 && w8 == 8, text);
        Check("wide line ends where the line ends", Dark(Pixel(310, 180)) && Lit(Pixel(295, 180)), Pixel(310, 180));
        float width = 0.0f;
        glGetFloatv(GL_LINE_WIDTH, &width);
        std::snprintf(text, sizeof text, "GL_LINE_WIDTH %.1f", double(width));
        Check("glGetFloatv answers the line width", width == 8.0f, text);
    });
    Frame([] {
        Plain2D();
        DrawLine(Vector2D(100.5f, 20), Vector2D(100.5f, 220), 8.0f);
        DrawLine(Vector2D(40, 40), Vector2D(280, 200), 3.0f);  // x-major diagonal
        char text[64];
        int across = LitInRow(120, 90, 112);
        std::snprintf(text, sizeof text, "%d pixels across", across);
        Check("vertical line of width 8", across == 8, text);
        int diagonal = LitInColumn(160, 100, 140);
        std::snprintf(text, sizeof text, "%d pixels in a column", diagonal);
        Check("diagonal line of width 3", diagonal == 3, text);
    });

    // DrawCircle: the rim lit at width 3, the centre dark; a 3D wide line
    // under perspective stays the given number of pixels wide.
    Frame([] {
        Plain2D();
        DrawCircle(Vector2D(160, 120), 50.0f, 3.0f);
        Rgba rim = {0, 0, 0, 0};
        for (int dx = -2; dx <= 2; ++dx) {
            Rgba p = Pixel(210 + dx, 120);
            if (p.r > rim.r) rim = p;
        }
        Check("DrawCircle rim", Lit(rim), rim);
        Check("DrawCircle centre", Dark(Pixel(160, 120)), Pixel(160, 120));
        char text[64];
        // Where the rim runs upright it is y-major, widened along x.
        int width = LitInRow(120, 200, 220);
        std::snprintf(text, sizeof text, "%d pixels across the rim", width);
        Check("DrawCircle width 3", width == 3, text);
    });
    Frame([] {
        Core::Renderer.Render3D();
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glColor3f(1.0f, 1.0f, 1.0f);
        glLineWidth(5.0f);
        glBegin(GL_LINES);
        glVertex3f(-3.0f, 0.0f, -10.0f); glVertex3f(3.0f, 0.0f, -10.0f);
        glEnd();
        char text[64];
        int across = LitInColumn(kW / 2, kH / 2 - 10, kH / 2 + 10);
        std::snprintf(text, sizeof text, "%d pixels across", across);
        Check("3D line of width 5", across == 5, text);
    });

    // Text strokes: lit pixels inside the string's box.
    Frame([] {
        Plain2D();
        DrawString("HI", Vector2D(20, 20), 40.0f, 2.0f);
        FlushSprites();  // queued with the sprites; the read-back is the game's own GL
        int lit = 0;
        static unsigned char box[80 * 50 * 4];
        glReadPixels(15, 15, 80, 50, GL_RGBA, GL_UNSIGNED_BYTE, box);
        for (int i = 0; i < 80 * 50; ++i) lit += box[i * 4] > 100;
        char text[64];
        std::snprintf(text, sizeof text, "%d lit pixels in the text's box", lit);
        Check("DrawString at width 2", lit > 150, text);
    });

    // Additive and translucent blending.
    Frame([] {
        Plain2D();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(0.5f, 0.0f, 0.0f, 1.0f);
        Quad(10, 10, 60, 60);
        Quad(10, 10, 60, 60);
        Check("additive blend 0.5 + 0.5", Near(Pixel(30, 30), 255, 0, 0, 4), Pixel(30, 30));
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(0.0f, 0.0f, 1.0f, 0.5f);
        Quad(10, 10, 60, 60);
        Check("translucent blend 50%", Near(Pixel(30, 30), 128, 0, 128, 4), Pixel(30, 30));
    });

    // The blend factors GL answers (the library saves and restores them
    // around its drawing): the last ones WebGL took.
    Frame([] {
        GLint src = 0, dst = 0;
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glBlendFunc(GL_ONE, GL_SRC_ALPHA_SATURATE);  // a source factor only: refused
        const bool refused = glGetError() == GL_INVALID_ENUM;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        const bool kept = refused && src == GL_SRC_ALPHA && dst == GL_ONE;
        glBlendFunc(GL_CONSTANT_COLOR, GL_ONE_MINUS_CONSTANT_COLOR);
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        const bool constant = src == GL_CONSTANT_COLOR && dst == GL_ONE_MINUS_CONSTANT_COLOR;
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        char text[64];
        std::snprintf(text, sizeof text, "refused kept %d, constant %d, last 0x%X 0x%X", kept, constant,
                      unsigned(src), unsigned(dst));
        Check("glGetIntegerv answers the blend factors", kept && constant && src == GL_SRC_ALPHA &&
                                                            dst == GL_ONE_MINUS_SRC_ALPHA, text);
    });

    // A game's own buffers left bound: glBegin/glEnd and the library's shapes
    // still draw their own vertices, and the bindings stay the game's.
    Frame([] {
        Plain2D();
        GLuint buffers[2] = {0, 0};
        glGenBuffers(2, buffers);
        const float zeros[16] = {};
        const unsigned short indices[6] = {};
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, sizeof zeros, zeros, GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
        glColor3f(0.0f, 1.0f, 0.0f);
        Quad(10, 10, 60, 60);
        glBegin(GL_QUAD_STRIP);
        glColor3f(1.0f, 0.0f, 0.0f);
        glVertex3f(70, 10, -4); glVertex3f(70, 60, -4);
        glColor3f(0.0f, 0.0f, 1.0f);
        glVertex3f(95, 10, -4); glVertex3f(95, 60, -4);
        glVertex3f(120, 10, -4); glVertex3f(120, 60, -4);
        glEnd();
        SetColor(1.0f, 1.0f, 0.0f);
        FillRect(Vector2D(130, 10), Vector2D(30, 30));
        FlushSprites();
        GLint array = 0, element = 0;
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &array);
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &element);
        const Rgba own = Pixel(30, 30), strip = Pixel(110, 35), shape = Pixel(145, 25);
        char text[64];
        std::snprintf(text, sizeof text, "bindings %d %d of %u %u", array, element, buffers[0], buffers[1]);
        Check("glBegin with a game's buffers bound: drawn",
              Near(own, 0, 255, 0) && Near(strip, 0, 0, 255), own);
        Check("FillRect with a game's buffers bound: drawn", Near(shape, 255, 255, 0), shape);
        Check("glBegin with a game's buffers bound: bindings kept",
              GLuint(array) == buffers[0] && GLuint(element) == buffers[1], text);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glDeleteBuffers(2, buffers);
    });

    // Blocks bigger than one batch (and than 16-bit indices reach): drawn
    // whole, in pieces that keep a strip's winding and a loop's closing
    // segment.
    Frame([] {
        Plain2D();
        glEnable(GL_CULL_FACE);
        glColor3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_TRIANGLE_STRIP);  // counter-clockwise: culled where the winding flips
        for (int k = 0; k < 20000; ++k)
            glVertex3f(20.0f + 280.0f * float(k / 2) / 9999.0f, k % 2 ? 150.0f : 170.0f, -4.0f);
        glEnd();
        glDisable(GL_CULL_FACE);
        glBegin(GL_POINTS);
        glColor3f(0.0f, 0.0f, 1.0f);
        for (int k = 0; k < 69999; ++k) glVertex3f(10.5f, 10.5f, -4.0f);
        glColor3f(1.0f, 0.0f, 0.0f);
        glVertex3f(100.5f, 100.5f, -4.0f);
        glEnd();
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < 10000; ++k) glVertex3f(40.5f + 260.0f * float(k) / 9999.0f, 200.5f, -4.0f);
        glVertex3f(40.5f, 230.5f, -4.0f);
        glEnd();
        int gaps = 0;
        for (int x = 25; x <= 295; x += 3) gaps += !Near(Pixel(x, 160), 0, 255, 0);
        char text[64];
        std::snprintf(text, sizeof text, "%d of 91 strip pixels missing", gaps);
        Check("a 20,000-vertex triangle strip", gaps == 0, text);
        Check("the 70,000th point of a block", Near(Pixel(100, 100), 255, 0, 0), Pixel(100, 100));
        Check("a 10,001-vertex line loop closes", Near(Pixel(40, 215), 255, 255, 255), Pixel(40, 215));
    });

    // Depth: the near quad wins though drawn first; back faces culled.
    Frame([] {
        Core::Renderer.Render3D();
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glColor3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, -5); glVertex3f(1, -1, -5); glVertex3f(1, 1, -5); glVertex3f(-1, 1, -5);
        glEnd();
        glColor3f(1.0f, 0.0f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3f(-2, -2, -8); glVertex3f(2, -2, -8); glVertex3f(2, 2, -8); glVertex3f(-2, 2, -8);
        glEnd();
        Check("depth test", Near(Pixel(kW / 2, kH / 2), 0, 255, 0), Pixel(kW / 2, kH / 2));
    });
    Frame([] {
        Core::Renderer.Render3D();
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_TRIANGLES);  // clockwise seen from the eye: a back face
        glVertex3f(-1, -1, -5); glVertex3f(0, 1, -5); glVertex3f(1, -1, -5);
        glEnd();
        Check("back face culled", Dark(Pixel(kW / 2, kH / 2 - 5)), Pixel(kW / 2, kH / 2 - 5));
        glBegin(GL_TRIANGLES);
        glVertex3f(-1, -1, -5); glVertex3f(1, -1, -5); glVertex3f(0, 1, -5);
        glEnd();
        Check("front face drawn", Near(Pixel(kW / 2, kH / 2 - 5), 255, 255, 255), Pixel(kW / 2, kH / 2 - 5));
    });

    // Lighting with glColorMaterial: two lit triangles of different colours.
    Frame([] {
        Core::Renderer.Render3D();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        const float white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1}, dir[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_AMBIENT, black);
        glLightfv(GL_LIGHT0, GL_SPECULAR, black);
        glLightfv(GL_LIGHT0, GL_POSITION, dir);
        glEnable(GL_LIGHT0);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_LIGHTING);
        glColor3f(0.0f, 0.0f, 1.0f);
        glBegin(GL_TRIANGLES);
        glNormal3f(0, 0, 1);
        glVertex3f(-2, -1, -5); glVertex3f(-0.2f, -1, -5); glVertex3f(-1.1f, 1, -5);
        glEnd();
        glColor3f(1.0f, 0.0f, 0.0f);
        glBegin(GL_TRIANGLES);
        glNormal3f(0, 0, 1);
        glVertex3f(0.2f, -1, -5); glVertex3f(2, -1, -5); glVertex3f(1.1f, 1, -5);
        glEnd();
        glDisable(GL_LIGHTING);
        Rgba left = Pixel(kW / 2 - 35, kH / 2 - 10), right = Pixel(kW / 2 + 35, kH / 2 - 10);
        Check("lit triangle takes its glColor (blue)", left.b > 200 && left.r < 40, left);
        Check("lit triangle takes its glColor (red)", right.r > 200 && right.b < 40, right);
    });
    // A turned object's normals turn with it: the light comes from the right
    // and front, the quad faces +z turned 60 degrees to the right about y, so
    // it faces the light (cos 15 degrees); a normal turned the wrong way
    // would face away from it and show black.
    Frame([] {
        Core::Renderer.Render3D();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        const float none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, dir[4] = {1, 0, 1, 0};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_POSITION, dir);
        glEnable(GL_LIGHT0);
        glEnable(GL_NORMALIZE);
        glEnable(GL_LIGHTING);
        glColor3f(0.0f, 1.0f, 0.0f);
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -5.0f);
        glRotatef(60.0f, 0.0f, 1.0f, 0.0f);
        glScalef(2.0f, 2.0f, 2.0f);
        glBegin(GL_QUADS);
        glNormal3f(0, 0, 1);
        glVertex3f(-0.5f, -0.5f, 0); glVertex3f(0.5f, -0.5f, 0); glVertex3f(0.5f, 0.5f, 0); glVertex3f(-0.5f, 0.5f, 0);
        glEnd();
        glPopMatrix();
        glDisable(GL_LIGHTING);
        const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        Check("lit quad turned towards the light", Near(Pixel(kW / 2, kH / 2), 0, 246, 0, 12), Pixel(kW / 2, kH / 2));
    });

    // Textures: a 2x2 RGBA texture through glBegin/glEnd and through client
    // vertex arrays with glDrawArrays(GL_TRIANGLES).
    Frame([] {
        Plain2D();
        GLuint texture = MakeCheckerTexture();
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0); glVertex3f(10, 10, -4);
        glTexCoord2f(1, 0); glVertex3f(90, 10, -4);
        glTexCoord2f(1, 1); glVertex3f(90, 90, -4);
        glTexCoord2f(0, 1); glVertex3f(10, 90, -4);
        glEnd();
        CheckQuadrants("texture through glBegin/glEnd", 10, 10, 80);

        const float positions[] = {110, 10, -4, 190, 10, -4, 190, 90, -4, 110, 10, -4, 190, 90, -4, 110, 90, -4};
        const float coords[] = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
        glDisableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions);
        glTexCoordPointer(2, GL_FLOAT, 0, coords);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glEnableClientState(GL_NORMAL_ARRAY);
        CheckQuadrants("texture through glDrawArrays", 110, 10, 80);

        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
        glColor3f(1.0f, 0.0f, 1.0f);
        Quad(210, 10, 290, 90);
        Check("texture unbound again: untextured", Near(Pixel(250, 50), 255, 0, 255), Pixel(250, 50));
        glDisable(GL_TEXTURE_2D);
    });

    // A GL_ALPHA texture (as glyph pages are) under GL_MODULATE: the
    // colour, its alpha the texel's; an odd width (3) with rows padded to 4
    // bytes, and a part replaced with glTexSubImage2D.
    Frame([] {
        Plain2D();
        const unsigned char alphas[2 * 4] = {255, 255, 0, 0, 0, 0, 255, 0};  // bottom row opaque, top: right one
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);  // WebGL's rule for a width of 3
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, 3, 2, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alphas);
        const unsigned char opaque = 255;
        glTexSubImage2D(GL_TEXTURE_2D, 0, 2, 0, 1, 1, GL_ALPHA, GL_UNSIGNED_BYTE, &opaque);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor3f(1.0f, 0.5f, 0.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0); glVertex3f(10, 110, -4);
        glTexCoord2f(1, 0); glVertex3f(100, 110, -4);
        glTexCoord2f(1, 1); glVertex3f(100, 170, -4);
        glTexCoord2f(0, 1); glVertex3f(10, 170, -4);
        glEnd();
        const Rgba inked = Pixel(25, 125), clear = Pixel(25, 155), sub = Pixel(85, 125), top = Pixel(85, 155);
        char text[96];
        std::snprintf(text, sizeof text, "%d,%d,%d %d,%d,%d %d,%d,%d %d,%d,%d", inked.r, inked.g, inked.b, clear.r,
                      clear.g, clear.b, sub.r, sub.g, sub.b, top.r, top.g, top.b);
        Check("GL_ALPHA texture modulated: the colour where opaque",
              Near(inked, 255, 128, 0) && Dark(clear) && Near(sub, 255, 128, 0) && Near(top, 255, 128, 0), text);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
    });

    // The library's sprites (client vertex arrays, glDrawElements) and filled
    // shapes (glDrawArrays) in the page, then a game's own GL after them.
    Frame([] {
        Plain2D();
        glColor3f(1.0f, 0.5f, 0.0f);  // the game's colour, which the sprites leave as found
        static Texture texture;  // top row first: red, green / blue, white
        const unsigned char rgba[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
        const bool loaded = texture.LoadFromPixels(rgba, 2, 2);
        Sprite sprite;
        sprite.texture = &texture;
        sprite.position = Vector2D(10, 10);
        sprite.size = Vector2D(80, 80);
        DrawSprite(sprite);
        sprite.position = Vector2D(110, 10);
        sprite.tint = Color4f{0.0f, 1.0f, 1.0f, 1.0f};
        DrawSprite(sprite);
        FlushSprites();
        // Upright: the image's top row at the top of the sprite.
        Rgba topLeft = Pixel(30, 70), topRight = Pixel(70, 70), bottomLeft = Pixel(30, 30), bottomRight = Pixel(70, 30);
        char text[96];
        std::snprintf(text, sizeof text, "%d,%d,%d %d,%d,%d %d,%d,%d %d,%d,%d", topLeft.r, topLeft.g, topLeft.b,
                      topRight.r, topRight.g, topRight.b, bottomLeft.r, bottomLeft.g, bottomLeft.b, bottomRight.r,
                      bottomRight.g, bottomRight.b);
        Check("sprite of a 2x2 texture, upright", loaded && Near(topLeft, 255, 0, 0) && Near(topRight, 0, 255, 0) &&
                                                      Near(bottomLeft, 0, 0, 255) && Near(bottomRight, 255, 255, 255),
              text);
        Check("tinted sprite", Near(Pixel(170, 30), 0, 255, 255) && Near(Pixel(130, 70), 0, 0, 0), Pixel(170, 30));
        Quad(210, 60, 250, 100);
        Check("current colour kept across sprites", Near(Pixel(230, 80), 255, 128, 0), Pixel(230, 80));
        SetColor(1.0f, 1.0f, 0.0f);
        FillRect(Vector2D(210, 10), Vector2D(40, 40));
        SetColor(0.0f, 1.0f, 1.0f);
        FillCircle(Vector2D(270, 120), 20.0f);
        FlushSprites();
        Check("FillRect", Near(Pixel(230, 30), 255, 255, 0), Pixel(230, 30));
        Check("FillCircle", Near(Pixel(270, 120), 0, 255, 255) && Dark(Pixel(270, 145)), Pixel(270, 120));
        glColor3f(1.0f, 0.0f, 1.0f);
        Quad(210, 150, 250, 190);
        Check("own GL after sprites and shapes", Near(Pixel(230, 170), 255, 0, 255), Pixel(230, 170));
    });

    // A game's own multitexturing state: a texture matrix on unit 0, then
    // client unit 1 left active. Sprites draw on unit 0 with an identity
    // texture matrix and give the game its unit back.
    Frame([] {
        Plain2D();
        static Texture redGreen;
        const unsigned char rgba[8] = {255, 0, 0, 255, 0, 255, 0, 255};
        const bool loaded = redGreen.LoadFromPixels(rgba, 2, 1);
        redGreen.SetSmooth(false);
        glMatrixMode(GL_TEXTURE);
        glScalef(0.5f, 1.0f, 1.0f);  // the left texel only, if applied
        glMatrixMode(GL_MODELVIEW);
        glClientActiveTexture(GL_TEXTURE1);
        Sprite sprite;
        sprite.texture = &redGreen;
        sprite.position = Vector2D(10, 10);
        sprite.size = Vector2D(80, 40);
        DrawSprite(sprite);
        FlushSprites();
        GLint client = 0;
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &client);
        glClientActiveTexture(GL_TEXTURE0);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        Check("sprite under a game's client unit and texture matrix",
              loaded && Near(Pixel(30, 30), 255, 0, 0) && Near(Pixel(70, 30), 0, 255, 0), Pixel(70, 30));
        Check("the game's client unit is back", client == GL_TEXTURE1, client == GL_TEXTURE1 ? "unit 1" : "changed");
    });

    // glReadBuffer, and glReadPixels of GL_RGB with an odd width (rows padded
    // to the pack alignment of 4).
    Frame([] {
        Plain2D();
        glColor3f(0.0f, 0.5f, 1.0f);
        Quad(0, 0, 3, 2);
        glReadBuffer(GL_BACK);
        unsigned char rgb[2 * 12 + 4];
        std::memset(rgb, 7, sizeof rgb);
        glReadPixels(0, 0, 3, 2, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        bool ok = true;
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < 3; ++i) {
                const unsigned char* p = rgb + row * 12 + i * 3;
                ok = ok && p[0] == 0 && std::abs(p[1] - 128) <= 1 && p[2] == 255;
            }
        ok = ok && rgb[9] == 7 && rgb[21] == 7;  // the padding is left alone
        char text[64];
        std::snprintf(text, sizeof text, "first pixel %d %d %d, padding %d", rgb[0], rgb[1], rgb[2], rgb[9]);
        Check("glReadPixels GL_RGB with padded rows", ok, text);
    });

    // SaveScreenshot writes into the page's file system.
    Frame([] {
        Plain2D();
        Quad(0, 0, 20, 20);
        bool saved = SaveScreenshot("/probe.png");
        std::FILE* file = std::fopen("/probe.png", "rb");
        unsigned char head[8] = {};
        bool png = file && std::fread(head, 1, 8, file) == 8 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G';
        if (file) std::fclose(file);
        Check("SaveScreenshot writes a PNG", saved && png, saved ? "saved" : GetLastDiagnosticMessage());
    });

    // What a page cannot do is reported, not done.
    Frame([] {
        ClearDiagnostic();
        Core::Mouse.SetPosition(Vector2D(10, 10));
        const bool warp = GetLastDiagnostic() == Diagnostic::CursorWarpUnavailable;
        Check("cursor warp reported", warp, GetLastDiagnosticMessage());
    });

    // Vertical sync chooses whether the swap waits for the browser's refresh:
    // on, each swap takes an animation frame; off, swaps go on between them.
    for (bool sync : {true, false}) {
        Core::Window.SetVerticalSync(sync);
        const int before = qm_animation_frames();
        for (int i = 0; i < 12; ++i) Frame([] {});
        const int ticks = qm_animation_frames() - before;
        char detail[64];
        std::snprintf(detail, sizeof detail, "12 swaps in %d animation frames", ticks);
        Check(sync ? "vsync on: a swap waits for the refresh" : "vsync off: swaps do not wait",
              sync ? ticks >= 11 : ticks <= 6, detail);
    }
    Core::Window.SetVerticalSync(true);

    GLenum error = glGetError();
    char text[32];
    std::snprintf(text, sizeof text, "glGetError 0x%04X", unsigned(error));
    Check("no GL error pending", error == GL_NO_ERROR, text);

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
