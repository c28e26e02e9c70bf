// The engine object: constructing it starts the windowing library and wires
// Core::Renderer to the other shared managers. The windowing library runs as
// long as any Core (copies included) is alive: destroying the last one closes
// the window and shuts the windowing library down. The managers themselves
// live as long as the library is loaded.
#ifndef QUILLMAR_CORE_H
#define QUILLMAR_CORE_H

#include "Gamepad.h"
#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "MouseManager.h"
#include "QuillmarExport.h"
#include "RenderingManager.h"
#include "TimeManager.h"
#include "WindowManager.h"

class QM_API Core {
public:
    Core();
    ~Core();
    Core(const Core& other);  // counts as one more live Core
    Core& operator=(const Core& other);

    static WindowManager Window;
    static TimeManager Timer;
    static KeyboardManager Keyboard;
    static MouseManager Mouse;
    static JoystickManager Joystick;
    static RenderingManager Renderer;
    // Gamepads by their buttons' names (Gamepad.h), beside Joystick.
    static GamepadManager Gamepad;

private:
    bool initialized;  // whether the windowing library started for this object

    friend struct CoreProbe;
};

#endif
