// A game's view of the installed library: the umbrella header and the shared
// instances, without a display.
#include <Quillmar.h>

#include <cstdio>

int main() {
    Core::Window.SetTitle("consumer");
    Vector2D a(3.0f, 4.0f);
    if (a.GetLength() != 5.0f) return 1;
    if (Core::Window.GetWidth() != 800 || Core::Window.IsOpen()) return 2;
    if (DirectionInRange(370.0f) != 10.0f) return 3;
    if (ToString<int>(-7) != "-7") return 4;
    std::printf("consumer: ok\n");
    return 0;
}
