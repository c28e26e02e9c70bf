// The named keys are the codes the keyboard manager polls.
#include "KeyboardManager.h"
#include "Keys.h"

#include "fakes/Fakes.h"
#include "glfw2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

using namespace glfw2;

static_assert(Key::Escape == GLFW_KEY_ESC && Key::F1 == GLFW_KEY_F1 && Key::F25 == GLFW_KEY_F25);
static_assert(Key::Up == GLFW_KEY_UP && Key::Down == GLFW_KEY_DOWN && Key::Left == GLFW_KEY_LEFT &&
              Key::Right == GLFW_KEY_RIGHT);
static_assert(Key::LeftShift == GLFW_KEY_LSHIFT && Key::RightShift == GLFW_KEY_RSHIFT &&
              Key::LeftControl == GLFW_KEY_LCTRL && Key::RightControl == GLFW_KEY_RCTRL &&
              Key::LeftAlt == GLFW_KEY_LALT && Key::RightAlt == GLFW_KEY_RALT);
static_assert(Key::Tab == GLFW_KEY_TAB && Key::Enter == GLFW_KEY_ENTER &&
              Key::Backspace == GLFW_KEY_BACKSPACE && Key::Insert == GLFW_KEY_INSERT &&
              Key::Delete == GLFW_KEY_DEL && Key::PageUp == GLFW_KEY_PAGEUP &&
              Key::PageDown == GLFW_KEY_PAGEDOWN && Key::Home == GLFW_KEY_HOME &&
              Key::End == GLFW_KEY_END);
static_assert(Key::Keypad0 == GLFW_KEY_KP_0 && Key::Keypad9 == GLFW_KEY_KP_9 &&
              Key::KeypadDivide == GLFW_KEY_KP_DIVIDE &&
              Key::KeypadMultiply == GLFW_KEY_KP_MULTIPLY &&
              Key::KeypadSubtract == GLFW_KEY_KP_SUBTRACT && Key::KeypadAdd == GLFW_KEY_KP_ADD &&
              Key::KeypadDecimal == GLFW_KEY_KP_DECIMAL && Key::KeypadEqual == GLFW_KEY_KP_EQUAL &&
              Key::KeypadEnter == GLFW_KEY_KP_ENTER);
static_assert(Key::Space == GLFW_KEY_SPACE && Key::F(25) == Key::F25 && Key::F(26) == -1 &&
              Key::Keypad(9) == Key::Keypad9 && Key::Keypad(-1) == -1);
static_assert(int(MouseButton::Left) == GLFW_MOUSE_BUTTON_LEFT &&
              int(MouseButton::Right) == GLFW_MOUSE_BUTTON_RIGHT &&
              int(MouseButton::Middle) == GLFW_MOUSE_BUTTON_MIDDLE);

// Every named special key, each held alone, reads as held under its name
// and no other: the names run through the whole special range without a gap.
TEST(Keys, EachNamedKeyIsPolledUnderItsOwnCode) {
    const int named[] = {Key::Escape, Key::Up, Key::Down, Key::Left, Key::Right, Key::LeftShift,
                         Key::RightShift, Key::LeftControl, Key::RightControl, Key::LeftAlt,
                         Key::RightAlt, Key::Tab, Key::Enter, Key::Backspace, Key::Insert,
                         Key::Delete, Key::PageUp, Key::PageDown, Key::Home, Key::End,
                         Key::KeypadDivide, Key::KeypadMultiply, Key::KeypadSubtract,
                         Key::KeypadAdd, Key::KeypadDecimal, Key::KeypadEqual, Key::KeypadEnter};
    std::vector<int> keys(std::begin(named), std::end(named));
    for (int n = 1; n <= 25; ++n) keys.push_back(Key::F(n));
    for (int d = 0; d <= 9; ++d) keys.push_back(Key::Keypad(d));
    std::sort(keys.begin(), keys.end());
    ASSERT_EQ(keys.size(), 62u);
    for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(keys[i], Key::Escape + int(i));

    fake::Reset();
    KeyboardManager keyboard;
    for (int key : keys) {
        fake::script.keys[key] = GLFW_PRESS;
        keyboard.Step();
        const KeyboardManager& view = keyboard;
        EXPECT_TRUE(view.GetKeyHold(key)) << key;
        EXPECT_TRUE(keyboard.GetKeyPress(key)) << key;
        EXPECT_FALSE(view.GetKeyHold(key == Key::Escape ? Key::F1 : key - 1)) << key;
        fake::script.keys[key] = GLFW_RELEASE;
    }
}

}  // namespace
