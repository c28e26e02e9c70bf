// OS services the library needs beside the windowing library. One
// implementation file per platform (system_linux.cpp, system_windows.cpp,
// system_web.cpp);
// the unit tests link a recording fake.
#ifndef QUILLMAR_PLATFORM_SYSTEM_H
#define QUILLMAR_PLATFORM_SYSTEM_H

#include <climits>
#include <cstdint>

#if defined(_WIN32)
// <windows.h> maps FindWindow to its ANSI or wide form; included first here
// so that the service keeps its own name in every file.
#  include <windows.h>
#  undef FindWindow
#endif

namespace qmsys {

// Milliseconds from a monotonic clock, as an unsigned 32-bit count that wraps.
std::uint32_t Milliseconds();

// Nanoseconds from a monotonic clock of the finest resolution the system has
// (well under a millisecond), counted from an unspecified start; 64 bits do
// not wrap in centuries. For measured frame durations.
std::uint64_t Nanoseconds();

// The cursor display count: +1 for show, -1 for hide; the system cursor is
// hidden while the count is below zero. Returns the new count.
int ShowCursor(bool show);

// One step of the display count. It stops at the ends of int rather than
// overflowing: a game may show or hide any number of times.
inline int NextCursorCount(int count, bool show) {
    if (show) return count == INT_MAX ? count : count + 1;
    return count == INT_MIN ? count : count - 1;
}

// The one message the library shows a user.
void ShowMessage(const char* text, const char* caption);

// Native handles of the open window: the top-level window with the given
// title, and the device context (drawing connection) of a native window.
void* FindWindow(const char* title);
void* GetDC(void* window);

// OpenGL entry-point lookup; needs a current context. Null when unknown.
void* GetProcAddress(const char* name);

// Whether the platform's swap-control extension is offered; glExtensions is
// the OpenGL extension string, where some platforms list it.
bool HasSwapControl(const char* glExtensions);

// Where the pointer is on the screen, in pixels from the screen's top-left;
// false when that cannot be told (no window open, pointer on another screen).
// Asks the display server: a round trip.
bool PointerOnScreen(int* x, int* y);
// The platform's swap-interval entry point, in the int(int) shape.
using SwapIntervalProc = int (*)(int);
SwapIntervalProc GetSwapIntervalProc();

#if defined(__EMSCRIPTEN__)
// Web only: offers a file of the page's file system to the player as a
// download (a link on the page). Files a program writes stay in the page.
void OfferDownload(const char* path);
#endif

} // namespace qmsys

#endif
