// The diagnostics channel: each failure of Open, each ignored or changed
// argument, its code and its message, with and without a callback.
#include "Core.h"
#include "Diagnostics.h"
#include "Draw2D.h"
#include "Extensions.h"
#include "MouseManager.h"
#include "RenderingManager.h"
#include "ViewFrustum.h"
#include "WindowManager.h"

#include "core/Report.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

struct Received {
    Diagnostic code;
    std::string message;
};
std::vector<Received> received;

void Collect(Diagnostic code, const char* message, void* user) {
    EXPECT_EQ(user, &received);
    received.push_back({code, message});
}

class DiagnosticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        received.clear();
        SetDiagnosticCallback(Collect, &received);
    }
    void TearDown() override {
        SetDiagnosticCallback(nullptr, nullptr);
        qmdiag::NoteWindowing(qmdiag::Windowing::NotStarted);
    }
    static bool Says(const std::string& text) {
        return std::string(GetLastDiagnosticMessage()).find(text) != std::string::npos;
    }
    WindowManager w;
};

TEST_F(DiagnosticsTest, EachFailedOpenNamesItsReason) {
    // No Core yet: the windowing library was never started.
    fake::script.openResult = 0;
    fake::script.openFailure = glfw2::OpenFailure::NotInitialized;
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::NoCore);
    EXPECT_TRUE(Says("no Core object exists"));

    {
        // A Core whose windowing library failed to start: no display.
        fake::script.initResult = 0;
        Core core;
        qmdiag::ReportPlatformError(0x10008, "X11: Failed to open display :9");
        EXPECT_FALSE(w.Open());
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::NoDisplay);
        EXPECT_TRUE(Says("no display")) << GetLastDiagnosticMessage();
        EXPECT_TRUE(Says("Failed to open display :9")) << GetLastDiagnosticMessage();
    }
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::NoCore) << "the Core is gone";

    fake::script.initResult = 1;
    Core core;
    fake::script.openFailure = glfw2::OpenFailure::NoContext;
    w.SetDepthBufferBits(32);
    w.SetSampleRate(8);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::NoContext);
    EXPECT_TRUE(Says("(32 depth bits, 8 samples per pixel)")) << GetLastDiagnosticMessage();

    fake::script.openResult = 1;
    ASSERT_TRUE(w.Open());
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::WindowAlreadyOpen);
    EXPECT_TRUE(Says("already open"));

    // The callback saw each report as it happened, with the same text.
    ASSERT_GE(received.size(), 5u);
    EXPECT_EQ(received.back().code, Diagnostic::WindowAlreadyOpen);
    EXPECT_EQ(received.back().message, GetLastDiagnosticMessage());
    EXPECT_EQ(received[1].code, Diagnostic::PlatformError);
    EXPECT_EQ(received[1].message, "Windowing library error 0x10008: X11: Failed to open display :9");
}

TEST_F(DiagnosticsTest, IgnoredAndChangedSettingsAreReported) {
    const Color4f before = w.GetClearColor();
    w.SetClearColor(0.5f, 1.5f, std::nanf(""), 0.25f);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].code, Diagnostic::ClearColorIgnored);
    EXPECT_EQ(received[0].message, "SetClearColor: green component 1.5 is outside 0..1; the old "
                                   "value is kept.");
    EXPECT_NE(received[1].message.find("blue component nan"), std::string::npos);
    EXPECT_EQ(w.GetClearColor().g, before.g);
    EXPECT_EQ(w.GetClearColor().r, 0.5f);

    received.clear();
    RenderingManager renderer;
    renderer.SetFieldOfView(180.0f);
    w.SetTitle(nullptr);
    w.SetDepthBufferBits(20);
    w.SetDepthBufferBits(24);  // supported: nothing to say
    w.SetSampleRate(5);
    w.SetSampleRate(0);        // off: nothing to say
    ext::wglSwapIntervalEXT = nullptr;  // no window has loaded swap control
    w.SetVerticalSync(true);
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[0].code, Diagnostic::FieldOfViewIgnored);
    EXPECT_EQ(received[0].message, "SetFieldOfView: 180 degrees is not between 0 and 180 (both "
                                   "excluded); the field of view stays 80 degrees.");
    EXPECT_EQ(received[1].code, Diagnostic::TitleIgnored);
    EXPECT_EQ(received[2].code, Diagnostic::DepthBitsChanged);
    EXPECT_EQ(received[2].message, "SetDepthBufferBits: 20 bits is not 16, 24 or 32; 24 is used.");
    EXPECT_EQ(received[3].code, Diagnostic::SampleRateChanged);
    EXPECT_NE(received[3].message.find("5 samples"), std::string::npos);
    EXPECT_EQ(received[4].code, Diagnostic::VerticalSyncIgnored);

    received.clear();
    w.SetSize(0, 10);
    w.SetPosition(-10, 5);
    MouseManager mouse;
    mouse.SetPosition(std::nanf(""), 1.0f);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, "SetSize: 0 x 10 has a side outside 1..16384; the size is "
                                   "unchanged.");
    EXPECT_EQ(received[1].code, Diagnostic::PositionChanged);
    EXPECT_NE(received[1].message.find("(-10, 5)"), std::string::npos);
    EXPECT_EQ(received[2].code, Diagnostic::MousePositionIgnored);
}

TEST_F(DiagnosticsTest, WithoutACallbackTheLatestReportIsKeptAndComposedOnDemand) {
    SetDiagnosticCallback(nullptr, nullptr);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    EXPECT_STREQ(GetLastDiagnosticMessage(), "");
    RenderingManager renderer;
    renderer.SetFieldOfView(-1.0f);
    renderer.SetFieldOfView(90.0f);  // accepted: the report stays
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FieldOfViewIgnored);
    EXPECT_TRUE(Says("-1 degrees"));
    ClearDiagnostic();
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    EXPECT_STREQ(GetLastDiagnosticMessage(), "");
}

TEST_F(DiagnosticsTest, RenderingArgumentsThatAreIgnoredAreReported) {
    RenderingManager renderer;
    renderer.SetNearClippingPlane(20000.0f);  // beyond the far plane (10000)
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].code, Diagnostic::ClippingPlaneIgnored);
    EXPECT_EQ(received[0].message, "SetNearClippingPlane: 20000 would not leave 0 < near < far "
                                   "(both finite); the plane stays at 1.");
    renderer.SetFarClippingPlane(INFINITY);
    EXPECT_NE(received.back().message.find("SetFarClippingPlane: inf"), std::string::npos);

    DrawLine(Vector2D(0, 0), Vector2D(1, 1), 0.0f);
    EXPECT_EQ(received.back().code, Diagnostic::LineWidthIgnored);
    EXPECT_EQ(received.back().message, "DrawLine: a line width of 0 is not above 0; the current "
                                       "width is kept.");
    DrawCircle(Vector2D(0, 0), 1.0f, std::nanf(""));
    EXPECT_NE(received.back().message.find("DrawCircle: a line width of nan"), std::string::npos);

    plane_t plane{};
    float m[16] = {};
    ExtractPlane(plane, m, 5);
    EXPECT_EQ(received.back().code, Diagnostic::PlaneRowIgnored);
    EXPECT_EQ(received.size(), 5u);
}

// A callback that itself makes a call the library reports: recorded, not
// delivered again (no recursion), and the outer report still arrives whole.
TEST_F(DiagnosticsTest, ReportsFromInsideTheCallbackAreOnlyRecorded) {
    static int calls;
    calls = 0;
    SetDiagnosticCallback(
        [](Diagnostic, const char*, void* user) {
            ++calls;
            static_cast<WindowManager*>(user)->SetTitle(nullptr);
        },
        &w);
    w.SetClearColor(2.0f, 0.0f, 0.0f);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TitleIgnored);
}

// What the callback was handed must not change under it: a report or a clear
// made from inside it would otherwise rewrite or empty the sentence.
TEST_F(DiagnosticsTest, TheMessageStaysUnchangedForTheWholeCall) {
    static std::string before, after;
    SetDiagnosticCallback(
        [](Diagnostic, const char* message, void* user) {
            before = message;
            static_cast<WindowManager*>(user)->SetSize(0, 0);
            ClearDiagnostic();
            after = message;
        },
        &w);
    w.SetClearColor(2.0f, 0.0f, 0.0f);
    EXPECT_NE(before.find("SetClearColor"), std::string::npos) << before;
    EXPECT_EQ(after, before);
}

// A throwing callback: the exception stops at the library, the report is
// recorded, and later reports are still delivered.
TEST_F(DiagnosticsTest, AThrowingCallbackLeavesTheChannelWorking) {
    SetDiagnosticCallback([](Diagnostic, const char*, void*) { throw 7; }, nullptr);
    EXPECT_NO_THROW(w.SetSize(0, 5));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SizeIgnored);
    SetDiagnosticCallback(Collect, &received);
    w.SetTitle(nullptr);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].code, Diagnostic::TitleIgnored);
}

// Reports made under a hold are recorded at once and delivered in order, each
// with its own sentence, when the outermost hold ends; a callback that holds
// and reports again meanwhile neither recurses nor loses the rest.
TEST_F(DiagnosticsTest, HeldReportsArriveInOrderWhenTheOutermostHoldEnds) {
    {
        qmdiag::Hold outer;
        {
            qmdiag::Hold inner;
            w.SetSize(0, 7);
        }
        EXPECT_TRUE(received.empty());
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::SizeIgnored);
        w.SetTitle(nullptr);
    }
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].code, Diagnostic::SizeIgnored);
    EXPECT_NE(received[0].message.find("0 x 7"), std::string::npos) << received[0].message;
    EXPECT_EQ(received[1].code, Diagnostic::TitleIgnored);

    static int calls;
    calls = 0;
    SetDiagnosticCallback(
        [](Diagnostic, const char*, void* user) {
            ++calls;
            qmdiag::Hold again;
            static_cast<WindowManager*>(user)->SetTitle(nullptr);
        },
        &w);
    {
        qmdiag::Hold hold;
        w.SetSize(0, 1);
        w.SetSize(0, 2);
    }
    EXPECT_EQ(calls, 2);
}

}  // namespace

namespace {

// Names for logs: the enumerator's own name; anything else a fixed, safe string.
TEST(DiagnosticNameTest, CodesAreNamedOnceAndUnknownValuesSafely) {
    EXPECT_STREQ(GetDiagnosticName(Diagnostic::SizeIgnored), "SizeIgnored");
    EXPECT_STREQ(GetDiagnosticName(Diagnostic::Nothing), "Nothing");
    EXPECT_STREQ(GetDiagnosticName(Diagnostic::PlatformError), "PlatformError");
    for (int value : {-1, 5, 200, 1 << 30})
        EXPECT_STREQ(GetDiagnosticName(static_cast<Diagnostic>(value)), "Unknown") << value;
    // No two codes share a name.
    std::set<std::string> seen;
    for (int value = 0; value < 256; ++value) {
        const char* name = GetDiagnosticName(static_cast<Diagnostic>(value));
        ASSERT_NE(name, nullptr);
        if (std::string(name) != "Unknown") {
            EXPECT_TRUE(seen.insert(name).second) << name;
        }
    }
}

}  // namespace
