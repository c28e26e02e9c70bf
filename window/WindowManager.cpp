#include "WindowManager.h"

#include "Extensions.h"
#include "ToString.h"
#include "glfw2.h"
#include "system.h"
#include "core/Report.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"

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

// Keeps a clear-colour component when it lies in 0..1, else reports it.
void KeepComponent(float& kept, float requested, int index) {
    if (InUnitRange(requested))
        kept = requested;
    else
        qmdiag::Report(Diagnostic::ClearColorIgnored, index, requested);
}

// Asks only the adapter's record of the failed open, so a failed Open still
// makes no windowing call after glfwOpenWindow.
void ReportOpenFailure(int depthBits, int samples) {
    switch (glfw2::LastOpenFailure()) {
    case glfw2::OpenFailure::NotInitialized:
        qmdiag::Report(qmdiag::CurrentWindowing() == qmdiag::Windowing::Failed
                           ? Diagnostic::NoDisplay
                           : Diagnostic::NoCore);
        break;
    case glfw2::OpenFailure::AlreadyOpen: qmdiag::Report(Diagnostic::WindowAlreadyOpen); break;
    default:
        qmdiag::Report(Diagnostic::NoContext, depthBits, samples);
        break;
    }
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
    // A callback that closes or reopens the window waits until the window
    // is set up (or has failed), not half-way.
    qmdiag::Hold hold;
    if (multisampleEnabled) glfwOpenWindowHint(GLFW_FSAA_SAMPLES, sampleCount);
    glfwOpenWindowHint(GLFW_WINDOW_NO_RESIZE, 1);
    int opened = glfwOpenWindow(width, height, 8, 8, 8, 0, depthBufferBits, 0,
                                fullScreen ? GLFW_FULLSCREEN : GLFW_WINDOW);
    if (opened <= 0) {
        ReportOpenFailure(depthBufferBits, multisampleEnabled ? sampleCount : 0);
        return false;
    }
    // A new context: textures upload again when next drawn; nothing queued
    // for an older one is drawn.
    qmsprite::Discard();
    qmgl::NoteContextOpened();

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

void WindowManager::Close() {
    qmsprite::Discard();  // sprites queued for a window that will never show them
    glfw2::glfwCloseWindow();
}

void WindowManager::ForgetNativeHandles() {
    windowHandle = nullptr;
    hdc = nullptr;
}

bool WindowManager::IsOpen() const { return glfw2::glfwGetWindowParam(glfw2::GLFW_OPENED) > 0; }

// [SECTION] Settings

void WindowManager::SetSize(int newWidth, int newHeight) {
    if (!ValidSide(newWidth) || !ValidSide(newHeight)) {
        qmdiag::Report(Diagnostic::SizeIgnored, newWidth, newHeight);
        return;
    }
    width = std::uint16_t(newWidth);
    height = std::uint16_t(newHeight);
    glfw2::glfwSetWindowSize(newWidth, newHeight);
    aspectRatio = float(double(newWidth) / double(newHeight));
}

void WindowManager::SetPosition(int x, int y) {
    positionX = std::uint16_t(x);
    positionY = std::uint16_t(y);
    if (positionX != x || positionY != y) qmdiag::Report(Diagnostic::PositionChanged, x, y);
    glfw2::glfwSetWindowPos(x, y);
}

void WindowManager::SetTitle(const char* newTitle) {
    if (!newTitle) {
        qmdiag::Report(Diagnostic::TitleIgnored);
        return;
    }
    title = newTitle;
    glfw2::glfwSetWindowTitle(title.c_str());
}

void WindowManager::SetDepthBufferBits(int bits) {
    depthBufferBits = bits < 20 ? 16 : bits < 28 ? 24 : 32;
    if (bits != depthBufferBits) qmdiag::Report(Diagnostic::DepthBitsChanged, bits, depthBufferBits);
}

// No depth buffer is 0 bits, which SetDepthBufferBits never stores.
void WindowManager::SetDepthBuffer(bool wanted) {
    if (!wanted)
        depthBufferBits = 0;
    else if (depthBufferBits == 0)
        depthBufferBits = 16;
}

void WindowManager::SetFullScreen(bool on) { fullScreen = on; }

void WindowManager::SetClearColor(float r, float g, float b, float a) {
    SetClearColor(r, g, b);
    KeepComponent(clearColor.a, a, 3);
}

void WindowManager::SetClearColor(float r, float g, float b) {
    KeepComponent(clearColor.r, r, 0);
    KeepComponent(clearColor.g, g, 1);
    KeepComponent(clearColor.b, b, 2);
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
    if (samples > 1 && samples != sampleCount)
        qmdiag::Report(Diagnostic::SampleRateChanged, samples, sampleCount);
}

void WindowManager::SetTextureQuality(int quality) { textureQuality = std::uint8_t(quality); }

void WindowManager::SetVerticalSync(bool on) {
    // The entry point stays loaded after Close, but the context it acts on is
    // gone: no call without an open window.
    if (ext::wglSwapIntervalEXT && IsOpen())
        ext::wglSwapIntervalEXT(on ? 1 : 0);
    else
        qmdiag::Report(Diagnostic::VerticalSyncIgnored);
}

// [SECTION] Queries

bool WindowManager::GetClearColorBuffer() const { return clearColorBuffer; }
bool WindowManager::GetClearDepthBuffer() const { return clearDepthBuffer; }
Color4f WindowManager::GetClearColor() const { return clearColor; }
// While the window is open, the size is that of the window the player sees,
// whoever changed it (SetSize, a window manager, a full-screen mode the display
// could not switch to); otherwise the stored setting.
int WindowManager::GetWidth() const {
    int shownWidth, shownHeight;
    return ShownSize(&shownWidth, &shownHeight) ? shownWidth : width;
}

int WindowManager::GetHeight() const {
    int shownWidth, shownHeight;
    return ShownSize(&shownWidth, &shownHeight) ? shownHeight : height;
}

HDC WindowManager::GetHDC() const { return hdc; }

float WindowManager::GetAspectRatio() const {
    int shownWidth, shownHeight;
    if (ShownSize(&shownWidth, &shownHeight))
        return float(double(shownWidth) / double(shownHeight));
    return aspectRatio;
}

// [SECTION] Designed (non-const) getters: the const ones above, for existing callers

bool WindowManager::IsOpen() { return static_cast<const WindowManager&>(*this).IsOpen(); }
bool WindowManager::GetClearColorBuffer() { return static_cast<const WindowManager&>(*this).GetClearColorBuffer(); }
bool WindowManager::GetClearDepthBuffer() { return static_cast<const WindowManager&>(*this).GetClearDepthBuffer(); }
Color4f WindowManager::GetClearColor() { return static_cast<const WindowManager&>(*this).GetClearColor(); }
int WindowManager::GetWidth() { return static_cast<const WindowManager&>(*this).GetWidth(); }
int WindowManager::GetHeight() { return static_cast<const WindowManager&>(*this).GetHeight(); }
HDC WindowManager::GetHDC() { return static_cast<const WindowManager&>(*this).GetHDC(); }
float WindowManager::GetAspectRatio() { return static_cast<const WindowManager&>(*this).GetAspectRatio(); }
