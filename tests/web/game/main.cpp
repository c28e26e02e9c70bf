// A small game with assets, as a newcomer writes one: it loads its image and
// its level by paths relative to where it runs, draws the image, checks what
// it sees, prints "N passed, N failed" and ends with a status of its own.
//   game [--status N]   end with status N when every check passed (default 0)
#include <Quillmar.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
int passed = 0;
int failed = 0;

void Check(const char* what, bool ok) {
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    ++(ok ? passed : failed);
}
}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--status") == 0) status = std::atoi(argv[i + 1]);

    Core core;
    Core::Window.SetTitle("game");
    Core::Window.SetSize(160, 120);
    if (!Core::Window.Open()) {
        std::printf("game: %s\n", GetLastDiagnosticMessage());
        return 1;
    }
    // The image: 16 x 16, its top half red, its bottom half green.
    Texture ship;
    Check("assets/ship.png loads", ship.LoadFromFile("assets/ship.png"));
    Check("it is 16 x 16", ship.GetWidth() == 16 && ship.GetHeight() == 16);
    const unsigned char* pixels = ship.GetPixels();
    Check("its top row is red", pixels && pixels[0] == 255 && pixels[1] == 0 && pixels[2] == 0);
    // A second asset folder in the same page.
    char level[32] = {};
    if (std::FILE* file = std::fopen("levels/one.txt", "r")) {
        if (!std::fgets(level, sizeof level, file)) level[0] = '\0';
        std::fclose(file);
    }
    Check("levels/one.txt reads \"level one\"", std::strncmp(level, "level one", 9) == 0);

    unsigned char top[4] = {}, bottom[4] = {};
    for (int frame = 0; frame < 30 && Core::Window.IsOpen(); ++frame) {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        Sprite sprite;
        sprite.texture = &ship;
        sprite.position = Vector2D(20.0f, 20.0f);
        sprite.size = Vector2D(64.0f, 64.0f);
        DrawSprite(sprite);
        FlushSprites();
        glReadPixels(52, 70, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, top);
        glReadPixels(52, 30, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
        Core::Renderer.EndFrame();
    }
    Check("drawn, its top half is red", top[0] > 200 && top[1] < 50 && top[2] < 50);
    Check("drawn, its bottom half is green", bottom[0] < 50 && bottom[1] > 200 && bottom[2] < 50);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : status;
}
