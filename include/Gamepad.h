// Gamepads by their buttons' names, beside JoystickManager's numbered buttons
// and axes: a pad the windowing library knows the layout of (a gamepad
// mapping) reads the same whatever its maker, as the standard pad below.
//
// Pads are numbered 0..7 as the joysticks are; a pad is a gamepad when it is
// connected and has a mapping. On the desktop the mappings are GLFW 3's
// database (it knows the common pads) plus any the game adds with AddMappings
// (the SDL game-controller format, one pad a line). In a web page the
// browser's own "standard" mapping is read through the Gamepad API; a pad the
// browser has no standard mapping for is no gamepad there.
//
// Core::Gamepad is the shared instance. RenderingManager::BeginFrame polls
// it from the frame after the game first asks it anything (a game that never
// does pays nothing), so a game never calls its Step (a second Step in a
// frame would take that frame's presses away); a GamepadManager of the
// game's own is polled by its own Step. States change only in Step, as the
// keyboard's do.
#ifndef QUILLMAR_GAMEPAD_H
#define QUILLMAR_GAMEPAD_H

#include "QuillmarExport.h"
#include "Vector2D.h"

// The standard pad's buttons, by place: A is the bottom face button, B the
// right one, X the left one, Y the top one, whatever is printed on them.
enum class GamepadButton : int {
    A = 0,
    B = 1,
    X = 2,
    Y = 3,
    LeftBumper = 4,
    RightBumper = 5,
    Back = 6,        // also Select, Share, View, Minus
    Start = 7,       // also Options, Menu, Plus
    Guide = 8,       // the maker's logo button; a browser or system may keep it
    LeftStick = 9,   // the left stick pressed in
    RightStick = 10, // the right stick pressed in
    DpadUp = 11,
    DpadRight = 12,
    DpadDown = 13,
    DpadLeft = 14,
};

// Sticks read -1..1 with up and right positive (the 2D layer's y is up);
// triggers read 0 (released) .. 1 (fully pulled).
enum class GamepadAxis : int {
    LeftX = 0,
    LeftY = 1,
    RightX = 2,
    RightY = 3,
    LeftTrigger = 4,
    RightTrigger = 5,
};

class QM_API GamepadManager {
public:
    static constexpr int kPads = 8;
    static constexpr int kButtons = 15;
    static constexpr int kAxes = 6;
    // A stick at rest on a worn pad sits up to about this far off centre.
    static constexpr float kDefaultDeadZone = 0.2f;

    // Constant: the shared instance needs no code at load.
    constexpr GamepadManager() : pads(), deadZone(kDefaultDeadZone) {}

    // Polls all eight pads. A pad that connects (or gains a mapping) reads as
    // a gamepad from this Step on; one that disconnects reads as released
    // buttons and centred axes, so a held button reports one Release.
    void Step();

    // Out-of-range pads, and values naming no button or axis, read as false,
    // 0 or "". All answers are as of the latest Step.
    bool IsGamepad(int pad) const;
    // The pad's name from its mapping ("Xbox Controller"), or the browser's
    // name for it; "" when it is no gamepad. Valid until the next Step.
    const char* GetName(int pad) const;
    // Became a gamepad at the latest Step / stopped being one at it.
    bool WasConnected(int pad) const;
    bool WasDisconnected(int pad) const;

    // Down now; down now and up at the Step before; up now and down before.
    bool GetButtonHold(int pad, GamepadButton button) const;
    bool GetButtonPress(int pad, GamepadButton button) const;
    bool GetButtonRelease(int pad, GamepadButton button) const;

    // A stick's axis after the radial dead zone: the stick's offset from
    // centre counts from the dead zone's edge, scaled so that full tilt is
    // still 1 (a stick inside the zone reads 0, 0). Triggers are not zoned.
    float GetAxis(int pad, GamepadAxis axis) const;
    // Both axes of a stick, zoned together; length at most 1.
    Vector2D GetLeftStick(int pad) const;
    Vector2D GetRightStick(int pad) const;

    // The dead zone's radius, 0 (none) up to but not including 1, for every
    // pad of this manager. Another value (or NaN) is ignored, the old one
    // kept, reported as GamepadDeadZoneIgnored.
    void SetDeadZone(float radius);
    float GetDeadZone() const;

    // Adds pad mappings in the SDL game-controller format, one a line
    // ("<32 hex digit GUID>,<name>,a:b0,b:b1,...,platform:Linux,"); a line
    // for a pad already known replaces its mapping, lines for another
    // platform and comment lines (#) are skipped. They stay in force for
    // the rest of the run, across a Core's end and a new one; pads read
    // with them from the next Step. Before the first Core they are kept
    // until it starts (true: a line not understood is reported then, as a
    // PlatformError). False, reported as GamepadMappingsRefused, when the
    // text is null or a line was not understood (the other lines are taken);
    // in a web page always false (GamepadMappingsUnavailable): the browser
    // maps its pads itself.
    static bool AddMappings(const char* text);
    // The same, from a file (such as the community's gamecontrollerdb.txt).
    // False, reported as GamepadMappingsUnreadable, when the file cannot be
    // read whole or is over 16 MiB. Allocates for the call.
    static bool AddMappingsFromFile(const char* path);

private:
    struct Pad {
        bool connected;
        bool prevConnected;
        unsigned char buttons[kButtons];
        unsigned char prevButtons[kButtons];
        float axes[kAxes];  // as read: sticks y down, triggers 0..1
        char name[128];
    };
    Vector2D Stick(int pad, int xAxis) const;

    Pad pads[kPads];
    float deadZone;

    friend struct GamepadManagerProbe;
};

#endif
