// The Windows OS services on their own: the loader's message box (shown for
// real and dismissed by the test) and the clock.
#include "system.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
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

TEST(WindowsSystem, FineClockIsThePerformanceCounterInNanoseconds) {
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    const std::uint64_t first = qmsys::Nanoseconds();
    QueryPerformanceCounter(&after);
    const double toNs = 1e9 / double(frequency.QuadPart);
    EXPECT_GE(double(first), double(before.QuadPart) * toNs - 1.0);
    EXPECT_LE(double(first), double(after.QuadPart) * toNs + 1.0);
    // It moves on in steps well under a millisecond (the smallest of a few, so
    // that a read preempted on a busy machine does not count).
    std::uint64_t smallest = UINT64_MAX;
    for (int i = 0; i < 50; ++i) {
        const std::uint64_t from = qmsys::Nanoseconds();
        std::uint64_t next = qmsys::Nanoseconds();
        while (next == from) next = qmsys::Nanoseconds();
        if (next - from < smallest) smallest = next - from;
    }
    EXPECT_LT(smallest, 1000000u);
}

}  // namespace
