// OS services as a recording fake.
#include "Fakes.h"
#include "system.h"

using fake::Record;
using fake::script;

namespace {
int FakeSwapInterval(int interval) {
    Record("wglSwapIntervalEXT", {double(interval)});
    return script.swapIntervalResult;
}
}  // namespace

namespace qmsys {

std::uint32_t Milliseconds() {
    if (fake::logClock) Record("Milliseconds");
    std::uint32_t now = fake::clockNow;
    fake::clockNow += fake::clockStep;
    return now;
}

std::uint64_t Nanoseconds() {
    std::uint64_t now = fake::clockNanoseconds;
    fake::clockNanoseconds += fake::clockNanosecondsStep;
    return now;
}

int ShowCursor(bool show) {
    Record("ShowCursor", {double(show)});
    script.cursorCount = qmsys::NextCursorCount(script.cursorCount, show);
    return script.cursorCount;
}

void ShowMessage(const char* text, const char* caption) {
    Record("ShowMessage", {}, (std::string(caption) + "|" + text).c_str());
}

void* FindWindow(const char* title) {
    Record("FindWindow", {}, title);
    return script.nativeWindow;
}

void* GetDC(void* window) {
    Record("GetDC", {double(reinterpret_cast<std::uintptr_t>(window))});
    return script.nativeDC;
}

void* GetProcAddress(const char* name) {
    Record("GetProcAddress", {}, name);
    return script.missingProcs.count(name) ? nullptr : fake::ProcFor(name);
}

bool HasSwapControl(const char* glExtensions) {
    Record("HasSwapControl", {}, glExtensions ? glExtensions : "");
    return script.swapControl;
}

SwapIntervalProc GetSwapIntervalProc() {
    Record("GetSwapIntervalProc");
    return script.missingProcs.count("wglSwapIntervalEXT") ? nullptr : &FakeSwapInterval;
}

#if defined(__EMSCRIPTEN__)
void OfferDownload(const char* path) { Record("OfferDownload", {}, path); }
#endif

}  // namespace qmsys
