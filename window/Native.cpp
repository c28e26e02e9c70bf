#include "Native.h"

#include "glfw2.h"
#include "glfw2_native.h"

GLFWwindow* GetGlfwWindow() { return static_cast<GLFWwindow*>(glfw2::Glfw3Window()); }

#if defined(__unix__) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
_XDisplay* GetX11Display() { return static_cast<_XDisplay*>(glfw2::NativeDisplay()); }
unsigned long GetX11Window() { return glfw2::NativeWindow(); }
#endif
