// The native objects under the window, for what the library does not wrap:
// an icon, callbacks of the game's own, a debug UI. Valid while the window is
// open; null (0) when it is not. Do not destroy them; Close does.
//
// The GLFW 3 window is the one the library drives: a game may install its own
// GLFW callbacks on it, but the library keeps its key, mouse-button, cursor,
// scroll and window-size callbacks, so replacing those breaks the managers;
// chain to the previous callback (GLFW returns it) instead.
#ifndef QUILLMAR_NATIVE_H
#define QUILLMAR_NATIVE_H

#include "QuillmarExport.h"

struct GLFWwindow;  // GLFW 3's window, as in <GLFW/glfw3.h>

QM_API GLFWwindow* GetGlfwWindow();

#if defined(__unix__) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
// X11: the connection (Xlib's Display, whose struct this is: Display* d =
// GetX11Display() works with <X11/Xlib.h>) and the window (an XID, Xlib's
// Window). No X11 header is needed to include this one.
struct _XDisplay;
QM_API _XDisplay* GetX11Display();
QM_API unsigned long GetX11Window();
#endif

#endif
