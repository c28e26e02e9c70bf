// The demo's per-frame logic must not allocate: game, script, field, camera, HUD text.
#include "Field.h"
#include "Game.h"
#include "Text.h"

#include <gtest/gtest.h>

#include "support/AllocationCounter.h"


namespace {

TEST(DemoNoAllocation, FiveSecondsOfScriptedFrames) {
    static demo::Game game;
    static demo::Field field;
    static demo::FrameHistory history;
    demo::Script script;
    demo::Camera camera;
    game.Reset(1280.0f, 720.0f, 9u);
    field.Build(7u);
    ViewFrustum view;
    for (plane_t& p : view.frustum.planes) p = plane_t{0.0f, 0.0f, -1.0f, 40.0f};

    const std::size_t before = qmtest::AllocationCount();
    char text[32];
    int sink = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const float dt = 1.0f / 60.0f;
        demo::Controls controls = script.Next(game, dt);
        game.Update(controls, dt);
        camera.Update(controls, dt, field.Extent());
        field.Animate(float(frame) * dt);
        sink += field.Cull(view);
        history.Add(dt);
        sink += demo::FormatInt(text, sizeof text, game.score);
        sink += demo::FormatFixed(text, sizeof text, history.Average() * 1000.0f, 1);
    }
    EXPECT_EQ(qmtest::AllocationCount() - before, 0u);
    EXPECT_GT(sink, 0);
    EXPECT_GT(game.fired, 0);  // the loop did play
}

}  // namespace
