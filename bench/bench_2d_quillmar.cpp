// The 2D benchmark through the library (draw2d_scene.h): DrawSprite,
// FillCircle and FillRect in each shape's own colour, and DrawString, per
// item, batched by the library, in a window without a depth buffer (--depth:
// with the default one).
#include "draw2d_scene.h"

#include <Quillmar.h>

int main(int argc, char** argv) {
    const draw2d::Options o = draw2d::Parse(argc, argv);
    Core core;
    Core::Window.SetTitle("bench 2d quillmar");
    Core::Window.SetSize(draw2d::kWidth, draw2d::kHeight);
    Core::Window.SetSampleRate(1);
    if (o.depth)
        Core::Window.SetClearDepthBuffer(false);
    else
        Core::Window.SetDepthBuffer(false);  // a 2D game's window
    if (!Core::Window.Open()) {
        std::fprintf(stderr, "bench_2d_quillmar: %s\n", GetLastDiagnosticMessage());
        return 1;
    }
    Core::Window.SetVerticalSync(false);
    const int side = draw2d::SpriteSide(o.scene);
    Texture texture;
    if (side) {
        const std::vector<unsigned char> pixels = draw2d::Disc(side);
        if (!texture.LoadFromPixels(pixels.data(), side, side)) return 1;
        texture.SetSmooth(false);  // nearest texel, as the peers sample by default
    }
    const float moverSide = draw2d::MoverSide(o.scene);
    std::vector<draw2d::Mover> movers = draw2d::MakeMovers(o.count, moverSide);
    std::vector<std::string> lines;
    if (o.scene == "text" || o.scene == "fonttext")
        for (int i = 0; i < o.count; ++i) lines.push_back(draw2d::TextLine(i));
    Font font;
    if (o.scene == "fonttext" && !font.LoadFromFile(draw2d::kFontFile)) {
        std::fprintf(stderr, "bench_2d_quillmar: %s\n", GetLastDiagnosticMessage());
        return 1;
    }
    const Vector2D rect(draw2d::kRect, draw2d::kRect), centre(draw2d::kRect / 2, draw2d::kRect / 2);

    return draw2d::Measure(o, [&] {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        draw2d::Move(movers, moverSide);
        float c[4];
        if (side) {
            for (const draw2d::Mover& m : movers)
                DrawSprite(texture, Vector2D(spritebench::PixelX(m), spritebench::PixelY(m)));
        } else if (o.scene == "circles") {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                draw2d::Colour(i, c);
                FillCircle(Vector2D(movers[i].x + draw2d::kRadius, movers[i].y + draw2d::kRadius),
                           draw2d::kRadius, Color4f{c[0], c[1], c[2], c[3]});
            }
        } else if (o.scene == "rects" || o.scene == "rotrects") {
            const float turn = o.scene == "rects" ? 0.0f : draw2d::kTurn;
            for (std::size_t i = 0; i < movers.size(); ++i) {
                draw2d::Colour(i, c);
                const Color4f colour{c[0], c[1], c[2], c[3]};
                if (turn == 0.0f)
                    FillRect(Vector2D(movers[i].x, movers[i].y), rect, colour);
                else
                    FillRect(Vector2D(movers[i].x + centre.x, movers[i].y + centre.y), rect, colour,
                             turn, centre);
            }
        } else if (o.scene == "text") {
            SetColor(1, 1, 1);
            for (int i = 0; i < o.count; ++i) {
                float x, y;
                draw2d::TextOrigin(i, &x, &y);
                DrawString(lines[std::size_t(i)].c_str(), Vector2D(x, y), draw2d::kTextHeight, 1.0f);
            }
        } else if (o.scene == "fonttext") {
            for (int i = 0; i < o.count; ++i) {
                float x, y;
                draw2d::TextOrigin(i, &x, &y);
                font.Draw(lines[std::size_t(i)].c_str(), Vector2D(x, y), float(draw2d::kFontPixels),
                          {1, 1, 1, 1});
            }
        }
        Core::Renderer.EndFrame();
    });
}
