// Gamepad probe: reports on the page's console what Core::Gamepad sees, for
// tools/web/run_web_tests.py to drive through a scripted navigator.getGamepads:
//
//   pad N connected NAME / pad N disconnected
//   pad N press BUTTON / pad N release BUTTON     (by the button's name)
//   pad N axes lx=.. ly=.. rx=.. ry=.. lt=.. rt=..  (on change, zoned, y up)
//   dead zone Z                                   (Back sets 0.5, Start the default)
//
// Ends when Guide is pressed ("gamepad probe done"), or after 60 seconds.
#include <Quillmar.h>

#include <cmath>
#include <cstdio>

int main() {
    Core core;
    Core::Window.SetTitle("gamepad_probe");
    Core::Window.SetSize(160, 120);
    if (!Core::Window.Open()) {
        std::printf("gamepad probe: %s\n", GetLastDiagnosticMessage());
        return 1;
    }
    const char* const names[GamepadManager::kButtons] = {
        "A", "B", "X", "Y", "LeftBumper", "RightBumper", "Back", "Start", "Guide",
        "LeftStick", "RightStick", "DpadUp", "DpadRight", "DpadDown", "DpadLeft"};
    GamepadManager& pads = Core::Gamepad;
    float shown[GamepadManager::kPads][GamepadManager::kAxes] = {};
    std::printf("gamepad probe ready\n");
    bool done = false;
    // About a minute at the browser's refresh.
    for (int frame = 0; frame < 60 * 60 && Core::Window.IsOpen() && !done; ++frame) {
        Core::Renderer.BeginFrame();
        for (int p = 0; p < GamepadManager::kPads; ++p) {
            if (pads.WasConnected(p)) std::printf("pad %d connected %s\n", p, pads.GetName(p));
            if (pads.WasDisconnected(p)) std::printf("pad %d disconnected\n", p);
            for (int b = 0; b < GamepadManager::kButtons; ++b) {
                if (pads.GetButtonPress(p, GamepadButton(b))) std::printf("pad %d press %s\n", p, names[b]);
                if (pads.GetButtonRelease(p, GamepadButton(b))) std::printf("pad %d release %s\n", p, names[b]);
            }
            if (pads.GetButtonPress(p, GamepadButton::Back)) {
                pads.SetDeadZone(0.5f);
                std::printf("dead zone %.2f\n", double(pads.GetDeadZone()));
            }
            if (pads.GetButtonPress(p, GamepadButton::Start)) {
                pads.SetDeadZone(GamepadManager::kDefaultDeadZone);
                std::printf("dead zone %.2f\n", double(pads.GetDeadZone()));
            }
            if (pads.GetButtonPress(p, GamepadButton::Guide)) done = true;
            float now[GamepadManager::kAxes];
            bool changed = false;
            for (int a = 0; a < GamepadManager::kAxes; ++a) {
                now[a] = pads.GetAxis(p, GamepadAxis(a));
                changed = changed || std::fabs(now[a] - shown[p][a]) > 1e-6f;
                shown[p][a] = now[a];
            }
            if (changed)
                std::printf("pad %d axes lx=%.3f ly=%.3f rx=%.3f ry=%.3f lt=%.3f rt=%.3f\n", p,
                            double(now[0]), double(now[1]), double(now[2]), double(now[3]),
                            double(now[4]), double(now[5]));
        }
        Core::Renderer.EndFrame();
    }
    std::printf("gamepad probe done\n");
    return 0;
}
