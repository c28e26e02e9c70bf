// The game's one window and its OpenGL context: settings kept before opening,
// opening and closing, the fixed initial GL state. The process-wide instance
// is Core::Window.
#ifndef QUILLMAR_WINDOWMANAGER_H
#define QUILLMAR_WINDOWMANAGER_H

#include "Color4f.h"
#include "QuillmarExport.h"

#include <cstdint>
#include <string>

#if defined(_WIN32)
#  include <windows.h>
#else
// The native drawing connection of the window (the X Display* on X11).
typedef void* HDC;
#endif

class QM_API WindowManager {
public:
    // 800 x 600 at (100, 50), title "Quillmar", 16 depth bits, 2 samples,
    // clear colour (0, 0, 0, 1), colour and depth clearing on.
    WindowManager();

    // Opens the window with the stored settings and sets up the GL state.
    // False when the window could not be opened (or one is already open).
    bool Open();
    void Close();
    bool IsOpen();

    // Sizes and positions in pixels; stored as 16-bit values (0..65535) and
    // passed to an open window at once.
    void SetSize(int width, int height);
    void SetPosition(int x, int y);
    // Copies the text; a null title is ignored.
    void SetTitle(const char* title);
    // Rounded to 16, 24 or 32 bits; takes effect at the next Open.
    void SetDepthBufferBits(int bits);
    void SetFullScreen(bool fullScreen);
    // Each component is kept only when it lies in 0..1; applies from the next frame.
    void SetClearColor(float r, float g, float b, float a);
    void SetClearColor(float r, float g, float b);
    void SetClearColorBuffer(bool clear);
    void SetClearDepthBuffer(bool clear);
    // Samples per pixel: 1 or less turns multisampling off; else 2, 4, 8 or 16.
    void SetSampleRate(int samples);
    void SetTextureQuality(int quality);
    // Needs an open window whose driver offers swap control; else does nothing.
    void SetVerticalSync(bool on);

    bool GetClearColorBuffer();
    bool GetClearDepthBuffer();
    Color4f GetClearColor();
    int GetWidth();
    int GetHeight();
    // The device context found by the last successful Open; it stays valid
    // after Close. Null until the first successful Open, and null again once
    // the last Core has shut the windowing library down (which closes the
    // connection it named), until the next successful Open. A copy of the
    // window manager keeps the handle it was made with.
    HDC GetHDC();
    float GetAspectRatio();  // width / height

private:
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t positionX;
    std::uint16_t positionY;
    std::uint8_t depthBufferBits;
    bool fullScreen;
    Color4f clearColor;
    bool clearColorBuffer;
    bool clearDepthBuffer;
    bool multisampleEnabled;
    std::uint8_t sampleCount;
    std::uint8_t textureQuality;
    std::string title;
    void* windowHandle;
    HDC hdc;
    float aspectRatio;

    // The last Core's shutdown clears the native handles.
    void ForgetNativeHandles();
    friend class Core;
    friend struct WindowManagerProbe;
};

#endif
