// The sprite benchmark through SFML 2.5: --mode sprite draws one sf::Sprite
// per sprite; --mode vertexarray fills one sf::VertexArray of quads and draws
// it once.
#include "sprite_scene.h"

#include <SFML/Graphics.hpp>

#include <cstring>

int main(int argc, char** argv) {
    const spritebench::Options o = spritebench::Parse(argc, argv);
    const bool vertexArray = std::strcmp(o.mode, "vertexarray") == 0;
    sf::RenderWindow window(sf::VideoMode(unsigned(o.Width()), unsigned(o.Height())),
                            "bench sprites sfml", sf::Style::Titlebar | sf::Style::Close);
    window.setVerticalSyncEnabled(false);
    window.setView(sf::View(sf::FloatRect(0, 0, spritebench::kFieldWidth,
                                          spritebench::kFieldHeight)));
    const std::vector<unsigned char> pixels = spritebench::DiscPixels();
    sf::Texture texture;
    if (!texture.create(spritebench::kSide, spritebench::kSide)) return 1;
    texture.update(pixels.data());
    std::vector<spritebench::Mover> movers = spritebench::MakeMovers(o.count);
    std::vector<sf::Sprite> sprites(movers.size(), sf::Sprite(texture));
    sf::VertexArray quads(sf::Quads, movers.size() * 4);
    const float side = float(spritebench::kSide);

    return spritebench::Measure(o, [&] {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
        window.clear();
        spritebench::Move(movers);
        if (vertexArray) {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                const float x = spritebench::PixelX(movers[i]), y = spritebench::PixelY(movers[i]);
                sf::Vertex* q = &quads[i * 4];
                q[0] = sf::Vertex({x, y}, {0, 0});
                q[1] = sf::Vertex({x + side, y}, {side, 0});
                q[2] = sf::Vertex({x + side, y + side}, {side, side});
                q[3] = sf::Vertex({x, y + side}, {0, side});
            }
            window.draw(quads, &texture);
        } else {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                sprites[i].setPosition(spritebench::PixelX(movers[i]), spritebench::PixelY(movers[i]));
                window.draw(sprites[i]);
            }
        }
        window.display();
    });
}
