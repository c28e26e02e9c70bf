// The sprite benchmark through the library: DrawSprite per sprite, one
// texture, drawn in batches by the library.
#include "sprite_scene.h"

#include <Quillmar.h>

#include <GL/gl.h>

int main(int argc, char** argv) {
    const spritebench::Options o = spritebench::Parse(argc, argv);
    Core core;
    Core::Window.SetTitle("bench sprites quillmar");
    Core::Window.SetSize(o.Width(), o.Height());
    Core::Window.SetSampleRate(1);
    Core::Window.SetClearDepthBuffer(false);  // a 2D scene: colour only, as the peers clear
    if (!Core::Window.Open()) {
        std::fprintf(stderr, "bench_sprites_quillmar: no window (is there a display?)\n");
        return 1;
    }
    Core::Window.SetVerticalSync(false);
    const std::vector<unsigned char> pixels = spritebench::DiscPixels();
    Texture texture;
    if (!texture.LoadFromPixels(pixels.data(), spritebench::kSide, spritebench::kSide)) return 1;
    texture.SetSmooth(false);  // nearest texel, as the peers sample by default
    std::vector<spritebench::Mover> movers = spritebench::MakeMovers(o.count);
    const float scaleX = float(double(o.Width()) / spritebench::kFieldWidth);
    const float scaleY = float(double(o.Height()) / spritebench::kFieldHeight);

    return spritebench::Measure(o, [&] {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        glScalef(scaleX, scaleY, 1.0f);  // the field in the window, before any sprite
        spritebench::Move(movers);
        for (const spritebench::Mover& m : movers)
            DrawSprite(texture, Vector2D(spritebench::PixelX(m), spritebench::PixelY(m)));
        Core::Renderer.EndFrame();
    });
}
