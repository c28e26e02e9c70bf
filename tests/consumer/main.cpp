// A game's view of the library: the umbrella header, the shared instances,
// and GL calls of its own beside the library's drawing, built only with what
// the CMake package or pkg-config gives. No display is needed: without a
// context the GL calls do nothing, but they must compile and link. A PNG is
// read too, so the image decoders must have come with the library.
#include <Quillmar.h>

#include <GL/gl.h>

#include <cstdio>

namespace {
// 2 x 1 RGB: orange, then blue.
const unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7b, 0x40, 0xe8,
    0xdd, 0x00, 0x00, 0x00, 0x0f, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xdf, 0xc0, 0xc0,
    0xe0, 0xf0, 0x1f, 0x00, 0x0a, 0x00, 0x02, 0xbf, 0x3f, 0x68, 0x61, 0x84, 0x00, 0x00, 0x00, 0x00,
    0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
}  // namespace

int main() {
    Core::Window.SetTitle("consumer");
    Vector2D a(3.0f, 4.0f);
    if (a.GetLength() != 5.0f) return 1;
    if (Core::Window.GetWidth() != 800 || Core::Window.IsOpen()) return 2;
    if (DirectionInRange(370.0f) != 10.0f) return 3;
    if (ToString<int>(-7) != "-7") return 4;
    Texture texture;
    if (!texture.LoadFromMemory(kPng, sizeof kPng) || texture.GetWidth() != 2) return 5;
    const unsigned char* blue = texture.GetPixels() + 4;
    if (blue[0] != 0 || blue[1] != 64 || blue[2] != 255 || blue[3] != 255) return 6;

    glColor3f(1.0f, 0.5f, 0.0f);
    DrawLine(Vector2D(0.0f, 0.0f), a, 2.0f);
    std::printf("consumer: ok\n");
    return 0;
}
