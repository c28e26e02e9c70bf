// Up to eight joysticks (0..7), polled once per frame: 16 buttons (0..15) and
// 6 axes (0..5, each -1..1) each. Out-of-range numbers read as false / 0.
#ifndef QUILLMAR_JOYSTICKMANAGER_H
#define QUILLMAR_JOYSTICKMANAGER_H

#include "QuillmarExport.h"

struct JoystickState {
    unsigned char buttons[16];
    unsigned char prevButtons[16];
    float axes[6];
};

class QM_API JoystickManager {
public:
    JoystickManager();
    void Step();
    bool IsConnected(int joy);  // asked at the time of the call
    bool GetButtonHold(int joy, int button);
    bool GetButtonPress(int joy, int button);
    bool GetButtonRelease(int joy, int button);
    float GetAxis(int joy, int axis);

    // The same queries on a const manager.
    bool IsConnected(int joy) const;
    bool GetButtonHold(int joy, int button) const;
    bool GetButtonPress(int joy, int button) const;
    bool GetButtonRelease(int joy, int button) const;
    float GetAxis(int joy, int axis) const;

private:
    JoystickState joysticks[8];

    friend struct JoystickManagerProbe;
};

#endif
