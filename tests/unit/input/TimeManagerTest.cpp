#include "TimeManager.h"

#include "Probes.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace {

using P = TimeManagerProbe;

class TimeTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    // Steps once with the clock at `ms`.
    void StepAt(TimeManager& timer, std::uint32_t ms) {
        fake::clockNow = ms;
        fake::clockStep = 0;
        timer.Step();
    }
};

TEST_F(TimeTest, ConstructionReadsTheClockOnceAndSetsExactStartValues) {
    fake::clockNow = 1234;
    fake::clockStep = 10;
    TimeManager timer;
    EXPECT_EQ(fake::clockNow, 1244u);  // one read
    EXPECT_EQ(P::LastTime(timer), 1234u);
    EXPECT_EQ(FloatBits(P::FpsInterval(timer)), 0x3F800000u);
    EXPECT_EQ(FloatBits(timer.GetFramesPerSecond()), 0x42700000u);
    EXPECT_EQ(FloatBits(timer.GetElapsedTime()), 0x3A83126Fu);
    EXPECT_EQ(FloatBits(P::FrameTime(timer)), 0x3A83126Fu);
    EXPECT_EQ(P::FrameCount(timer), 0);
    EXPECT_EQ(P::FpsTime(timer), 0.0f);
    EXPECT_FALSE(P::Started(timer));
}

TEST_F(TimeTest, FirstStepMeasuresAFrameOfZeroLength) {
    fake::clockNow = 1000;
    TimeManager timer;
    StepAt(timer, 6000);  // five seconds later
    EXPECT_TRUE(P::Started(timer));
    EXPECT_EQ(P::CurrentTime(timer), 6000u);
    EXPECT_EQ(P::LastTime(timer), 6000u);
    EXPECT_EQ(P::FrameTime(timer), 0.0f);
    EXPECT_EQ(P::FpsTime(timer), 0.0f);
    EXPECT_EQ(P::FrameCount(timer), 1);
    EXPECT_EQ(timer.GetFramesPerSecond(), 60.0f);
    // 0.75 x the single-precision 0.001, rounded to float.
    EXPECT_EQ(FloatBits(timer.GetElapsedTime()), 0x3A449BA6u);
}

TEST_F(TimeTest, LongFrameCountsFullyForFpsButIsClampedForElapsedTime) {
    TimeManager timer;
    StepAt(timer, 0);
    StepAt(timer, 200);
    EXPECT_EQ(P::FpsTime(timer), 0.2f);
    EXPECT_EQ(FloatBits(P::FrameTime(timer)), 0x3D4CCCCDu);  // single-precision 0.05
    EXPECT_EQ(FloatBits(timer.GetElapsedTime()), 0x3C560419u);  // (3 x 0.00075 + 0.05) / 4
    EXPECT_EQ(P::FrameCount(timer), 2);

    // 50 ms is exactly at the clamp and 51 ms is cut back to it.
    StepAt(timer, 250);
    EXPECT_EQ(P::FrameTime(timer), 0.05f);
    StepAt(timer, 301);
    EXPECT_EQ(P::FrameTime(timer), 0.05f);
    StepAt(timer, 350);
    EXPECT_EQ(P::FrameTime(timer), 0.049f);
}

TEST_F(TimeTest, ElapsedTimeNeverExceedsTheClamp) {
    TimeManager timer;
    std::uint32_t now = 0;
    StepAt(timer, now);
    for (int i = 0; i < 200; ++i) {
        now += 5000;
        StepAt(timer, now);
        EXPECT_LE(timer.GetElapsedTime(), 0.05f);
    }
    EXPECT_GT(timer.GetElapsedTime(), 0.0499f);
}

TEST_F(TimeTest, SixteenMillisecondStepsCloseTheWindowOnThe64thStep) {
    TimeManager timer;
    for (int step = 1; step <= 63; ++step) {
        StepAt(timer, 5000 + 16 * (step - 1));
        ASSERT_EQ(timer.GetFramesPerSecond(), 60.0f) << step;
    }
    EXPECT_EQ(P::FrameCount(timer), 63);
    StepAt(timer, 5000 + 16 * 63);
    EXPECT_NEAR(timer.GetFramesPerSecond(), 63.0 / 1.008, 1e-3);
    EXPECT_NEAR(P::FpsTime(timer), 0.008, 1e-5);
    EXPECT_EQ(P::FrameCount(timer), 1);
    // The next window counts from the closing step: 62 more steps reach
    // about 1.0 s again and the 63rd closes with a count of 63.
    for (int step = 65; step <= 126; ++step) StepAt(timer, 5000 + 16 * (step - 1));
    EXPECT_NEAR(P::FpsTime(timer), 1.0, 1e-5);
    StepAt(timer, 5000 + 16 * 126);
    EXPECT_EQ(P::FrameCount(timer), 1);
    EXPECT_NEAR(timer.GetFramesPerSecond(), 63.0 / 1.016, 1e-3);
}

TEST_F(TimeTest, AWindowOfExactlyOneSecondStaysOpen) {
    TimeManager timer;
    StepAt(timer, 0);
    StepAt(timer, 1000);
    EXPECT_EQ(P::FpsTime(timer), 1.0f);
    EXPECT_EQ(timer.GetFramesPerSecond(), 60.0f);
    EXPECT_EQ(P::FrameCount(timer), 2);
    StepAt(timer, 1001);
    EXPECT_EQ(timer.GetFramesPerSecond(), float(2.0 / double(1.001f)));
    EXPECT_EQ(P::FpsTime(timer), float(double(1.001f) - 1.0));
}

TEST_F(TimeTest, AStallKeepsClosingWindowsUntilTheCarryIsUsedUp) {
    TimeManager timer;
    P::SetWindow(timer, 10000, 0.5f, 30);
    StepAt(timer, 13000);
    EXPECT_NEAR(timer.GetFramesPerSecond(), 30.0 / 3.5, 1e-5);
    EXPECT_EQ(P::FpsTime(timer), 2.5f);
    EXPECT_EQ(P::FrameCount(timer), 1);
    EXPECT_EQ(P::FrameTime(timer), 0.05f);

    StepAt(timer, 13016);
    EXPECT_NEAR(timer.GetFramesPerSecond(), 1.0 / 2.516, 1e-6);
    EXPECT_NEAR(P::FpsTime(timer), 1.516, 1e-6);
    StepAt(timer, 13032);
    EXPECT_NEAR(timer.GetFramesPerSecond(), 1.0 / 1.532, 1e-6);
    EXPECT_NEAR(P::FpsTime(timer), 0.532, 1e-6);
    const float settled = timer.GetFramesPerSecond();
    StepAt(timer, 13048);
    EXPECT_EQ(timer.GetFramesPerSecond(), settled);
    EXPECT_EQ(P::FrameCount(timer), 2);
}

TEST_F(TimeTest, ClockWrapGivesTheTrueDifference) {
    fake::clockNow = 0xFFFFFFF0u;
    TimeManager timer;
    StepAt(timer, 0xFFFFFFF0u);
    StepAt(timer, 0x00000010u);
    EXPECT_EQ(P::FrameTime(timer), 0.032f);
    EXPECT_EQ(P::FpsTime(timer), 0.032f);
    EXPECT_EQ(P::LastTime(timer), 0x10u);
}

TEST_F(TimeTest, ClockGoingBackwardsGivesANegativeFrameTime) {
    // Differences are signed: a clock read 10 ms earlier is not 49.7 days.
    TimeManager timer;
    StepAt(timer, 100);
    StepAt(timer, 90);
    EXPECT_EQ(P::FrameTime(timer), -0.01f);
    EXPECT_EQ(P::FpsTime(timer), -0.01f);
    EXPECT_LT(timer.GetElapsedTime(), 0.0f);  // no lower bound
}

}  // namespace
