#include "Core.h"
#include "Diagnostics.h"
#include "Gamepad.h"

#include "fakes/Fakes.h"
#include "input/GamepadPoll.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        qmpad::ForgetSharedUse();
    }

    fake::Script::Gamepad& Pad(int joy) {
        fake::script.gamepads[joy].mapped = true;
        return fake::script.gamepads[joy];
    }

    GamepadManager pads;
};

TEST_F(GamepadTest, NothingBeforeTheFirstStepAndOutOfRangeAsksNothing) {
    Pad(0).buttons[0] = 1;
    for (int pad : {0, 7, 8, -1}) {
        EXPECT_FALSE(pads.IsGamepad(pad));
        EXPECT_STREQ(pads.GetName(pad), "");
        EXPECT_FALSE(pads.GetButtonHold(pad, GamepadButton::A));
        EXPECT_EQ(pads.GetAxis(pad, GamepadAxis::LeftX), 0.0f);
    }
    EXPECT_TRUE(fake::log.empty());

    for (int joy = 0; joy < 16; ++joy) Pad(joy).buttons[14] = 1;
    pads.Step();
    ASSERT_EQ(fake::Count("GetGamepad"), 8u);  // pads 0..7, in order
    for (int p = 0; p < 8; ++p) EXPECT_EQ(fake::log[std::size_t(p)].args, std::vector<double>{double(p)});
    fake::log.clear();
    EXPECT_TRUE(pads.GetButtonHold(7, GamepadButton::DpadLeft));
    EXPECT_FALSE(pads.GetButtonHold(8, GamepadButton::DpadLeft));
    EXPECT_FALSE(pads.GetButtonHold(0, GamepadButton(15)));
    EXPECT_FALSE(pads.GetButtonPress(0, GamepadButton(-1)));
    EXPECT_EQ(pads.GetAxis(0, GamepadAxis(6)), 0.0f);
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(GamepadTest, EachButtonByItsNameWithOnePressHoldsAndOneRelease) {
    Pad(2);
    for (int b = 0; b < 15; ++b) {
        const GamepadButton button = GamepadButton(b);
        struct Frame { unsigned char state; bool hold, press, release; };
        const Frame frames[] = {
            {1, true, true, false}, {1, true, false, false}, {0, false, false, true}, {0, false, false, false},
        };
        for (const Frame& f : frames) {
            fake::script.gamepads[2].buttons[b] = f.state;
            pads.Step();
            EXPECT_EQ(pads.GetButtonHold(2, button), f.hold) << b;
            EXPECT_EQ(pads.GetButtonPress(2, button), f.press) << b;
            EXPECT_EQ(pads.GetButtonRelease(2, button), f.release) << b;
            for (int other = 0; other < 15; ++other) {
                if (other == b) continue;
                EXPECT_FALSE(pads.GetButtonHold(2, GamepadButton(other))) << b << " " << other;
            }
        }
    }
}

TEST_F(GamepadTest, ConnectAndDisconnectAreNoticedAtTheStepAfter) {
    pads.Step();
    EXPECT_FALSE(pads.IsGamepad(3));
    fake::script.gamepads[3].name = "Wireless Pad";
    Pad(3).buttons[int(GamepadButton::Start)] = 1;
    fake::script.gamepads[3].axes[4] = 0.5f;
    EXPECT_FALSE(pads.IsGamepad(3));  // not until the next Step

    pads.Step();
    EXPECT_TRUE(pads.IsGamepad(3));
    EXPECT_TRUE(pads.WasConnected(3));
    EXPECT_FALSE(pads.WasDisconnected(3));
    EXPECT_STREQ(pads.GetName(3), "Wireless Pad");
    EXPECT_TRUE(pads.GetButtonPress(3, GamepadButton::Start));
    pads.Step();
    EXPECT_FALSE(pads.WasConnected(3));

    // Gone with Start held: one Release, centred axes, no name.
    fake::script.gamepads[3].mapped = false;
    pads.Step();
    EXPECT_FALSE(pads.IsGamepad(3));
    EXPECT_TRUE(pads.WasDisconnected(3));
    EXPECT_TRUE(pads.GetButtonRelease(3, GamepadButton::Start));
    EXPECT_EQ(pads.GetAxis(3, GamepadAxis::LeftTrigger), 0.0f);
    EXPECT_STREQ(pads.GetName(3), "");
    pads.Step();
    EXPECT_FALSE(pads.WasDisconnected(3));
    EXPECT_FALSE(pads.GetButtonRelease(3, GamepadButton::Start));
}

TEST_F(GamepadTest, ANameFollowsItsMappingAndALongOneIsCut) {
    Pad(0).name = "First";
    pads.Step();
    EXPECT_STREQ(pads.GetName(0), "First");
    fake::script.gamepads[0].name = "Renamed";  // a mapping added meanwhile
    pads.Step();
    EXPECT_STREQ(pads.GetName(0), "Renamed");
    const std::string longName(300, 'n');
    fake::script.gamepads[0].name = longName.c_str();
    pads.Step();
    EXPECT_EQ(std::string(pads.GetName(0)), longName.substr(0, 127));
    fake::script.gamepads[0].name = nullptr;
    pads.Step();
    EXPECT_STREQ(pads.GetName(0), "");
}

// Raw stick (y down, as pads report) -> zoned axes (y up), default zone 0.2.
TEST_F(GamepadTest, SticksGoThroughARadialDeadZoneWithYUp) {
    struct Case { float x, y, wantX, wantY; };
    const Case cases[] = {
        {0.1f, 0.1f, 0.0f, 0.0f},      // inside the zone
        {0.2f, 0.0f, 0.0f, 0.0f},      // on its edge
        {0.6f, 0.0f, 0.5f, 0.0f},      // halfway from edge to rim
        {1.0f, 0.0f, 1.0f, 0.0f},      // full tilt stays 1
        {0.0f, -1.0f, 0.0f, 1.0f},     // pushed up reads positive
        {0.6f, 0.8f, 0.6f, -0.8f},     // on the rim, direction kept
        {0.3f, 0.4f, 0.225f, -0.3f},   // length 0.5 -> 0.375, same direction
        {1.0f, 1.0f, 0.70710677f, -0.70710677f},  // beyond the rim: length 1
        {kNaN, 0.5f, 0.0f, -0.375f},   // a NaN axis reads as centred; the other counts
        {-5.0f, 0.0f, -1.0f, 0.0f},    // beyond -1..1 (no adapter gives it): held to the rim
    };
    for (const Case& c : cases) {
        Pad(1).axes[0] = c.x;
        fake::script.gamepads[1].axes[1] = c.y;
        fake::script.gamepads[1].axes[2] = c.x;  // the right stick alike
        fake::script.gamepads[1].axes[3] = c.y;
        pads.Step();
        EXPECT_NEAR(pads.GetAxis(1, GamepadAxis::LeftX), c.wantX, 1e-6) << c.x << "," << c.y;
        EXPECT_NEAR(pads.GetAxis(1, GamepadAxis::LeftY), c.wantY, 1e-6) << c.x << "," << c.y;
        EXPECT_NEAR(pads.GetRightStick(1).x, c.wantX, 1e-6);
        EXPECT_NEAR(pads.GetAxis(1, GamepadAxis::RightY), c.wantY, 1e-6);
        EXPECT_EQ(pads.GetLeftStick(1).y, pads.GetAxis(1, GamepadAxis::LeftY));
        // A centred y is +0: printed, -0 reads "-0.000".
        if (c.y == 0.0f) {
            EXPECT_FALSE(std::signbit(pads.GetAxis(1, GamepadAxis::LeftY))) << c.x;
        }
    }
}

TEST_F(GamepadTest, TriggersReadAsGivenWhateverTheZone) {
    Pad(0).axes[4] = 0.1f;
    fake::script.gamepads[0].axes[5] = 1.0f;
    pads.Step();
    EXPECT_EQ(pads.GetAxis(0, GamepadAxis::LeftTrigger), 0.1f);
    EXPECT_EQ(pads.GetAxis(0, GamepadAxis::RightTrigger), 1.0f);
}

TEST_F(GamepadTest, TheDeadZoneTakesZeroUpToOneAndIgnoresTheRest) {
    EXPECT_EQ(pads.GetDeadZone(), GamepadManager::kDefaultDeadZone);
    Pad(0).axes[0] = 0.05f;
    pads.Step();
    EXPECT_EQ(pads.GetAxis(0, GamepadAxis::LeftX), 0.0f);
    pads.SetDeadZone(0.0f);
    EXPECT_EQ(pads.GetAxis(0, GamepadAxis::LeftX), 0.05f);  // applies at once
    pads.SetDeadZone(0.99f);
    EXPECT_EQ(pads.GetDeadZone(), 0.99f);
    for (float bad : {-0.01f, 1.0f, 2.0f, kNaN, std::numeric_limits<float>::infinity()}) {
        ClearDiagnostic();
        pads.SetDeadZone(bad);
        EXPECT_EQ(pads.GetDeadZone(), 0.99f) << bad;
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::GamepadDeadZoneIgnored) << bad;
    }
}

TEST_F(GamepadTest, MappingsReachTheSeamAndRefusalsAreReported) {
    const char* line = "03000000de280000ff11000001000000,Fake Pad,a:b0,b:b1,platform:Linux,";
    EXPECT_TRUE(GamepadManager::AddMappings(line));
    ASSERT_EQ(fake::CallsNamed("AddGamepadMappings").size(), 1u);
    EXPECT_EQ(fake::CallsNamed("AddGamepadMappings")[0].text, line);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);

    EXPECT_FALSE(GamepadManager::AddMappings(nullptr));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::GamepadMappingsRefused);
    EXPECT_EQ(fake::Count("AddGamepadMappings"), 1u);

    fake::script.mappingsResult = glfw2::MappingsResult::LineRefused;
    EXPECT_FALSE(GamepadManager::AddMappings("nonsense"));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::GamepadMappingsRefused);
    fake::script.mappingsResult = glfw2::MappingsResult::Unavailable;
    EXPECT_FALSE(GamepadManager::AddMappings(line));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::GamepadMappingsUnavailable);
}

TEST_F(GamepadTest, MappingsFromAFileArePassedWholeOrReportedUnreadable) {
    const std::string path = ::testing::TempDir() + "qm_gamepad_mappings.txt";
    // Longer than one read, so the pieces must be joined in order.
    std::string text = "# a comment\n";
    while (text.size() < 10000) text += "03000000de280000ff11000001000000,Pad,a:b0,platform:Linux,\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    EXPECT_TRUE(GamepadManager::AddMappingsFromFile(path.c_str()));
    ASSERT_EQ(fake::Count("AddGamepadMappings"), 1u);
    EXPECT_EQ(fake::CallsNamed("AddGamepadMappings")[0].text, text);

    file = std::fopen(path.c_str(), "wb");
    std::fwrite("abc\0def", 1, 7, file);
    std::fclose(file);
    for (const std::string& bad : {path, std::string("/nonexistent/gamecontrollerdb.txt"),
                                   ::testing::TempDir(), std::string()}) {
        ClearDiagnostic();
        EXPECT_FALSE(GamepadManager::AddMappingsFromFile(bad.c_str())) << bad;
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::GamepadMappingsUnreadable) << bad;
    }
    EXPECT_FALSE(GamepadManager::AddMappingsFromFile(nullptr));
    EXPECT_EQ(fake::Count("AddGamepadMappings"), 1u);
    std::remove(path.c_str());
}

// The frame polls Core::Gamepad only once the game has asked it something,
// and only through the renderer wired to Core's own managers.
TEST_F(GamepadTest, TheFramePollsCoresGamepadsOnceTheGameUsesThem) {
    RenderingManager renderer;
    renderer.Init(&Core::Window, &Core::Timer, &Core::Keyboard, &Core::Mouse, &Core::Joystick);
    renderer.BeginFrame();
    EXPECT_EQ(fake::Count("GetGamepad"), 0u);

    Pad(0).buttons[0] = 1;
    EXPECT_FALSE(Core::Gamepad.GetButtonHold(0, GamepadButton::A));
    renderer.BeginFrame();
    EXPECT_EQ(fake::Count("GetGamepad"), 8u);
    EXPECT_TRUE(Core::Gamepad.GetButtonPress(0, GamepadButton::A));

    JoystickManager ownJoystick;
    RenderingManager own;
    own.Init(&Core::Window, &Core::Timer, &Core::Keyboard, &Core::Mouse, &ownJoystick);
    fake::log.clear();
    own.BeginFrame();
    EXPECT_EQ(fake::Count("GetGamepad"), 0u);
}

}  // namespace
