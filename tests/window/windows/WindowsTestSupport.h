// Window-test helpers on Windows. Under Wine the window is also an X window:
// input is injected with XTest by qm-xinject, a small X program this test
// starts (a program under Wine cannot reach XTest itself), so the events take
// the same road as a real keyboard's through Wine's X11 driver.
#ifndef QUILLMAR_TESTS_WINDOWS_SUPPORT_H
#define QUILLMAR_TESTS_WINDOWS_SUPPORT_H

#include <windows.h>

#include <string>

namespace qmtest {

using Window = HWND;

inline bool DisplayReady() { return true; }

inline Window FindWindowByTitle(const std::string& title) {
    return FindWindowA(nullptr, title.c_str());
}

// Lets the library take in pending events: one frame's swap, a few times over.
inline void Pump(int frames = 3) {
    for (int i = 0; i < frames; ++i) {
        ::Sleep(5);
        Core::Renderer.EndFrame();
    }
}

// A path of the build tree (a Unix path under Wine) as Windows names it.
inline std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Runs qm-xinject on the window titled "Quillmar test" with the given actions
// (see xinject.c) and waits until it has sent them all.
inline bool Inject(const std::string& actions) {
    const std::string done = QM_WINDOW_TEST_DIR "/xinject.done";
    const std::string doneHere = WindowsPath(done);
    DeleteFileA(doneHere.c_str());
    std::string command = std::string(QM_XINJECT_PATH) + " " + done + " \"Quillmar test\" " + actions;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix process's handle under Wine does not wait: the helper's file does.
    for (int i = 0; i < 500; ++i) {
        if (GetFileAttributesA(doneHere.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        ::Sleep(10);
    }
    return false;
}

// Gives the window keyboard focus and puts the pointer over it.
inline void Focus(Window w) {
    SetForegroundWindow(w);
    Inject("focus move:10:10");
    Pump(3);
}

}  // namespace qmtest

#endif
