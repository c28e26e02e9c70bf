// The demo's 2D game: steering, swept shot hits, crashes, respawns, the script.
#include "Game.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using demo::Controls;
using demo::Game;
using demo::Ship;

// [SECTION] Steering

TEST(DemoSteering, TurnsTheShortWayAtTheTurnRateAndThrustsOnlyWhenAligned) {
    const float dt = 0.05f;  // 11 degrees of turn
    Ship ship;
    ship.heading = 350.0f;
    demo::SteerShip(ship, true, 20.0f, dt);
    EXPECT_NEAR(ship.heading, 1.0f, 1e-3f);  // through 0, kept in range
    EXPECT_TRUE(ship.thrusting);

    ship.heading = 90.0f;
    demo::SteerShip(ship, true, 265.0f, dt);
    EXPECT_NEAR(ship.heading, 101.0f, 1e-3f);  // up by 175 is shorter than down by 185
    EXPECT_FALSE(ship.thrusting);             // facing away: no push sideways

    demo::SteerShip(ship, false, 265.0f, dt);
    EXPECT_NEAR(ship.heading, 101.0f, 1e-3f);
    EXPECT_FALSE(ship.thrusting);
}

TEST(DemoSteering, SettlesOnTheWantedHeadingWithoutOvershoot) {
    const float dt = 1.0f / 60.0f, maxStep = Game::kTurnRate * dt;
    Ship ship;
    ship.heading = 100.0f;
    float previous = ship.heading;
    for (int frame = 0; frame < 120; ++frame) {
        demo::SteerShip(ship, true, 300.0f, dt);
        EXPECT_LE(std::fabs(DirectionDifference(previous, ship.heading)), maxStep + 1e-3f);
        EXPECT_GE(ship.heading, 0.0f);
        EXPECT_LE(ship.heading, 360.0f);
        previous = ship.heading;
    }
    EXPECT_NEAR(ship.heading, 300.0f, 1e-3f);
}

TEST(DemoSteering, StickDirectionsBecomeHeadingsInRange) {
    float heading = -1.0f;
    EXPECT_TRUE(demo::HeadingFromStick(0.0f, 1.0f, 0.3f, heading));
    EXPECT_NEAR(heading, 90.0f, 0.01f);
    EXPECT_TRUE(demo::HeadingFromStick(-1.0f, 0.0f, 0.3f, heading));
    EXPECT_NEAR(heading, 180.0f, 0.01f);
    EXPECT_TRUE(demo::HeadingFromStick(0.7f, -0.7f, 0.3f, heading));
    EXPECT_NEAR(heading, 315.0f, 0.01f);  // not -45
    heading = 12.0f;
    EXPECT_FALSE(demo::HeadingFromStick(0.2f, 0.2f, 0.3f, heading));  // inside the dead zone
    EXPECT_EQ(heading, 12.0f);
}

// [SECTION] Hits

// A round with the ship parked far away and one still target of radius 10 at (400, 300).
struct DemoArena : ::testing::Test {
    Game game;
    Controls idle;
    void SetUp() override {
        game.Reset(800.0f, 600.0f, 3u);
        for (demo::Target& t : game.targets) {
            t.alive = false;
            t.respawn = 1000.0f;
        }
        target().alive = true;
        target().position = Vector2D(400.0f, 300.0f);
        target().velocity = Vector2D(0.0f, 0.0f);
        target().radius = 10.0f;
        game.ship.position = Vector2D(100.0f, 100.0f);
        idle.aim = Vector2D(700.0f, 500.0f);
    }
    demo::Target& target() { return game.targets[0]; }
};

TEST_F(DemoArena, ShotThatStepsOverTheTargetBetweenFramesHits) {
    // 880 px/s at 30 Hz moves 29 px: from 5 px before the rim to 4 px past the far side,
    // so neither end of the step lies inside the circle.
    ASSERT_TRUE(game.Fire(Vector2D(385.0f, 300.0f), 0.0f));
    game.Update(idle, 1.0f / 30.0f);
    EXPECT_GT(game.shots[0].position.x, 410.0f);  // ended outside the circle
    EXPECT_FALSE(target().alive);
    EXPECT_FALSE(game.shots[0].active);
    EXPECT_EQ(game.hits, 1);
    EXPECT_GT(game.score, 0);
    EXPECT_TRUE(game.bursts[0].active);
}

TEST_F(DemoArena, ShotPassingBesideTheTargetMisses) {
    ASSERT_TRUE(game.Fire(Vector2D(380.0f, 311.0f), 0.0f));
    for (int frame = 0; frame < 5; ++frame) game.Update(idle, 1.0f / 30.0f);
    EXPECT_TRUE(target().alive);
    EXPECT_EQ(game.hits, 0);
}

TEST_F(DemoArena, ShipOverlappingATargetCrashesButTouchingDoesNot) {
    // Ship radius 16 + target 10: centres 26 apart only touch.
    target().position = Vector2D(126.0f, 100.0f);
    game.Update(idle, 1.0f / 60.0f);
    EXPECT_TRUE(target().alive);
    EXPECT_EQ(game.crashes, 0);

    target().position = Vector2D(125.0f, 100.0f);
    game.Update(idle, 1.0f / 60.0f);
    EXPECT_FALSE(target().alive);
    EXPECT_EQ(game.crashes, 1);
    EXPECT_EQ(game.ship.shield, 1.0f);
    EXPECT_LT(game.ship.velocity.x, 0.0f);  // knocked away from the target
}

TEST_F(DemoArena, DestroyedTargetReturnsAfterTheDelayAwayFromTheShip) {
    target().respawn = 0.0f;
    ASSERT_TRUE(game.Fire(Vector2D(385.0f, 300.0f), 0.0f));
    game.Update(idle, 1.0f / 60.0f);
    ASSERT_FALSE(target().alive);
    float waited = 0.0f;
    while (!target().alive && waited < 5.0f) {
        game.Update(idle, 0.1f);
        waited += 0.1f;
    }
    EXPECT_TRUE(target().alive);
    EXPECT_NEAR(waited, Game::kRespawnDelay, 0.11f);
    Vector2D gap = target().position - game.ship.position;
    EXPECT_GT(gap.GetLength(), 200.0f);
}

TEST_F(DemoArena, FiringStopsWhenEveryShotSlotIsInFlight) {
    for (int i = 0; i < Game::kMaxShots; ++i) ASSERT_TRUE(game.Fire(Vector2D(10.0f, 10.0f), 90.0f));
    EXPECT_FALSE(game.Fire(Vector2D(10.0f, 10.0f), 90.0f));
    EXPECT_EQ(game.ActiveShots(), Game::kMaxShots);
}

// [SECTION] Script

TEST(DemoScript, TurnsFiresAndHitsWithinFiveSeconds) {
    static Game game;
    demo::Script script;
    game.Reset(1280.0f, 720.0f, 20240611u);
    float turned = 0.0f, previous = game.ship.heading;
    for (int frame = 0; frame < 300; ++frame) {
        Controls controls = script.Next(game, 1.0f / 60.0f);
        game.Update(controls, 1.0f / 60.0f);
        turned += std::fabs(DirectionDifference(previous, game.ship.heading));
        previous = game.ship.heading;
        ASSERT_GE(game.ship.position.x, 0.0f);
        ASSERT_LT(game.ship.position.x, 1280.0f);
        ASSERT_GE(game.ship.position.y, 0.0f);
        ASSERT_LT(game.ship.position.y, 720.0f);
    }
    EXPECT_GT(turned, 180.0f);
    EXPECT_GT(game.fired, 20);
    EXPECT_GE(game.hits, 3);
    EXPECT_GT(game.ActiveShots(), 0);
    EXPECT_GT(game.LiveTargets(), 0);
}

// [SECTION] Spawning

// The game's own sequence (xorshift32), to name which draw placed what.
struct Draws {
    unsigned state;
    float Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state >> 8) * (1.0f / 16777216.0f);
    }
};

// Each draw is its own statement, so every compiler places the targets alike:
// radius, then x before y, then heading before speed.
TEST(DemoSpawn, DrawsInAFixedOrderWhateverTheCompiler) {
    Game game;
    game.Reset(1000.0f, 800.0f, 1u);
    Draws d{1u};
    const float radius = 15.0f + d.Next() * 21.0f;
    const float margin = radius + 12.0f;
    const float x = margin + d.Next() * (1000.0f - 2.0f * margin);
    const float y = margin + d.Next() * (800.0f - 2.0f * margin);
    ASSERT_GT(std::hypot(x - 500.0f, y - 400.0f), 200.0f) << "the seed's first place is taken";
    d.Next();  // heading
    const float speed = 35.0f + d.Next() * 75.0f;
    const demo::Target& target = game.targets[0];
    EXPECT_EQ(target.radius, radius);
    EXPECT_EQ(target.position.x, x);
    EXPECT_EQ(target.position.y, y);
    EXPECT_NEAR(target.velocity.GetLength(), speed, 1e-3f);
}

}  // namespace
