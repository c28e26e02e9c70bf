// A small game with assets, as a newcomer writes one: it loads its image, its
// level and its font by paths relative to where it runs, draws the image and
// a line of text, checks what it sees, prints "N passed, N failed" and ends
// with a status of its own.
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

    // The font, in yellow above the image: "Pilot: Zoë" 20 pixels high.
    Font font;
    Check("fonts/DejaVuSans.ttf loads", font.LoadFromFile("fonts/DejaVuSans.ttf"));
    const char* pilot = "Pilot: Zo\xC3\xAB";
    const float width = font.Measure(pilot, 20).width;
    int yellow = 0, right = -1;

    unsigned char top[4] = {}, bottom[4] = {};
    for (int frame = 0; frame < 30 && Core::Window.IsOpen(); ++frame) {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        Sprite sprite;
        sprite.texture = &ship;
        sprite.position = Vector2D(20.0f, 20.0f);
        sprite.size = Vector2D(64.0f, 64.0f);
        DrawSprite(sprite);
        font.Draw(pilot, Vector2D(4.0f, 94.0f), 20.0f, Color4f{1.0f, 1.0f, 0.0f, 1.0f});
        FlushSprites();
        glReadPixels(52, 70, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, top);
        glReadPixels(52, 30, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
        static unsigned char band[160 * 24 * 4];
        glReadPixels(0, 90, 160, 24, GL_RGBA, GL_UNSIGNED_BYTE, band);
        yellow = 0;
        right = -1;
        for (int i = 0; i < 160 * 24; ++i) {
            const unsigned char* p = band + 4 * i;
            if (p[0] > 200 && p[1] > 200 && p[2] < 60) ++yellow;
            if (p[0] + p[1] + p[2] > 60 && i % 160 > right) right = i % 160;
        }
        Core::Renderer.EndFrame();
    }
    Check("drawn, its top half is red", top[0] > 200 && top[1] < 50 && top[2] < 50);
    Check("drawn, its bottom half is green", bottom[0] < 50 && bottom[1] > 200 && bottom[2] < 50);
    Check("the text is drawn in yellow, as wide as measured",
          yellow > 40 && width > 60.0f && right >= int(4.0f + width) - 4 && right <= int(4.0f + width) + 1);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : status;
}
