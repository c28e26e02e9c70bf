#include "KeyboardManager.h"
#include "Keys.h"

#include "Probes.h"
#include "fakes/Fakes.h"
#include "glfw2.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr int kLShift = Key::LeftShift;
constexpr int kRShift = Key::RightShift;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    void Set(int key, bool down) { fake::script.keys[key] = down ? glfw2::GLFW_PRESS : glfw2::GLFW_RELEASE; }

    KeyboardManager keyboard;
};

TEST_F(KeyboardTest, EveryQueryIsFalseBeforeTheFirstStep) {
    for (int key = 0; key < 512; ++key) Set(key, true);
    for (int key = -2; key < 400; ++key) {
        EXPECT_FALSE(keyboard.GetKeyHold(key)) << key;
        EXPECT_FALSE(keyboard.GetKeyPress(key)) << key;
        EXPECT_FALSE(keyboard.GetKeyRelease(key)) << key;
    }
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(KeyboardTest, StepPollsEachTrackedCodeOnceInAscendingOrder) {
    keyboard.Step();
    std::vector<double> expected;
    for (int code = 32; code <= 126; ++code) expected.push_back(code);
    for (int code = Key::Escape; code <= Key::KeypadEnter; ++code) expected.push_back(code);
    ASSERT_EQ(fake::log.size(), 157u);
    for (std::size_t i = 0; i < fake::log.size(); ++i) {
        EXPECT_EQ(fake::log[i].name, "glfwGetKey");
        EXPECT_EQ(fake::log[i].args, std::vector<double>{expected[i]}) << i;
    }
}

TEST_F(KeyboardTest, HeldKeyGivesOnePressThenHoldsThenOneRelease) {
    for (int key : {int('A'), Key::Space, int('~'), Key::Escape, Key::KeypadEnter}) {
        SCOPED_TRACE(key);
        struct Frame { bool down, hold, press, release; };
        const Frame frames[] = {
            {true, true, true, false},   {true, true, false, false}, {true, true, false, false},
            {false, false, false, true}, {false, false, false, false}, {true, true, true, false},
            {false, false, false, true},
        };
        for (const Frame& f : frames) {
            Set(key, f.down);
            keyboard.Step();
            EXPECT_EQ(keyboard.GetKeyHold(key), f.hold);
            EXPECT_EQ(keyboard.GetKeyPress(key), f.press);
            EXPECT_EQ(keyboard.GetKeyRelease(key), f.release);
        }
    }
}

TEST_F(KeyboardTest, KeysAreIndependentAndQueriesDoNotPoll) {
    Set('W', true);
    Set(glfw2::GLFW_KEY_UP, true);
    keyboard.Step();
    Set('W', false);
    keyboard.Step();
    const std::size_t calls = fake::log.size();
    EXPECT_TRUE(keyboard.GetKeyRelease('W'));
    EXPECT_TRUE(keyboard.GetKeyHold(glfw2::GLFW_KEY_UP));
    EXPECT_FALSE(keyboard.GetKeyPress(glfw2::GLFW_KEY_UP));
    EXPECT_FALSE(keyboard.GetKeyHold('S'));
    // A key going up after the poll is not seen until the next Step.
    Set(glfw2::GLFW_KEY_UP, false);
    EXPECT_TRUE(keyboard.GetKeyHold(glfw2::GLFW_KEY_UP));
    EXPECT_EQ(fake::log.size(), calls);
}

TEST_F(KeyboardTest, RangeTestsAtEveryBoundary) {
    // Everything down, twice, so Hold is true and then a release shows too.
    for (int key = 0; key < 512; ++key) Set(key, true);
    keyboard.Step();
    for (int key : {Key::Space, int('~'), Key::Escape, Key::KeypadEnter}) {
        EXPECT_TRUE(keyboard.GetKeyHold(key)) << key;
        EXPECT_TRUE(keyboard.GetKeyPress(key)) << key;
    }
    for (int key : {31, 127, Key::Escape - 1, Key::KeypadEnter + 1, -1, -225, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(keyboard.GetKeyHold(key)) << key;
        EXPECT_FALSE(keyboard.GetKeyPress(key)) << key;
    }
    // Code 127 is inside the printable arrays but never polled.
    EXPECT_FALSE(KeyboardManagerProbe::Current(keyboard, 95));
    for (int key = 0; key < 512; ++key) Set(key, false);
    keyboard.Step();
    for (int key : {Key::Space, int('~'), Key::Escape, Key::KeypadEnter}) EXPECT_TRUE(keyboard.GetKeyRelease(key)) << key;
    for (int key : {31, 127, Key::Escape - 1, Key::KeypadEnter + 1, -1, INT_MIN, INT_MAX})
        EXPECT_FALSE(keyboard.GetKeyRelease(key)) << key;
}

// What each character 39..122 types with shift (US layout), written out.
const std::string kShifted =
    "\"()*+<_>?"                       // ' ( ) * + , - . /
    ")!@#$%^&*("                       // 0..9
    "::<+>?@"                          // : ; < = > ? @
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"       // A..Z
    "{|}^_~"                           // [ \ ] ^ _ `
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ";      // a..z

int Lower(int ch) { return (ch >= 'A' && ch <= 'Z') ? ch + 32 : ch; }

TEST_F(KeyboardTest, CorrectCaseAgainstTheWholeTable) {
    ASSERT_EQ(kShifted.size(), 84u);
    struct Case { const char* name; bool left, right; };
    for (const Case& c : {Case{"no shift", false, false}, Case{"left", true, false},
                          Case{"right", false, true}, Case{"both", true, true}}) {
        SCOPED_TRACE(c.name);
        Set(kLShift, c.left);
        Set(kRShift, c.right);
        keyboard.Step();
        const bool shift = c.left || c.right;
        for (int ch = -300; ch < 400; ++ch) {
            int expected = ch;
            if (ch >= 39 && ch <= 122)
                expected = shift ? int(kShifted[Lower(ch) - 39]) : Lower(ch);
            EXPECT_EQ(keyboard.CorrectCase(ch), expected) << ch;
        }
        EXPECT_EQ(keyboard.CorrectCase(INT_MIN), INT_MIN);
        EXPECT_EQ(keyboard.CorrectCase(INT_MAX), INT_MAX);
    }
    // The upper-case entries are never read but are filled all the same.
    for (int ch = 'A'; ch <= 'Z'; ++ch)
        EXPECT_EQ(KeyboardManagerProbe::Shift(keyboard, ch - 39), ch);
}

TEST_F(KeyboardTest, ShiftCountsOnlyFromTheStepThatSeesIt) {
    keyboard.Step();
    Set(kLShift, true);
    EXPECT_EQ(keyboard.CorrectCase('q'), 'q');
    keyboard.Step();
    EXPECT_EQ(keyboard.CorrectCase('q'), 'Q');
    Set(kLShift, false);
    EXPECT_EQ(keyboard.CorrectCase('q'), 'Q');
    keyboard.Step();
    EXPECT_EQ(keyboard.CorrectCase('q'), 'q');
}

}  // namespace
