#include "Icon.h"

#include <Quillmar.h>

#if defined(__unix__) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
// Xlib's font handle is called Font, as Quillmar's fonts are (Font.h).
#define Font XFont
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef Font

namespace demo {

bool SetShipIcon() {
    Display* display = GetX11Display();
    const unsigned long window = GetX11Window();
    if (!display || !window) return false;
    // _NET_WM_ICON: width, height, then ARGB pixels, each in a long (Xlib's
    // format-32 convention, whatever the size of long).
    const int size = 32;
    static long data[2 + 32 * 32];
    data[0] = size;
    data[1] = size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // An arrowhead pointing up, rows top-down, with a notch at its base.
            const int dx = x * 2 + 1 - size;  // odd, -31..31
            const bool ship = dx <= y && -dx <= y && y > 2 && !(y > 22 && dx * dx < 25);
            data[2 + y * size + x] = ship ? long(0xFF4DE6FFul) : long(0xFF05050Ful);
        }
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, Window(window), icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data), 2 + size * size);
    XFlush(display);
    return true;
}

}  // namespace demo
#else
namespace demo {
bool SetShipIcon() { return false; }
}  // namespace demo
#endif
