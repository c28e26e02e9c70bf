// Gamepad mappings through the real GLFW 3 (no pad is attached here: the
// pads themselves are tested with the fakes and in the page).
#include "WindowTestSupport.h"

#include <string>
#include <vector>

namespace {

using namespace qmtest;

class GamepadWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetDiagnosticCallback(
            [](Diagnostic code, const char*, void* user) {
                static_cast<std::vector<Diagnostic>*>(user)->push_back(code);
            },
            &reports);
    }
    void TearDown() override {
        SetDiagnosticCallback(nullptr, nullptr);
        WindowTest::TearDown();
    }
    std::vector<Diagnostic> reports;
};

TEST_F(GamepadWindowTest, GlfwTakesAGoodMappingAndARefusedLineIsReported) {
    const char* good =
        "03000000de280000fc11000001000000,Quillmar Test Pad,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,"
        "platform:Linux,\n"
        "# a comment line\n"
        "03000000de280000fc11000001000000,Other Platform Pad,a:b0,platform:Windows,\n";
    EXPECT_TRUE(GamepadManager::AddMappings(good));
    EXPECT_TRUE(reports.empty());

    EXPECT_FALSE(GamepadManager::AddMappings("0300,too short a GUID,a:b0,platform:Linux,"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], Diagnostic::PlatformError);  // GLFW 3's own words for the line
    EXPECT_EQ(reports[1], Diagnostic::GamepadMappingsRefused);

    // No pad: nothing is a gamepad, and the Step says so without a report.
    reports.clear();
    GamepadManager pads;
    pads.Step();
    for (int p = 0; p < GamepadManager::kPads; ++p) {
        EXPECT_FALSE(pads.IsGamepad(p));
        EXPECT_STREQ(pads.GetName(p), "");
    }
    EXPECT_TRUE(reports.empty());
}

}  // namespace
