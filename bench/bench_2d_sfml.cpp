// The 2D benchmark through SFML 2.5's tuned path (draw2d_scene.h): each
// frame refills one sf::VertexArray (quads for sprites and rectangles,
// triangles for circles) and draws it once; text is a vertex array of the
// same strokes as lines, built once (--mode sftext: one cached sf::Text per
// line in DejaVu Sans, as a game would keep its HUD). --mode drawables: one
// sf::Sprite, sf::RectangleShape or sf::CircleShape per item, made before the
// measurement, moved and drawn with window.draw each frame.
#include "draw2d_scene.h"

#include <SFML/Graphics.hpp>

int main(int argc, char** argv) {
    const draw2d::Options o = draw2d::Parse(argc, argv);
    bool sfText = false, drawables = false;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--mode")) {
            sfText = !std::strcmp(argv[i + 1], "sftext");
            drawables = !std::strcmp(argv[i + 1], "drawables");
        }
    sf::RenderWindow window(sf::VideoMode(draw2d::kWidth, draw2d::kHeight), "bench 2d sfml",
                            sf::Style::Titlebar | sf::Style::Close);
    window.setVerticalSyncEnabled(false);
    const int side = draw2d::SpriteSide(o.scene);
    sf::Texture texture;
    if (side) {
        const std::vector<unsigned char> pixels = draw2d::Disc(side);
        if (!texture.create(unsigned(side), unsigned(side))) return 1;
        texture.update(pixels.data());
    }
    const float moverSide = draw2d::MoverSide(o.scene);
    std::vector<draw2d::Mover> movers = draw2d::MakeMovers(o.count, moverSide);
    sf::VertexArray va(o.scene == "circles" ? sf::Triangles
                       : o.scene == "text"  ? sf::Lines
                                            : sf::Quads);
    const int segments = draw2d::CircleSegments(draw2d::kRadius);
    const float pi = 3.14159265f;
    const float turnS = std::sin(draw2d::kTurn * pi / 180), turnC = std::cos(draw2d::kTurn * pi / 180);
    sf::Font font;
    std::vector<sf::Text> texts;
    if (o.scene == "fonttext") {
        // The same lines as cached sf::Text in the same font and pixel size.
        if (!font.loadFromFile(draw2d::kFontFile)) return 1;
        for (int i = 0; i < o.count; ++i) {
            float x, y;
            draw2d::TextOrigin(i, &x, &y);
            texts.emplace_back(draw2d::TextLine(i), font, unsigned(draw2d::kFontPixels));
            texts.back().setPosition(x, float(draw2d::kHeight) - y - float(draw2d::kFontPixels));
        }
    }
    if (o.scene == "text") {
        for (int i = 0; i < o.count; ++i)
            draw2d::TextStrokes(i, [&](float x0, float y0, float x1, float y1) {
                va.append(sf::Vertex({x0, y0}, sf::Color::White));
                va.append(sf::Vertex({x1, y1}, sf::Color::White));
            });
        if (sfText) {
            if (!font.loadFromFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")) return 1;
            for (int i = 0; i < o.count; ++i) {
                float x, y;
                draw2d::TextOrigin(i, &x, &y);
                texts.emplace_back(draw2d::TextLine(i), font, 8);
                texts.back().setPosition(x, float(draw2d::kHeight) - y - 8);
            }
        }
    }
    auto colour = [](std::size_t i) {
        float c[4];
        draw2d::Colour(i, c);
        return sf::Color(sf::Uint8(c[0] * 255), sf::Uint8(c[1] * 255), sf::Uint8(c[2] * 255));
    };
    std::vector<sf::Sprite> sprites;
    std::vector<sf::RectangleShape> rects;
    std::vector<sf::CircleShape> circles;
    if (drawables) {
        for (std::size_t i = 0; i < movers.size(); ++i) {
            if (side) {
                sprites.emplace_back(texture);
            } else if (o.scene == "circles") {
                circles.emplace_back(draw2d::kRadius, std::size_t(segments));
                circles.back().setFillColor(colour(i));
            } else if (o.scene == "rects" || o.scene == "rotrects") {
                rects.emplace_back(sf::Vector2f(draw2d::kRect, draw2d::kRect));
                rects.back().setFillColor(colour(i));
                rects.back().setOrigin(draw2d::kRect / 2, draw2d::kRect / 2);
                if (o.scene == "rotrects") rects.back().setRotation(draw2d::kTurn);
            }
        }
    }

    return draw2d::Measure(o, [&] {
        sf::Event event;
        while (window.pollEvent(event)) {
        }
        window.clear();
        draw2d::Move(movers, moverSide);
        if (drawables && !o.scene.empty() && o.scene.find("text") == std::string::npos) {
            for (std::size_t i = 0; i < movers.size(); ++i) {
                if (side) {
                    sprites[i].setPosition(spritebench::PixelX(movers[i]), spritebench::PixelY(movers[i]));
                    window.draw(sprites[i]);
                } else if (o.scene == "circles") {
                    circles[i].setPosition(movers[i].x, movers[i].y);
                    window.draw(circles[i]);
                } else {
                    rects[i].setPosition(movers[i].x + draw2d::kRect / 2, movers[i].y + draw2d::kRect / 2);
                    window.draw(rects[i]);
                }
            }
        } else if (side) {
            va.resize(movers.size() * 4);
            const float s = float(side);
            for (std::size_t i = 0; i < movers.size(); ++i) {
                const float x = spritebench::PixelX(movers[i]), y = spritebench::PixelY(movers[i]);
                sf::Vertex* q = &va[i * 4];
                q[0] = sf::Vertex({x, y}, {0, 0});
                q[1] = sf::Vertex({x + s, y}, {s, 0});
                q[2] = sf::Vertex({x + s, y + s}, {s, s});
                q[3] = sf::Vertex({x, y + s}, {0, s});
            }
            window.draw(va, &texture);
        } else if (o.scene == "circles") {
            va.resize(movers.size() * std::size_t(segments) * 3);
            std::size_t k = 0;
            for (std::size_t i = 0; i < movers.size(); ++i) {
                const sf::Color c = colour(i);
                const float cx = movers[i].x + draw2d::kRadius, cy = movers[i].y + draw2d::kRadius;
                for (int j = 0; j < segments; ++j) {
                    const float a0 = 2 * pi * float(j) / float(segments);
                    const float a1 = 2 * pi * float(j + 1) / float(segments);
                    va[k++] = sf::Vertex({cx, cy}, c);
                    va[k++] = sf::Vertex({cx + draw2d::kRadius * std::cos(a0),
                                          cy + draw2d::kRadius * std::sin(a0)}, c);
                    va[k++] = sf::Vertex({cx + draw2d::kRadius * std::cos(a1),
                                          cy + draw2d::kRadius * std::sin(a1)}, c);
                }
            }
            window.draw(va);
        } else if (o.scene == "rects" || o.scene == "rotrects") {
            const bool turned = o.scene == "rotrects";
            va.resize(movers.size() * 4);
            const float h = draw2d::kRect / 2;
            const float cx4[4] = {-h, h, h, -h}, cy4[4] = {-h, -h, h, h};
            for (std::size_t i = 0; i < movers.size(); ++i) {
                const sf::Color c = colour(i);
                const float cx = movers[i].x + h, cy = movers[i].y + h;
                sf::Vertex* q = &va[i * 4];
                for (int j = 0; j < 4; ++j) {
                    const float x = turned ? cx4[j] * turnC - cy4[j] * turnS : cx4[j];
                    const float y = turned ? cx4[j] * turnS + cy4[j] * turnC : cy4[j];
                    q[j] = sf::Vertex({cx + x, cy + y}, c);
                }
            }
            window.draw(va);
        } else if (o.scene == "fonttext") {
            for (const sf::Text& t : texts) window.draw(t);
        } else if (o.scene == "text") {
            if (sfText)
                for (const sf::Text& t : texts) window.draw(t);
            else
                window.draw(va);
        }
        window.display();
    });
}
