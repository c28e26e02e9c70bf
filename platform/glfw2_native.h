// Native handles and switches of the windowing adapter, beyond GLFW 2.x:
// implemented in glfw2_on_glfw3.cpp. The Linux OS services reach back through
// them (on X11 GLFW 3 holds the window), as does the public native access on
// X11 (window/Native.cpp). On Windows the services find the window themselves
// (FindWindowA) and use none of this.
#ifndef QUILLMAR_PLATFORM_GLFW2_NATIVE_H
#define QUILLMAR_PLATFORM_GLFW2_NATIVE_H

namespace glfw2 {

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// The X11 Window (as an integer) and Display* of the open window; 0 when closed.
unsigned long NativeWindow();
void*         NativeDisplay();
#endif
// Applies the OS cursor display count: hidden while the count is below zero.
void SetSystemCursorHidden(bool hidden);
// Sets the swap interval of the current context; 1 on success.
int  SwapInterval(int interval);

}  // namespace glfw2

#endif
