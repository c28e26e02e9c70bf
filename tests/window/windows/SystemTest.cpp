// The Windows OS services on their own: the loader's message box (shown for
// real and dismissed by the test) and the clock.
#include "system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

TEST(WindowsSystem, MessageBoxShowsTheTextAndCaptionAndReturnsWhenDismissed) {
    std::atomic<bool> stop{false};
    std::string caption, text;
    // A modal box blocks the caller: a helper thread finds the dialog (class
    // #32770), reads it, and presses OK.
    std::thread dismisser([&] {
        for (int i = 0; i < 1000 && !stop; ++i) {
            if (HWND box = FindWindowA("#32770", nullptr)) {
                char buffer[256] = {};
                GetWindowTextA(box, buffer, sizeof buffer);
                caption = buffer;
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);  // the static text
                text = buffer;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    qmsys::ShowMessage("Error loading GLSlang shader functions.", "Error...");
    stop = true;
    dismisser.join();
    EXPECT_EQ(caption, "Error...");
    EXPECT_EQ(text, "Error loading GLSlang shader functions.");
}

TEST(WindowsSystem, ClockIsTheMultimediaTimer) {
    DWORD before = timeGetTime();
    std::uint32_t now = qmsys::Milliseconds();
    DWORD after = timeGetTime();
    EXPECT_LE(now - before, after - before);
}

}  // namespace
