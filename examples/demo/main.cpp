// Quillmar demo: a ship hunting targets on the 2D layer over a 3D field seen
// through a flying camera. Shows every subsystem through the public headers:
// window settings, the frame cycle, both projections, frustum culling, 2D
// drawing, keyboard / mouse / joystick input, timing, vectors, headings and
// collisions.
//
//   demo [--width N] [--height N] [--samples N] [--vsync | --no-vsync] [--fullscreen]
//        [--frames N] [--screenshot FILE] [--scripted] [--help]
#include "Field.h"
#include "Game.h"
#include "Icon.h"
#include "Options.h"
#include "Render.h"
#include "Text.h"

#include <Quillmar.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const float kStickDeadZone = 0.3f;  // for a joystick without a gamepad mapping
const float kLookDegreesPerPixel = 0.15f;

// One frame's requests from the keyboard, the mouse and the first pad: a
// gamepad by its buttons' names when it is one (Gamepad.h: the left stick
// steers, A fires, B boosts, the right stick moves the camera), else the
// first joystick's raw buttons and axes.
demo::Controls ReadDevices() {
    demo::Controls controls;
    const KeyboardManager& keys = Core::Keyboard;
    const MouseManager& mouse = Core::Mouse;
    const JoystickManager& joystick = Core::Joystick;
    const GamepadManager& gamepad = Core::Gamepad;

    float sx = float(keys.GetKeyHold(Key::Right)) - float(keys.GetKeyHold(Key::Left));
    float sy = float(keys.GetKeyHold(Key::Up)) - float(keys.GetKeyHold(Key::Down));
    const bool named = gamepad.IsGamepad(0);
    const bool stick = !named && joystick.IsConnected(0);
    const bool keyed = sx != 0.0f || sy != 0.0f;
    float deadZone = 0.0f;
    if (named && !keyed) {
        const Vector2D left = gamepad.GetLeftStick(0);  // zoned already, y up
        sx = left.x;
        sy = left.y;
    } else if (stick && !keyed) {
        sx = joystick.GetAxis(0, 0);
        sy = -joystick.GetAxis(0, 1);  // sticks report up as negative
        deadZone = kStickDeadZone;
    }
    controls.steering = demo::HeadingFromStick(sx, sy, deadZone, controls.steerHeading);
    controls.boost = keys.GetKeyHold(Key::LeftShift) ||
                     (named && gamepad.GetButtonHold(0, GamepadButton::B)) ||
                     (stick && joystick.GetButtonHold(0, 1));

    controls.fireNose = keys.GetKeyHold(Key::Space) ||
                        (named && gamepad.GetButtonHold(0, GamepadButton::A)) ||
                        (stick && joystick.GetButtonHold(0, 0));
    // Press as well as hold: a click shorter than a frame still fires once.
    controls.fireTurret =
        mouse.GetButtonHold(MouseButton::Left) || mouse.GetButtonPress(MouseButton::Left);
    controls.fireFan = mouse.GetButtonPress(MouseButton::Right) ||
                       (named && gamepad.GetButtonPress(0, GamepadButton::X));
    // The pointer itself, not the smoothed position: the reticle sits under the
    // cursor from the first frame; the turret's own turn rate does the easing.
    controls.aim = mouse.GetPointerPosition();

    controls.cameraMove = float(keys.GetKeyHold('W')) - float(keys.GetKeyHold('S'));
    controls.cameraTurn = float(keys.GetKeyHold('D')) - float(keys.GetKeyHold('A'));
    controls.cameraTilt = float(keys.GetKeyHold('F')) - float(keys.GetKeyHold('R'));
    if (named) {
        const Vector2D right = gamepad.GetRightStick(0);
        controls.cameraTurn += right.x;
        controls.cameraMove += right.y;
    } else if (stick) {
        float turn = joystick.GetAxis(0, 2), move = -joystick.GetAxis(0, 3);
        if (turn > kStickDeadZone || turn < -kStickDeadZone) controls.cameraTurn += turn;
        if (move > kStickDeadZone || move < -kStickDeadZone) controls.cameraMove += move;
    }
    controls.zoom = mouse.GetWheelPosition();
    return controls;
}

bool HeadlessEnvironment() {
    const char* value = std::getenv("QUILLMAR_HEADLESS");
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    demo::Options options;
    char error[160];
    if (!demo::ParseOptions(argc, argv, options, error, sizeof error)) {
        std::fprintf(stderr, "demo: %s\n", error);
        return 2;
    }
    if (options.help) {
        std::fputs(demo::Usage(), stdout);
        return 0;
    }
    if (HeadlessEnvironment()) options.scripted = true;

    // Initialization
    Core core;
    Core::Window.SetTitle("Quillmar demo");
    Core::Window.SetSize(options.width, options.height);
    Core::Window.SetDepthBufferBits(24);
    Core::Window.SetSampleRate(options.samples);
    Core::Window.SetFullScreen(options.fullScreen);
    Core::Window.SetClearColor(0.0f, 0.0f, 0.03f);
    if (!Core::Window.Open()) {
        // Some servers offer no multisampled visual: try once without.
        Core::Window.SetSampleRate(0);
        if (options.samples <= 1 || !Core::Window.Open()) {
            std::fprintf(stderr, "demo: could not open a %dx%d window: %s\n", options.width,
                         options.height, GetLastDiagnosticMessage());
            return 1;
        }
        std::fprintf(stderr, "demo: multisampling unavailable, running without it\n");
    }
    Core::Window.SetVerticalSync(options.vsync);
    demo::SetShipIcon();
    Core::Renderer.SetNearClippingPlane(0.5f);
    Core::Renderer.SetFarClippingPlane(230.0f);  // just past the fog's end

    const int width = Core::Window.GetWidth(), height = Core::Window.GetHeight();
    demo::InitScene();
    static demo::Game game;  // static: its arrays stay off the stack
    static demo::Field field;
    static demo::FrameHistory history;
    demo::Camera camera;
    demo::Script script;
    game.Reset(float(width), float(height), 20240611u);
    field.Build(7u);
    demo::HudInfo hud;
    hud.scripted = options.scripted;
    float fieldTime = 0.0f;
    bool screenshotFailed = false;
    // The game's logic runs at a fixed 60 Hz whatever the frame rate.
    FixedStep fixed(1.0 / 60.0, 6);
    const float dt = float(fixed.GetStep());
    bool fanPending = false;  // a right click waits for the next update
    Vector2D lookAnchor;      // where a middle-button drag began

    // Main loop
    for (int frame = 0; Core::Window.IsOpen(); ++frame) {
        Core::Renderer.BeginFrame();
        if (Core::Keyboard.GetKeyPress(Key::Escape)) break;

        // A scripted run takes every frame as one step, so its screenshot is
        // the same on any machine; a played one advances by the real time.
        int updates = fixed.Advance(options.scripted ? fixed.GetStep()
                                                     : Core::Timer.GetFrameDuration());
        demo::Controls controls = options.scripted ? demo::Controls() : ReadDevices();
        fanPending = fanPending || controls.fireFan;
        for (int i = 0; i < updates; ++i) {
            if (options.scripted) controls = script.Next(game, dt);
            controls.fireFan = controls.fireFan || fanPending;
            fanPending = false;
            game.Update(controls, dt);
            camera.Update(controls, dt, field.Extent());
            controls.fireFan = false;  // once per click, however many updates run
            fieldTime += dt;
        }
        field.Animate(fieldTime);

        // Mouse-look while the middle button is held: the raw motion turns the
        // camera, and the cursor goes back to where the drag began, so the aim
        // stays put and no motion is lost to the smoothing or the window's edge.
        if (!options.scripted && Core::Mouse.GetMiddleHold()) {
            if (Core::Mouse.GetMiddlePress()) lookAnchor = Core::Mouse.GetPointerPosition();
            Vector2D look = Core::Mouse.GetRawMotion();
            camera.Look(look.x * kLookDegreesPerPixel, -look.y * kLookDegreesPerPixel);
            Core::Mouse.SetPosition(lookAnchor);
        }
        history.Add(Core::Timer.GetElapsedTime());

        // 3D: the sky first (2D, no depth), then the field through the camera.
        Core::Renderer.Render2D();
        demo::DrawBackdrop(width, height, camera);
        Core::Renderer.SetFieldOfView(camera.fieldOfView);
        Core::Renderer.Render3D();
        demo::ApplyCamera(camera);
        Core::Renderer.Frustum.Step();  // planes of this view, in world coordinates
        field.Cull(Core::Renderer.Frustum);
        demo::DrawField(field);

        // 2D layer on top: the panels, then the game over them so nothing hides the ship.
        Core::Renderer.Render2D();
        hud.framesPerSecond = Core::Timer.GetFramesPerSecond();
        hud.frameTime = history.Average();
        hud.drawn = field.drawn;
        hud.culled = field.culled;
        hud.fieldOfView = camera.fieldOfView;
        hud.score = game.score;
        hud.hits = game.hits;
        hud.fired = game.fired;
        demo::DrawHud(hud, history, width, height);
        demo::DrawMinimap(field, camera, Core::Window.GetAspectRatio());
        demo::DrawArena(game, controls.aim);

        bool last = options.frames > 0 && frame + 1 >= options.frames;
        if (last && options.screenshot) {
            if (SaveScreenshot(options.screenshot))
                std::printf("screenshot: %s\n", options.screenshot);
            else {
                std::fprintf(stderr, "demo: %s\n", GetLastDiagnosticMessage());
                screenshotFailed = true;
            }
        }
        Core::Renderer.EndFrame();
        if (last) break;
    }

    // De-initialization: ~Core closes the window.
    std::printf("frames per second: %.0f, score %d, hits %d of %d shots\n",
                double(Core::Timer.GetFramesPerSecond()), game.score, game.hits, game.fired);
    return screenshotFailed ? 1 : 0;
}
