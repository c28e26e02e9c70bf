// Native access: GLFW 3 called on the library's window (an icon here).
#include <GLFW/glfw3.h>
#include <Quillmar.h>

int main() {
    Core core;
    if (!Core::Window.Open()) return 1;

    static unsigned char pixels[32 * 32 * 4];    // RGBA, top row first
    for (int i = 0; i < 32 * 32; ++i) {
        pixels[i * 4 + 0] = 255;
        pixels[i * 4 + 1] = 160;
        pixels[i * 4 + 2] = 0;
        pixels[i * 4 + 3] = 255;
    }
    GLFWimage icon{32, 32, pixels};
    glfwSetWindowIcon(GetGlfwWindow(), 1, &icon);

    while (Core::Window.IsOpen()) {
        Core::Renderer.BeginFrame();
        if (Core::Keyboard.GetKeyPress(Key::Escape)) break;
        Core::Renderer.EndFrame();
    }
    return 0;
}
