// The sprite benchmark through SDL2's renderer on its OpenGL driver:
// SDL_RenderCopy per sprite, with SDL's command batching on.
#include "sprite_scene.h"

#include <SDL2/SDL.h>

int main(int argc, char** argv) {
    const spritebench::Options o = spritebench::Parse(argc, argv);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    // Naming a driver turns batching off unless asked for.
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bench_sprites_sdl: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bench sprites sdl", 0, 0, o.Width(), o.Height(), 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)
                                    : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "bench_sprites_sdl: %s\n", SDL_GetError());
        return 1;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strcmp(info.name, "opengl") != 0) {
        std::fprintf(stderr, "bench_sprites_sdl: not the OpenGL renderer\n");
        return 1;
    }
    SDL_RenderSetScale(renderer, float(double(o.Width()) / spritebench::kFieldWidth),
                       float(double(o.Height()) / spritebench::kFieldHeight));
    const std::vector<unsigned char> pixels = spritebench::DiscPixels();
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32,
                                             SDL_TEXTUREACCESS_STATIC, spritebench::kSide,
                                             spritebench::kSide);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), spritebench::kSide * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    std::vector<spritebench::Mover> movers = spritebench::MakeMovers(o.count);

    const int code = spritebench::Measure(o, [&] {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        spritebench::Move(movers);
        for (const spritebench::Mover& m : movers) {
            const SDL_Rect rect{int(spritebench::PixelX(m)), int(spritebench::PixelY(m)),
                                 spritebench::kSide, spritebench::kSide};
            SDL_RenderCopy(renderer, texture, nullptr, &rect);
        }
        SDL_RenderPresent(renderer);
    });
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return code;
}
