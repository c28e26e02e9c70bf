// OS services on Linux/X11, standing in for the Windows calls.
//
// Implements: a monotonic millisecond clock (wrapping 32-bit count) and a
// nanosecond one beside it (both CLOCK_MONOTONIC); the
// window lookup, which checks the temporary title on the X server and answers
// GLFW 3's X11 window, and as its "device context" the X Display*; a cursor
// display count kept here, applied through the adapter (glfw2_native.h); the
// user message on standard error; GL entry points through GLFW 3; swap
// control through GLFW 3's swap interval when GLX offers a swap-control
// extension.
// Cannot: show a modal message box (there is no system one), or give an HDC:
// GetHDC's value is the X Display*, which no Windows call accepts.
#include "glfw2.h"
#include "glfw2_native.h"
#include "system.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace qmsys {

std::uint32_t Milliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t ms = std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec) / 1000000u;
    return std::uint32_t(ms);  // wraps every 2^32 ms, like the Windows multimedia clock
}

std::uint64_t Nanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1000000000u + std::uint64_t(ts.tv_nsec);
}

int ShowCursor(bool show) {
    static int count = 0;
    count = NextCursorCount(count, show);
    glfw2::SetSystemCursorHidden(count < 0);
    return count;
}

void ShowMessage(const char* text, const char* caption) {
    std::fprintf(stderr, "%s %s\n", caption, text);
    std::fflush(stderr);
}

void* FindWindow(const char* title) {
    // GLFW exposes the window directly; the title is checked on the server so
    // that the handle is the window that carries it, as a lookup would find.
    Window window = glfw2::NativeWindow();
    Display* display = static_cast<Display*>(glfw2::NativeDisplay());
    if (!window || !display || !title) return nullptr;
    XSync(display, False);
    char* name = nullptr;
    bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name) XFree(name);
    return match ? reinterpret_cast<void*>(window) : nullptr;
}

void* GetDC(void* window) {
    // The drawing connection of an X window is its display.
    return window ? glfw2::NativeDisplay() : nullptr;
}

void* GetProcAddress(const char* name) { return glfw2::glfwGetProcAddress(name); }

bool HasSwapControl(const char* glExtensions) {
    if (glExtensions && std::strstr(glExtensions, "WGL_EXT_swap_control")) return true;
    Display* display = static_cast<Display*>(glfw2::NativeDisplay());
    if (!display) return false;
    const char* glx = glXQueryExtensionsString(display, DefaultScreen(display));
    return glx && (std::strstr(glx, "GLX_EXT_swap_control") ||
                   std::strstr(glx, "GLX_MESA_swap_control") ||
                   std::strstr(glx, "GLX_SGI_swap_control"));
}

bool PointerOnScreen(int* x, int* y) {
    Display* display = static_cast<Display*>(glfw2::NativeDisplay());
    if (!display) return false;
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    unsigned mask = 0;
    return XQueryPointer(display, DefaultRootWindow(display), &root, &child, x, y, &windowX,
                         &windowY, &mask) == True;
}

SwapIntervalProc GetSwapIntervalProc() { return &glfw2::SwapInterval; }

}  // namespace qmsys
