// The bare-GL ceiling of the 2D benchmark (draw2d_scene.h): a GLFW 3 window
// without a depth buffer, the frame's vertices built once before the
// measurement (the first frame's positions), and one glDrawArrays of them per
// frame: GL_QUADS for sprites and rectangles, GL_TRIANGLES for circles,
// GL_LINES for text. --indexed draws the quads as indexed triangles instead,
// --depth asks for a 24-bit depth buffer (cleared each frame): the two GL
// paths the library chooses between, measured without the library.
#include "draw2d_scene.h"

#include <GLFW/glfw3.h>

namespace {

struct Vertex {
    float x, y, s, t;
    unsigned char rgba[4];
};

}  // namespace

int main(int argc, char** argv) {
    const draw2d::Options o = draw2d::Parse(argc, argv);
    if (!glfwInit()) return 1;
    glfwWindowHint(GLFW_DEPTH_BITS, o.depth ? 24 : 0);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(draw2d::kWidth, draw2d::kHeight, "bench 2d gl", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    glViewport(0, 0, draw2d::kWidth, draw2d::kHeight);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, draw2d::kWidth, 0, draw2d::kHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const int side = draw2d::SpriteSide(o.scene);
    std::vector<Vertex> v;
    GLenum mode = GL_QUADS;
    const float moverSide = draw2d::MoverSide(o.scene);
    std::vector<draw2d::Mover> movers = draw2d::MakeMovers(o.count, moverSide);
    auto put = [&](float x, float y, float s, float t, const float* c) {
        Vertex w{x, y, s, t, {255, 255, 255, 255}};
        if (c)
            for (int k = 0; k < 4; ++k) w.rgba[k] = static_cast<unsigned char>(c[k] * 255 + 0.5f);
        v.push_back(w);
    };
    float c[4];
    if (side) {
        const std::vector<unsigned char> pixels = draw2d::Disc(side);
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        const float s = float(side);
        for (const draw2d::Mover& m : movers) {
            const float x = spritebench::PixelX(m), y = spritebench::PixelY(m);
            put(x, y, 0, 1, nullptr);
            put(x + s, y, 1, 1, nullptr);
            put(x + s, y + s, 1, 0, nullptr);
            put(x, y + s, 0, 0, nullptr);
        }
    } else if (o.scene == "circles") {
        mode = GL_TRIANGLES;
        const int n = draw2d::CircleSegments(draw2d::kRadius);
        const double pi = 3.14159265358979323846, r = draw2d::kRadius;
        for (std::size_t i = 0; i < movers.size(); ++i) {
            draw2d::Colour(i, c);
            const double cx = movers[i].x + r, cy = movers[i].y + r;
            for (int j = 0; j < n; ++j) {
                const double a0 = 2 * pi * j / n, a1 = 2 * pi * ((j + 1) % n) / n;
                put(float(cx), float(cy), 0, 0, c);
                put(float(cx + r * std::cos(a0)), float(cy + r * std::sin(a0)), 0, 0, c);
                put(float(cx + r * std::cos(a1)), float(cy + r * std::sin(a1)), 0, 0, c);
            }
        }
    } else if (o.scene == "rects" || o.scene == "rotrects") {
        const double turn = o.scene == "rects" ? 0.0 : draw2d::kTurn * 3.14159265358979323846 / 180;
        const double h = draw2d::kRect / 2, cs = std::cos(turn), sn = std::sin(turn);
        const double cx4[4] = {-h, h, h, -h}, cy4[4] = {-h, -h, h, h};
        for (std::size_t i = 0; i < movers.size(); ++i) {
            draw2d::Colour(i, c);
            for (int j = 0; j < 4; ++j)
                put(float(movers[i].x + h + cx4[j] * cs - cy4[j] * sn),
                    float(movers[i].y + h + cx4[j] * sn + cy4[j] * cs), 0, 0, c);
        }
    } else if (o.scene == "text") {
        mode = GL_LINES;
        const float white[4] = {1, 1, 1, 1};
        for (int i = 0; i < o.count; ++i)
            draw2d::TextStrokes(i, [&](float x0, float y0, float x1, float y1) {
                put(x0, y0, 0, 0, white);
                put(x1, y1, 0, 0, white);
            });
    }
    std::vector<unsigned> indices;
    if (mode == GL_QUADS && o.indexed) {
        for (unsigned q = 0; q < v.size() / 4; ++q)
            for (unsigned k : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(q * 4 + k);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &v[0].x);
    if (side) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &v[0].s);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), v[0].rgba);
    }

    const int rc = draw2d::Measure(o, [&] {
        glfwPollEvents();
        glClear(o.depth ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
        if (!indices.empty())
            glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
        else
            glDrawArrays(mode, 0, GLsizei(v.size()));
        glfwSwapBuffers(window);
    });
    glfwTerminate();
    return rc;
}
