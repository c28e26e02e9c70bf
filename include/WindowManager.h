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
// The device-context handle as <windows.h> declares it, without pulling that
// header into every game file.
struct HDC__;
typedef struct HDC__* HDC;
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

    // Client size in pixels, passed to an open window at once. A size the
    // window cannot have (a side outside 1..16384) is ignored: nothing is
    // stored or passed on. The aspect ratio is width / height at once.
    void SetSize(int width, int height);
    // Window position in pixels, passed to an open window at once as given;
    // stored in 16 bits for the next Open (a value outside 0..65535 keeps its
    // low 16 bits: -10 is stored as 65526).
    void SetPosition(int x, int y);
    // Copies the text; a null title is ignored. The window shows at most its
    // first 16384 bytes, cut before a UTF-8 character that would be split.
    void SetTitle(const char* title);
    // Below 20 gives 16 bits, 20..27 gives 24, 28 and above 32; takes effect
    // at the next Open.
    void SetDepthBufferBits(int bits);
    // False: the next Open asks for a window without a depth buffer, the
    // fastest for a game that draws only in 2D (3D drawing then has no depth
    // test). True after false asks for one again, of 16 bits (as
    // SetDepthBufferBits sets it); true otherwise keeps the size chosen.
    // Default: a depth buffer.
    void SetDepthBuffer(bool wanted);
    // Takes effect at the next Open; an open window stays as it is.
    void SetFullScreen(bool fullScreen);
    // Each component is kept only when it lies in 0..1 (NaN and values
    // outside are ignored, the others of the call still apply); applies
    // from the next frame.
    void SetClearColor(float r, float g, float b, float a);
    void SetClearColor(float r, float g, float b);
    void SetClearColorBuffer(bool clear);
    void SetClearDepthBuffer(bool clear);
    // Samples per pixel, taken at the next Open: 1 or less turns
    // multisampling off; 2..3 gives 2, 4..6 gives 4, 7..13 gives 8,
    // 14..128 gives 16, and 129 or more gives 2 (the default), not 16.
    void SetSampleRate(int samples);
    // Stored only (its low 8 bits): nothing in the library reads it.
    void SetTextureQuality(int quality);
    // Takes effect at once, on an open window whose driver offers swap
    // control; otherwise does nothing. Not remembered: a window opened later
    // starts with the driver's default.
    void SetVerticalSync(bool on);

    bool GetClearColorBuffer();
    bool GetClearDepthBuffer();
    Color4f GetClearColor();
    // While the window is open: the size it really has, whoever set it (SetSize,
    // the window manager, a full-screen mode the display could not switch to);
    // changes reach these within a frame. Otherwise: the stored setting.
    int GetWidth();
    int GetHeight();
    // The device context found by the last successful Open; it stays valid
    // after Close. Null until the first successful Open, and null again once
    // the last Core has shut the windowing library down (which closes the
    // connection it named), until the next successful Open. A copy of the
    // window manager keeps the handle it was made with.
    HDC GetHDC();
    float GetAspectRatio();  // GetWidth() / GetHeight()

    // The same queries on a const manager.
    bool IsOpen() const;
    bool GetClearColorBuffer() const;
    bool GetClearDepthBuffer() const;
    Color4f GetClearColor() const;
    int GetWidth() const;
    int GetHeight() const;
    HDC GetHDC() const;
    float GetAspectRatio() const;

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
