// OS services on Windows: the system's own calls.
//
// Implements: the clock (winmm timeGetTime), the fine clock for measured
// frame durations (QueryPerformanceCounter), the window lookup by title and
// its device context (user32 FindWindowA, GetDC), the cursor display count
// (user32 ShowCursor), the user message (user32 MessageBoxA), GL entry points
// (wglGetProcAddress) and swap control (wglSwapIntervalEXT, when the GL
// extension string lists WGL_EXT_swap_control).
// Cannot: nothing here reaches into the windowing adapter; the cursor count
// and the device context are the system's, so GLFW 3's own cursor mode and
// pixel format sit beside them. timeGetTime keeps the system's resolution
// (the library does not raise it with timeBeginPeriod).
#include "system.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstring>

namespace qmsys {

std::uint32_t Milliseconds() { return std::uint32_t(timeGetTime()); }

std::uint64_t Nanoseconds() {
    // The counter's frequency is fixed at boot; read it once.
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? std::uint64_t(f.QuadPart) : std::uint64_t(1);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::uint64_t ticks = std::uint64_t(counter.QuadPart);
    // Whole seconds and the remainder apart: ticks * 1e9 would overflow
    // after about 30 minutes at a 10 MHz counter.
    return ticks / frequency * 1000000000u + ticks % frequency * 1000000000u / frequency;
}

int ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void ShowMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void* FindWindow(const char* title) {
    return title ? static_cast<void*>(FindWindowA(nullptr, title)) : nullptr;
}

void* GetDC(void* window) {
    return window ? static_cast<void*>(::GetDC(static_cast<HWND>(window))) : nullptr;
}

void* GetProcAddress(const char* name) {
    if (!name) return nullptr;
    PROC proc = wglGetProcAddress(name);
    // Some drivers answer small values or -1 instead of null for an unknown
    // name; calling one of those would jump to a wild address.
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(proc);
    if (value >= -1 && value <= 3) return nullptr;
    return reinterpret_cast<void*>(proc);
}

bool HasSwapControl(const char* glExtensions) {
    return glExtensions && std::strstr(glExtensions, "WGL_EXT_swap_control");
}

bool PointerOnScreen(int* x, int* y) {
    POINT p{};
    if (!::GetCursorPos(&p)) return false;
    *x = int(p.x);
    *y = int(p.y);
    return true;
}

SwapIntervalProc GetSwapIntervalProc() {
    return reinterpret_cast<SwapIntervalProc>(GetProcAddress("wglSwapIntervalEXT"));
}

}  // namespace qmsys
