#include "Probes.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace {

// Read at load, before any test constructs a Core (and before the fakes' log
// exists, so only stored fields are read).
const bool kRendererPristineAtLoad =
    !RenderingManagerProbe::Ready(Core::Renderer) &&
    RenderingManagerProbe::FieldOfView(Core::Renderer) == 80.0f &&
    RenderingManagerProbe::Near(Core::Renderer) == 1.0f &&
    RenderingManagerProbe::Far(Core::Renderer) == 10000.0f &&
    RenderingManagerProbe::Window(Core::Renderer) == nullptr &&
    RenderingManagerProbe::Timer(Core::Renderer) == nullptr &&
    RenderingManagerProbe::Keyboard(Core::Renderer) == nullptr &&
    RenderingManagerProbe::Mouse(Core::Renderer) == nullptr &&
    RenderingManagerProbe::Joystick(Core::Renderer) == nullptr;
const bool kWindowDefaultAtLoad =
    WindowManagerProbe::Width(Core::Window) == 800 &&
    WindowManagerProbe::Height(Core::Window) == 600 &&
    WindowManagerProbe::Title(Core::Window) == "Quillmar";

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(CoreTest, SharedInstancesHoldTheirDefaultsAtLoad) {
    EXPECT_TRUE(kRendererPristineAtLoad);
    EXPECT_TRUE(kWindowDefaultAtLoad);
}

TEST_F(CoreTest, ConstructionStartsGlfwOnceAndRecordsTheResult) {
    const int results[] = {1, 2, 0, -1};
    for (int result : results) {
        fake::Reset();
        fake::script.initResult = result;
        Core core;
        EXPECT_EQ(fake::Names(), std::vector<std::string>{"glfwInit"});
        EXPECT_EQ(CoreProbe::Initialized(core), result > 0) << result;
    }
}

TEST_F(CoreTest, DestructionClosesAndTerminatesWhateverHappenedBefore) {
    for (int result : {1, 0}) {
        fake::Reset();
        fake::script.initResult = result;
        { Core core; fake::log.clear(); }
        EXPECT_EQ(fake::Names(), (std::vector<std::string>{"glfwCloseWindow", "glfwTerminate"}));
    }
    fake::Reset();
    {
        Core core;
        ASSERT_TRUE(Core::Window.Open());
        fake::log.clear();
    }
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"glfwCloseWindow", "glfwTerminate"}));
    EXPECT_FALSE(Core::Window.IsOpen());
}

TEST_F(CoreTest, TheWindowSystemLastsAsLongAsAnyCoreAndItsHandleGoesWithIt) {
    auto* first = new Core;
    ASSERT_TRUE(Core::Window.Open());
    EXPECT_NE(Core::Window.GetHDC(), nullptr);
    { Core copy = *first; }
    { Core second; }
    auto* assigned = new Core;
    *assigned = *first;
    delete first;
    EXPECT_EQ(fake::Count("glfwInit"), 3u) << "each constructed Core starts the library";
    EXPECT_EQ(fake::Count("glfwTerminate"), 0u);
    EXPECT_TRUE(Core::Window.IsOpen());
    EXPECT_NE(Core::Window.GetHDC(), nullptr);
    fake::log.clear();
    delete assigned;
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"glfwCloseWindow", "glfwTerminate"}));
    EXPECT_EQ(Core::Window.GetHDC(), nullptr) << "the connection it named is gone";
    Core again;
    EXPECT_EQ(Core::Window.GetHDC(), nullptr) << "until the next successful Open";
    ASSERT_TRUE(Core::Window.Open());
    EXPECT_NE(Core::Window.GetHDC(), nullptr);
}

TEST_F(CoreTest, AssignmentCopiesTheStartResultOnly) {
    fake::script.initResult = 0;
    Core failed;
    fake::script.initResult = 1;
    Core started;
    fake::log.clear();
    failed = started;
    EXPECT_TRUE(CoreProbe::Initialized(failed));
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(CoreTest, ConstructionWiresTheRendererEvenWhenGlfwFails) {
    fake::script.initResult = 0;
    Core::Window.SetTitle("kept");
    { Core core; }
    EXPECT_TRUE(RenderingManagerProbe::Ready(Core::Renderer)) << "and stays wired after ~Core";
    EXPECT_EQ(RenderingManagerProbe::Window(Core::Renderer), &Core::Window);
    EXPECT_EQ(RenderingManagerProbe::Timer(Core::Renderer), &Core::Timer);
    EXPECT_EQ(RenderingManagerProbe::Keyboard(Core::Renderer), &Core::Keyboard);
    EXPECT_EQ(RenderingManagerProbe::Mouse(Core::Renderer), &Core::Mouse);
    EXPECT_EQ(RenderingManagerProbe::Joystick(Core::Renderer), &Core::Joystick);
    EXPECT_EQ(WindowManagerProbe::Title(Core::Window), "kept") << "nothing is reset";
    Core::Window.SetTitle("Quillmar");
}

TEST_F(CoreTest, WindowSettingsWorkWithoutAnyCoreAndWithoutGlfw) {
    // Every call of the window manager is safe before any Core exists; an Open
    // before the windowing library started simply fails.
    fake::script.openResult = 0;
    WindowManager& w = Core::Window;
    w.SetSize(320, 240);
    w.SetPosition(1, 2);
    w.SetTitle(nullptr);
    w.SetVerticalSync(true);
    w.Close();
    EXPECT_FALSE(w.IsOpen());
    EXPECT_FALSE(w.Open());
    w.SetSize(800, 600);
    w.SetPosition(100, 50);
}

}  // namespace
