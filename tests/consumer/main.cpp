// A game's view of the library: the umbrella header, the shared instances,
// and GL calls of its own beside the library's drawing, built only with what
// the CMake package or pkg-config gives. No display is needed: without a
// context the GL calls do nothing, but they must compile and link.
#include <Quillmar.h>

#include <GL/gl.h>

#include <cstdio>

int main() {
    Core::Window.SetTitle("consumer");
    Vector2D a(3.0f, 4.0f);
    if (a.GetLength() != 5.0f) return 1;
    if (Core::Window.GetWidth() != 800 || Core::Window.IsOpen()) return 2;
    if (DirectionInRange(370.0f) != 10.0f) return 3;
    if (ToString<int>(-7) != "-7") return 4;

    glColor3f(1.0f, 0.5f, 0.0f);
    DrawLine(Vector2D(0.0f, 0.0f), a, 2.0f);
    std::printf("consumer: ok\n");
    return 0;
}
