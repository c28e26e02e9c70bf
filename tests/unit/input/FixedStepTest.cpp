// Exact time beside the smoothed one, and fixed-step updates, on the fake clock.
#include "Diagnostics.h"
#include "TimeManager.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class FixedStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
    }
    // Both clocks at the same instant, `ms` milliseconds.
    void StepAt(TimeManager& timer, std::uint32_t ms) {
        fake::clockNow = ms;
        fake::clockNanoseconds = std::uint64_t(ms) * 1000000u;
        timer.Step();
    }
};

TEST_F(FixedStepTest, RawDurationAndTimeSinceStartAreUnclampedFromTheFineClock) {
    fake::clockNow = 500;
    TimeManager timer;
    EXPECT_EQ(timer.GetFrameDuration(), 0.0);
    StepAt(timer, 9000);  // the first Step measures nothing
    EXPECT_EQ(timer.GetFrameDuration(), 0.0);
    EXPECT_EQ(timer.GetTimeSinceStart(), 0.0);
    StepAt(timer, 9017);
    StepAt(timer, 9217);  // 200 ms: the smoothed time is clamped, this is not
    EXPECT_EQ(timer.GetFrameDuration(), 0.2);
    EXPECT_EQ(timer.GetTimeSinceStart(), 0.217);
    EXPECT_LE(timer.GetElapsedTime(), 0.05f);

    // 144 Hz: the millisecond clock reads 6 or 7 ms a frame; the durations do not.
    TimeManager fast;
    StepAt(fast, 0);
    std::uint64_t ns = 0;
    for (int frame = 1; frame <= 144; ++frame) {
        ns += 6944444;
        fake::clockNow = std::uint32_t(ns / 1000000u);
        fake::clockNanoseconds = ns;
        fast.Step();
        ASSERT_EQ(fast.GetFrameDuration(), 0.006944444) << frame;
    }
    EXPECT_EQ(fast.GetTimeSinceStart(), 0.999999936);

    // The designed smoothed time and frame rate still read the millisecond clock:
    // 7 ms, whatever the fine clock says.
    TimeManager smoothed, reference;
    StepAt(smoothed, 0);
    StepAt(reference, 0);
    fake::clockNow = 7;
    fake::clockNanoseconds = 6944444;
    smoothed.Step();
    StepAt(reference, 7);
    EXPECT_EQ(smoothed.GetElapsedTime(), reference.GetElapsedTime());
    EXPECT_NE(smoothed.GetFrameDuration(), reference.GetFrameDuration());
}

TEST_F(FixedStepTest, SixtyHertzStepsUnderSixteenMillisecondFrames) {
    fake::clockNow = 0;
    TimeManager timer;
    FixedStep fixed(1.0 / 60.0);
    StepAt(timer, 0);
    EXPECT_EQ(fixed.Advance(timer.GetFrameDuration()), 0);
    EXPECT_EQ(fixed.GetAlpha(), 0.0);
    int total = 0;
    std::vector<int> counts;
    for (int frame = 1; frame <= 120; ++frame) {
        StepAt(timer, std::uint32_t(frame * 16));
        counts.push_back(fixed.Advance(timer.GetFrameDuration()));
        total += counts.back();
        ASSERT_GE(fixed.GetAlpha(), 0.0);
        ASSERT_LT(fixed.GetAlpha(), 1.0);
    }
    // 1.92 s at 60 Hz: 115 whole steps, 0.2 of a step left over.
    EXPECT_EQ(total, 115);
    EXPECT_NEAR(fixed.GetAlpha(), 0.2, 1e-9);
    EXPECT_EQ(counts[0], 0);  // 16 ms < 16.67 ms
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(*std::max_element(counts.begin(), counts.end()), 1);
    EXPECT_EQ(fixed.GetDroppedTime(), 0.0);
}

TEST_F(FixedStepTest, AStallRunsAtMostTheCapAndDropsTheRest) {
    fake::clockNow = 0;
    TimeManager timer;
    FixedStep fixed(0.01, 5);
    StepAt(timer, 0);
    StepAt(timer, 3004);  // a three-second stall
    EXPECT_EQ(fixed.Advance(timer.GetFrameDuration()), 5);
    EXPECT_NEAR(fixed.GetDroppedTime(), 2.95, 1e-9);
    EXPECT_NEAR(fixed.GetAlpha(), 0.4, 1e-9);  // the part of a step is kept
    StepAt(timer, 3014);  // and the next frame is an ordinary one again
    EXPECT_EQ(fixed.Advance(timer.GetFrameDuration()), 1);
    EXPECT_NEAR(fixed.GetAlpha(), 0.4, 1e-9);
    fixed.Reset();
    EXPECT_EQ(fixed.GetAlpha(), 0.0);
    EXPECT_EQ(fixed.GetDroppedTime(), 0.0);
}

TEST_F(FixedStepTest, BadArgumentsAreReportedAndReplaced) {
    FixedStep fixed(0.0, 0);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FixedStepChanged);
    EXPECT_EQ(fixed.GetMaxSteps(), 8);
    EXPECT_DOUBLE_EQ(fixed.GetStep(), 1.0 / 60.0);
    FixedStep nan(std::nan(""), 3);
    EXPECT_DOUBLE_EQ(nan.GetStep(), 1.0 / 60.0);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("step"), std::string::npos);

    ClearDiagnostic();
    EXPECT_EQ(fixed.Advance(-1.0), 0);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::FrameDurationIgnored);
    EXPECT_EQ(fixed.Advance(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(fixed.Advance(std::nan("")), 0);
    EXPECT_EQ(fixed.GetAlpha(), 0.0);
}

// Sums that overflow, counts beyond int and steps below the finest double
// keep every total finite and every count in range.
TEST_F(FixedStepTest, ExtremeValuesKeepTheTotalsFiniteAndRight) {
    const double most = std::numeric_limits<double>::max();
    FixedStep huge(1e308);
    EXPECT_EQ(huge.Advance(9e307), 0);
    EXPECT_EQ(huge.Advance(9e307), 1);  // 1.8e308 in all: one step of 1e308
    EXPECT_EQ(huge.Advance(0.0), 0);
    EXPECT_NEAR(huge.GetAlpha(), 0.8, 1e-12);
    EXPECT_EQ(huge.GetDroppedTime(), 0.0);

    FixedStep sixty(1.0 / 60.0);
    EXPECT_EQ(sixty.Advance(most), 8);
    EXPECT_TRUE(std::isfinite(sixty.GetDroppedTime()));
    EXPECT_EQ(sixty.GetDroppedTime(), most);  // 8 steps are nothing beside it
    EXPECT_EQ(sixty.Advance(most), 8);
    EXPECT_EQ(sixty.GetDroppedTime(), most) << "the sum stops at the largest double";
    EXPECT_GE(sixty.GetAlpha(), 0.0);
    EXPECT_LT(sixty.GetAlpha(), 1.0);

    FixedStep finest(std::numeric_limits<double>::denorm_min(), 5);
    EXPECT_EQ(finest.Advance(1.0), 5);
    EXPECT_EQ(finest.GetDroppedTime(), 1.0);
    EXPECT_EQ(finest.GetAlpha(), 0.0);
}

}  // namespace
