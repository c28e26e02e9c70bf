// The 2D benchmark through SDL2's renderer on its OpenGL driver, batching on
// (draw2d_scene.h). Two ways a game draws with it:
//   default       one call per item: SDL_RenderCopy per sprite,
//                 SDL_RenderFillRectF per rectangle, and SDL_RenderGeometry per
//                 circle or turned rectangle (the renderer has no other call
//                 for them)
//   --mode geometry   every item's triangles refilled into one array and drawn
//                 with one SDL_RenderGeometry a frame: SDL's tuned path
// Text (fonttext): each line rendered once by SDL2_ttf in DejaVu Sans at 12
// pixels into a texture, and drawn with SDL_RenderCopy each frame.
#include "draw2d_scene.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "bench_2d_sdl: %s: %s\n", what, SDL_GetError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const draw2d::Options o = draw2d::Parse(argc, argv);
    bool geometry = false;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--mode") && !std::strcmp(argv[i + 1], "geometry")) geometry = true;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");  // naming a driver turns it off otherwise
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return Fail("SDL_Init");
    SDL_Window* window =
        SDL_CreateWindow("bench 2d sdl", 0, 0, draw2d::kWidth, draw2d::kHeight, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)
                                    : nullptr;
    if (!renderer) return Fail("no renderer");
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strcmp(info.name, "opengl") != 0) {
        std::fprintf(stderr, "bench_2d_sdl: not the OpenGL renderer\n");
        return 1;
    }
    const int side = draw2d::SpriteSide(o.scene);
    SDL_Texture* texture = nullptr;
    if (side) {
        const std::vector<unsigned char> pixels = draw2d::Disc(side);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC,
                                    side, side);
        if (!texture) return Fail("SDL_CreateTexture");
        SDL_UpdateTexture(texture, nullptr, pixels.data(), side * 4);
        SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    }
    // Text: one texture per line, made before the measurement.
    std::vector<SDL_Texture*> lines;
    std::vector<SDL_Rect> lineRects;
    if (o.scene == "fonttext") {
        if (TTF_Init() != 0) return Fail("TTF_Init");
        TTF_Font* font = TTF_OpenFont(draw2d::kFontFile, draw2d::kFontPixels);
        if (!font) return Fail("TTF_OpenFont");
        for (int i = 0; i < o.count; ++i) {
            SDL_Surface* s = TTF_RenderUTF8_Blended(font, draw2d::TextLine(i).c_str(),
                                                    SDL_Color{255, 255, 255, 255});
            if (!s) return Fail("TTF_RenderUTF8_Blended");
            lines.push_back(SDL_CreateTextureFromSurface(renderer, s));
            float x, y;
            draw2d::TextOrigin(i, &x, &y);
            lineRects.push_back({int(x), draw2d::kHeight - int(y) - draw2d::kFontPixels, s->w, s->h});
            SDL_FreeSurface(s);
        }
        TTF_CloseFont(font);
    } else if (o.scene == "text") {
        std::fprintf(stderr, "bench_2d_sdl: no stroke font here\n");
        return 2;
    }
    const float moverSide = draw2d::MoverSide(o.scene);
    std::vector<draw2d::Mover> movers = draw2d::MakeMovers(o.count, moverSide);
    const int segments = draw2d::CircleSegments(draw2d::kRadius);
    const float pi = 3.14159265f;
    const float turnS = std::sin(draw2d::kTurn * pi / 180), turnC = std::cos(draw2d::kTurn * pi / 180);
    const float h = draw2d::kRect / 2;
    const float cx4[4] = {-h, h, h, -h}, cy4[4] = {-h, -h, h, h};
    std::vector<SDL_Vertex> v;
    v.reserve(std::size_t(o.count) * std::size_t(std::max(6, segments * 3)));
    auto colour = [](std::size_t i) {
        float c[4];
        draw2d::Colour(i, c);
        return SDL_Color{Uint8(c[0] * 255), Uint8(c[1] * 255), Uint8(c[2] * 255), 255};
    };
    // Appends item i's triangles to v.
    auto triangles = [&](std::size_t i) {
        const draw2d::Mover& m = movers[i];
        if (side) {
            const float x = spritebench::PixelX(m), y = spritebench::PixelY(m), s = float(side);
            const SDL_Color white{255, 255, 255, 255};
            const SDL_Vertex q[4] = {{{x, y}, white, {0, 0}},
                                     {{x + s, y}, white, {1, 0}},
                                     {{x + s, y + s}, white, {1, 1}},
                                     {{x, y + s}, white, {0, 1}}};
            for (int k : {0, 1, 2, 0, 2, 3}) v.push_back(q[k]);
        } else if (o.scene == "circles") {
            const SDL_Color c = colour(i);
            const float cx = m.x + draw2d::kRadius, cy = m.y + draw2d::kRadius;
            for (int j = 0; j < segments; ++j) {
                const float a0 = 2 * pi * float(j) / float(segments);
                const float a1 = 2 * pi * float(j + 1) / float(segments);
                v.push_back({{cx, cy}, c, {0, 0}});
                v.push_back({{cx + draw2d::kRadius * std::cos(a0), cy + draw2d::kRadius * std::sin(a0)}, c, {0, 0}});
                v.push_back({{cx + draw2d::kRadius * std::cos(a1), cy + draw2d::kRadius * std::sin(a1)}, c, {0, 0}});
            }
        } else {
            const SDL_Color c = colour(i);
            const bool turned = o.scene == "rotrects";
            const float cx = m.x + h, cy = m.y + h;
            SDL_Vertex q[4];
            for (int j = 0; j < 4; ++j) {
                const float x = turned ? cx4[j] * turnC - cy4[j] * turnS : cx4[j];
                const float y = turned ? cx4[j] * turnS + cy4[j] * turnC : cy4[j];
                q[j] = {{cx + x, cy + y}, c, {0, 0}};
            }
            for (int k : {0, 1, 2, 0, 2, 3}) v.push_back(q[k]);
        }
    };

    const int code = draw2d::Measure(o, [&] {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        draw2d::Move(movers, moverSide);
        if (o.scene == "fonttext") {
            for (std::size_t i = 0; i < lines.size(); ++i)
                SDL_RenderCopy(renderer, lines[i], nullptr, &lineRects[i]);
        } else if (geometry) {
            v.clear();
            for (std::size_t i = 0; i < movers.size(); ++i) triangles(i);
            SDL_RenderGeometry(renderer, texture, v.data(), int(v.size()), nullptr, 0);
        } else if (side) {
            for (const draw2d::Mover& m : movers) {
                const SDL_Rect rect{int(spritebench::PixelX(m)), int(spritebench::PixelY(m)), side, side};
                SDL_RenderCopy(renderer, texture, nullptr, &rect);
            }
        } else if (o.scene == "rects") {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                const SDL_Color c = colour(i);
                SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
                const SDL_FRect rect{movers[i].x, movers[i].y, draw2d::kRect, draw2d::kRect};
                SDL_RenderFillRectF(renderer, &rect);
            }
        } else {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                v.clear();
                triangles(i);
                SDL_RenderGeometry(renderer, nullptr, v.data(), int(v.size()), nullptr, 0);
            }
        }
        SDL_RenderPresent(renderer);
    });
    for (SDL_Texture* t : lines) SDL_DestroyTexture(t);
    if (texture) SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return code;
}
