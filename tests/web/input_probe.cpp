// Input probe: reports on the page's console what the keyboard and mouse
// managers see, for tools/run-web-tests.sh to inject events through the
// DevTools protocol and compare:
//
//   key press NAME / key release NAME      (GetKeyPress / GetKeyRelease)
//   mouse X Y pixel R G B                  (smoothed position once settled,
//                                           origin bottom-left, and the pixel
//                                           of the square drawn there)
//   button press left|right|middle
//   wheel W                                (GetWheelPosition, on change)
//   raw motion DX DY                       (GetRawMotion summed, on request by H)
//
// Ends on Escape ("input probe done") or after 60 seconds.
#include <Quillmar.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

int main() {
    Core core;
    Core::Window.SetTitle("input_probe");
    Core::Window.SetSize(320, 240);
    Core::Window.SetSampleRate(0);
    if (!Core::Window.Open()) {
        std::printf("input probe: %s\n", GetLastDiagnosticMessage());
        return 1;
    }
    struct Named { int key; const char* name; };
    const Named keys[] = {{Key::Left, "LEFT"}, {Key::Right, "RIGHT"}, {Key::Space, "SPACE"},
                          {'A', "A"}, {'W', "W"}, {'7', "7"}, {Key::LeftShift, "LSHIFT"},
                          {Key::Enter, "ENTER"}, {'H', "H"}};
    Vector2D previous(-1000.0f, -1000.0f), printed(-1000.0f, -1000.0f);
    Vector2D motion;
    float wheel = 0.0f;
    std::printf("input probe ready\n");
    while (Core::Window.IsOpen()) {
        Core::Renderer.BeginFrame();
        if (Core::Keyboard.GetKeyPress(Key::Escape)) {
            std::printf("input probe done\n");
            break;
        }
        for (const Named& k : keys) {
            if (Core::Keyboard.GetKeyPress(k.key)) std::printf("key press %s\n", k.name);
            if (Core::Keyboard.GetKeyRelease(k.key)) std::printf("key release %s\n", k.name);
        }
        if (Core::Mouse.GetLeftPress()) std::printf("button press left\n");
        if (Core::Mouse.GetRightPress()) std::printf("button press right\n");
        if (Core::Mouse.GetMiddlePress()) std::printf("button press middle\n");
        if (Core::Mouse.GetWheelPosition() != wheel) {
            wheel = Core::Mouse.GetWheelPosition();
            std::printf("wheel %.0f\n", double(wheel));
        }
        motion += Core::Mouse.GetRawMotion();
        if (Core::Keyboard.GetKeyRelease('H')) {
            std::printf("raw motion %.0f %.0f\n", double(motion.x), double(motion.y));
            motion = Vector2D();
        }

        Core::Renderer.Render2D();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.0f, 1.0f, 0.0f);
        Vector2D p = Core::Mouse.GetPosition();
        glBegin(GL_QUADS);
        glVertex3f(p.x - 10, p.y - 10, -4); glVertex3f(p.x + 10, p.y - 10, -4);
        glVertex3f(p.x + 10, p.y + 10, -4); glVertex3f(p.x - 10, p.y + 10, -4);
        glEnd();
        // Reported once the smoothed position has settled on a new place.
        const bool settled = std::fabs(p.x - previous.x) < 0.5f && std::fabs(p.y - previous.y) < 0.5f;
        const bool moved = std::fabs(p.x - printed.x) >= 1.0f || std::fabs(p.y - printed.y) >= 1.0f;
        previous = p;
        if (settled && moved) {
            unsigned char px[4] = {0, 0, 0, 0};
            glReadPixels(int(p.x), int(p.y), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
            std::printf("mouse %.0f %.0f pixel %d %d %d\n", double(p.x), double(p.y), px[0], px[1], px[2]);
            printed = p;
        }
        Core::Renderer.EndFrame();
        if (Core::Timer.GetTimeSinceStart() > 60.0) {
            std::printf("input probe timed out\n");
            break;
        }
    }
    return 0;
}
