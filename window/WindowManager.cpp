#include "WindowManager.h"

#include "Extensions.h"
#include "ToString.h"
#include "glfw2.h"
#include "system.h"

#include <GL/gl.h>

#include <cstdlib>

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif

namespace {
bool InUnitRange(float v) { return v >= 0.0f && v <= 1.0f; }  // false for NaN

// Window sides a window can have: at least one pixel, and no more than the
// common GL viewport limit (a larger window could not be drawn whole).
constexpr int kMaxSide = 16384;
bool ValidSide(int side) { return side >= 1 && side <= kMaxSide; }

// The size of the open window as the player sees it; false when no window is
// open. The windowing library keeps it from the window's events, so this is
// no round trip to the display.
bool ShownSize(int* width, int* height) {
    *width = 0;
    *height = 0;
    glfw2::glfwGetWindowSize(width, height);
    return *width > 0 && *height > 0;
}
}  // namespace

WindowManager::WindowManager()
    : width(800), height(600), positionX(100), positionY(50), depthBufferBits(16),
      fullScreen(false), clearColor{0.0f, 0.0f, 0.0f, 1.0f}, clearColorBuffer(true),
      clearDepthBuffer(true), multisampleEnabled(true), sampleCount(2), textureQuality(2),
      title("Quillmar"), windowHandle(nullptr), hdc(nullptr),
      aspectRatio(float(800.0 / 600.0)) {}

// [SECTION] Opening and closing

bool WindowManager::Open() {
    using namespace glfw2;
    if (multisampleEnabled) glfwOpenWindowHint(GLFW_FSAA_SAMPLES, sampleCount);
    glfwOpenWindowHint(GLFW_WINDOW_NO_RESIZE, 1);
    int opened = glfwOpenWindow(width, height, 8, 8, 8, 0, depthBufferBits, 0,
                                fullScreen ? GLFW_FULLSCREEN : GLFW_WINDOW);
    if (opened <= 0) return false;

    // A temporary random title finds the native window; it also reseeds the
    // game's rand() sequence, which games may rely on.
    std::srand(qmsys::Milliseconds());
    std::string temporaryTitle = ToString<int>(std::rand());
    glfwSetWindowTitle(temporaryTitle.c_str());
    windowHandle = qmsys::FindWindow(temporaryTitle.c_str());
    hdc = static_cast<HDC>(qmsys::GetDC(windowHandle));
    glfwSetWindowTitle(title.c_str());

    aspectRatio = float(double(width) / double(height));
    glfwSetWindowPos(positionX, positionY);
    glfwEnable(GLFW_MOUSE_CURSOR);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    InitExtensions();

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_SECONDARY_COLOR_ARRAY);
    return true;
}

void WindowManager::Close() { glfw2::glfwCloseWindow(); }

void WindowManager::ForgetNativeHandles() {
    windowHandle = nullptr;
    hdc = nullptr;
}

bool WindowManager::IsOpen() { return glfw2::glfwGetWindowParam(glfw2::GLFW_OPENED) > 0; }

// [SECTION] Settings

void WindowManager::SetSize(int newWidth, int newHeight) {
    if (!ValidSide(newWidth) || !ValidSide(newHeight)) return;
    width = std::uint16_t(newWidth);
    height = std::uint16_t(newHeight);
    glfw2::glfwSetWindowSize(newWidth, newHeight);
    aspectRatio = float(double(newWidth) / double(newHeight));
}

void WindowManager::SetPosition(int x, int y) {
    positionX = std::uint16_t(x);
    positionY = std::uint16_t(y);
    glfw2::glfwSetWindowPos(x, y);
}

void WindowManager::SetTitle(const char* newTitle) {
    if (!newTitle) return;
    title = newTitle;
    glfw2::glfwSetWindowTitle(title.c_str());
}

void WindowManager::SetDepthBufferBits(int bits) {
    depthBufferBits = bits < 20 ? 16 : bits < 28 ? 24 : 32;
}

void WindowManager::SetFullScreen(bool on) { fullScreen = on; }

void WindowManager::SetClearColor(float r, float g, float b, float a) {
    SetClearColor(r, g, b);
    if (InUnitRange(a)) clearColor.a = a;
}

void WindowManager::SetClearColor(float r, float g, float b) {
    if (InUnitRange(r)) clearColor.r = r;
    if (InUnitRange(g)) clearColor.g = g;
    if (InUnitRange(b)) clearColor.b = b;
}

void WindowManager::SetClearColorBuffer(bool clear) { clearColorBuffer = clear; }

void WindowManager::SetClearDepthBuffer(bool clear) { clearDepthBuffer = clear; }

void WindowManager::SetSampleRate(int samples) {
    multisampleEnabled = samples > 1;
    sampleCount = samples <= 1    ? 1
                  : samples <= 3  ? 2
                  : samples <= 6  ? 4
                  : samples <= 13 ? 8
                  : samples <= 128 ? 16
                                   : 2;  // far beyond any device: back to the default
}

void WindowManager::SetTextureQuality(int quality) { textureQuality = std::uint8_t(quality); }

void WindowManager::SetVerticalSync(bool on) {
    if (ext::wglSwapIntervalEXT) ext::wglSwapIntervalEXT(on ? 1 : 0);
}

// [SECTION] Queries

bool WindowManager::GetClearColorBuffer() { return clearColorBuffer; }
bool WindowManager::GetClearDepthBuffer() { return clearDepthBuffer; }
Color4f WindowManager::GetClearColor() { return clearColor; }
// While the window is open, the size is that of the window the player sees,
// whoever changed it (SetSize, a window manager, a full-screen mode the display
// could not switch to); otherwise the stored setting.
int WindowManager::GetWidth() {
    int shownWidth, shownHeight;
    return ShownSize(&shownWidth, &shownHeight) ? shownWidth : width;
}

int WindowManager::GetHeight() {
    int shownWidth, shownHeight;
    return ShownSize(&shownWidth, &shownHeight) ? shownHeight : height;
}

HDC WindowManager::GetHDC() { return hdc; }

float WindowManager::GetAspectRatio() {
    int shownWidth, shownHeight;
    if (ShownSize(&shownWidth, &shownHeight))
        return float(double(shownWidth) / double(shownHeight));
    return aspectRatio;
}
