// Mouse state polled once per frame. Positions are window pixels with the
// origin at the bottom-left corner, y up (the 2D layer's coordinates).
#ifndef QUILLMAR_MOUSEMANAGER_H
#define QUILLMAR_MOUSEMANAGER_H

#include "Keys.h"
#include "QuillmarExport.h"
#include "Vector2D.h"

class QM_API MouseManager {
public:
    // Constant: the shared instance needs no code at load.
    constexpr MouseManager()
        : rawX(0), rawY(0), smoothX(0), smoothY(0), lastSmoothX(0), lastSmoothY(0),
          velocityX(0), velocityY(0), readX(0), readY(0), leftDown(false), rightDown(false),
          prevLeftDown(false), prevRightDown(false), middleDown(false), prevMiddleDown(false),
          motionX(0), motionY(0), pointerX(0), pointerY(0) {}

    void Step();
    Vector2D GetPosition();  // smoothed: moves halfway to the cursor each Step
                             // from (0, 0): for a trailing, eased follower
    Vector2D GetVelocity();  // change of the smoothed position over the last Step, pixels per frame
    // Moves the cursor; the smoothed position jumps there. Where the pointer
    // cannot go (beyond the screen; anywhere while the window lacks input
    // focus, as the windowing library moves it only then) it stops short, and
    // the position jumps to where it really is. A NaN coordinate is ignored:
    // nothing moves.
    void SetPosition(float x, float y);
    void SetPosition(Vector2D position);
    // Shows or hides the cursor; hidden also frees it from the window. The
    // system cursor keeps a display count: each call moves it one up (show)
    // or one down (hide), and the cursor is hidden while it is below zero, so
    // hiding twice needs showing twice. The count stops at the ends of int.
    void SetVisibility(bool visible);
    float GetWheelPosition();  // total wheel movement since start, read at call time

    bool GetLeftHold();
    bool GetLeftPress();
    bool GetLeftRelease();
    bool GetRightHold();
    bool GetRightPress();
    bool GetRightRelease();
    bool GetMiddleHold();
    bool GetMiddlePress();
    bool GetMiddleRelease();

    // The same queries on a const manager.
    Vector2D GetPosition() const;
    Vector2D GetVelocity() const;
    float GetWheelPosition() const;
    bool GetLeftHold() const;
    bool GetLeftPress() const;
    bool GetLeftRelease() const;
    bool GetRightHold() const;
    bool GetRightPress() const;
    bool GetRightRelease() const;
    bool GetMiddleHold() const;
    bool GetMiddlePress() const;
    bool GetMiddleRelease() const;

    // The same three states by button: GetButtonHold(MouseButton::Left) is
    // GetLeftHold(). A value naming no button reads as up.
    bool GetButtonHold(MouseButton button) const;
    bool GetButtonPress(MouseButton button) const;
    bool GetButtonRelease(MouseButton button) const;

    // Where the pointer itself is, in the same coordinates (whole pixels),
    // neither smoothed nor clamped: as of the latest Step, or of a SetPosition
    // since (where the pointer really went). For a crosshair or a click
    // target; GetPosition trails it. (0, 0) before the first Step.
    Vector2D GetPointerPosition() const;

    // How far the pointer itself moved between the latest two Steps, in
    // pixels (x right, y up), neither smoothed nor rounded to the window: for
    // mouse-look. It is the pointer's own travel on the screen: moves made
    // by SetPosition, hiding or showing the cursor, moving or resizing the
    // window (with the cursor hidden, one that no longer covers it carries
    // it along) and opening it are not motion, however many happen in a
    // frame, so re-centring the cursor every frame loses nothing. With the cursor hidden (unbounded) motion keeps
    // coming at the screen's edge. 0 before the first Step.
    Vector2D GetRawMotion() const;

private:
    float rawX;
    float rawY;
    float smoothX;
    float smoothY;
    float lastSmoothX;
    float lastSmoothY;
    float velocityX;
    float velocityY;
    int readX;
    int readY;
    bool leftDown;
    bool rightDown;
    bool prevLeftDown;
    bool prevRightDown;
    bool middleDown;
    bool prevMiddleDown;
    float motionX;
    float motionY;
    float pointerX;
    float pointerY;

    friend struct MouseManagerProbe;
};

#endif
