// OS services in a web page (Emscripten), standing in for the Windows calls.
//
// Implements: the millisecond and nanosecond clocks (emscripten_get_now, the
// page's performance.now(); milliseconds wrapped to 32 bits); the pointer's
// place relative to the canvas (a page knows no screen); a cursor display
// count kept here and applied through the adapter (glfw2_native.h), where a hidden cursor
// locks the pointer (it is hidden, and its raw motion does not stop at the
// canvas's edge); the user message on the browser's console; GL entry points
// through Emscripten's GLFW 3; a saved file offered as a download.
// Cannot, because a browser does not let a page:
// - warp the cursor: Mouse SetPosition leaves the pointer where it is
//   (Diagnostic::CursorWarpUnavailable);
// - switch the display's vertical sync: the browser shows a frame at its own
//   refresh, never torn. SetVerticalSync chooses only whether the swap waits
//   for that refresh (on, the default) or just yields to the browser and goes
//   on (off: frames beyond the refresh are drawn, the latest is shown);
// - reach joysticks without the Gamepad API: then none is ever connected
//   (Diagnostic::JoysticksUnavailable, once); with it, gamepads are the pads
//   the browser gives its "standard" mapping, and no mapping can be added
//   (Diagnostic::GamepadMappingsUnavailable);
// - find a native window or a device context: FindWindow answers the GLFW 3
//   window whatever the title (one canvas per page), GetDC null;
// - show a modal message box: an alert() would stop a page under test, so the
//   message goes to console.error instead.
#include "glfw2.h"
#include "glfw2_native.h"
#include "system.h"


#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// The page offers a file of its file system (MEMFS) as a link that downloads
// it: a Blob of its bytes, under its base name, in a list at the page's end.
EM_JS(void, qm_offer_download, (const char* path), {
    var name = UTF8ToString(path);
    var data;
    try {
        data = FS.readFile(name);
    } catch (e) {
        return;
    }
    if (typeof document == 'undefined') return;  // not in a page (node)
    var list = document.getElementById('quillmar-downloads');
    if (!list) {
        list = document.createElement('div');
        list.id = 'quillmar-downloads';
        document.body.appendChild(list);
    }
    var base = name.substring(name.lastIndexOf('/') + 1);
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([data], {type: base.endsWith('.png') ? 'image/png' : 'application/octet-stream'}));
    link.download = base;
    link.textContent = 'Download ' + base;
    link.style.display = 'block';
    list.appendChild(link);
});

// Emscripten's record of the pointer (its Browser object), whole pixels.
EM_JS(int, qm_pointer_x, (), { return Math.round(Browser.mouseX) | 0; });
EM_JS(int, qm_pointer_y, (), { return Math.round(Browser.mouseY) | 0; });

}  // namespace

namespace qmsys {

std::uint32_t Milliseconds() {
    // performance.now(): milliseconds since the page started, a double.
    const double ms = std::floor(emscripten_get_now());
    return std::uint32_t(std::uint64_t(ms));  // wraps every 2^32 ms, like the Windows clock
}

std::uint64_t Nanoseconds() {
    // performance.now() in milliseconds, with a fraction (browsers round it
    // to some microseconds); 2^53 ns of a double are about 104 days.
    return std::uint64_t(emscripten_get_now() * 1e6);
}

int ShowCursor(bool show) {
    static int count = 0;
    count = NextCursorCount(count, show);
    glfw2::SetSystemCursorHidden(count < 0);
    return count;
}

void ShowMessage(const char* text, const char* caption) {
    // stderr is the page's console.error.
    std::fprintf(stderr, "%s %s\n", caption, text);
    std::fflush(stderr);
}

void* FindWindow(const char* title) { return title ? glfw2::Glfw3Window() : nullptr; }

void* GetDC(void*) { return nullptr; }

void* GetProcAddress(const char* name) { return glfw2::glfwGetProcAddress(name); }

// The swap's own pacing stands in for the platform's swap control.
bool HasSwapControl(const char*) { return true; }

SwapIntervalProc GetSwapIntervalProc() { return &glfw2::SwapInterval; }

bool PointerOnScreen(int* x, int* y) {
    // A page learns nothing of the screen: the pointer's place is taken
    // relative to the canvas, where the browser reports it. While the
    // pointer is locked that place is the sum of its movements, unbounded,
    // so its motion goes on past the canvas's edge.
    if (!glfw2::Glfw3Window() || !x || !y) return false;
    *x = qm_pointer_x();
    *y = qm_pointer_y();
    return true;
}

void OfferDownload(const char* path) {
    if (path) qm_offer_download(path);
}

}  // namespace qmsys
