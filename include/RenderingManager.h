// The frame cycle: BeginFrame (clear, then step clock, keyboard, mouse and
// joysticks), Render3D / Render2D projections, EndFrame (swap). The shared
// instance is Core::Renderer.
#ifndef QUILLMAR_RENDERINGMANAGER_H
#define QUILLMAR_RENDERINGMANAGER_H

#include "Color4f.h"
#include "QuillmarExport.h"
#include "ViewFrustum.h"

class WindowManager;
class TimeManager;
class KeyboardManager;
class MouseManager;
class JoystickManager;

class QM_API RenderingManager {
public:
    // Constant: the shared instance needs no code at load.
    constexpr RenderingManager()
        : ready(false), fieldOfView(80.0f), window(nullptr), timer(nullptr), keyboard(nullptr),
          mouse(nullptr), joystick(nullptr), clearColor{0, 0, 0, 0}, nearClip(1.0f),
          farClip(10000.0f), viewportWidth(0), viewportHeight(0), Frustum{} {}

    // Wires the manager; the pointers are not owned and must outlive its use.
    void Init(WindowManager* window, TimeManager* timer, KeyboardManager* keyboard,
              MouseManager* mouse, JoystickManager* joystick);
    // Also sets the GL viewport to the whole window when its size changed.
    void BeginFrame();
    void EndFrame();
    // Orthographic projection in window pixels, origin bottom-left, y up.
    void Render2D();
    // Perspective projection from the field of view and the window's aspect ratio.
    void Render3D();
    // Vertical field of view in degrees, kept only when strictly between 0 and 180.
    void SetFieldOfView(float degrees);
    // Distances of both projections. A value that makes no projection is
    // ignored: near is kept only when 0 < near < far, far only when it is
    // finite and beyond near, each against the other's current value. So to
    // move both beyond the current far plane, set far first; below the
    // current near plane, set near first.
    void SetNearClippingPlane(float distance);
    void SetFarClippingPlane(float distance);

private:
    bool ready;
    float fieldOfView;
    WindowManager* window;
    TimeManager* timer;
    KeyboardManager* keyboard;
    MouseManager* mouse;
    JoystickManager* joystick;
    Color4f clearColor;
    float nearClip;
    float farClip;
    // The window size the GL viewport was last set to (0 x 0: not yet, or
    // no window), so that glViewport is called only when the size changes.
    int viewportWidth;
    int viewportHeight;

    friend struct RenderingManagerProbe;

public:
    // Culling against the view of the latest Frustum.Step().
    ViewFrustum Frustum;
};

#endif
