#include "KeyboardManager.h"
#include "Keys.h"
#include "MouseManager.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace {

// Whether a keyboard query compiles with an argument of type T.
template <class T, class = void>
struct KeyboardTakes : std::false_type {};
template <class T>
struct KeyboardTakes<T, std::void_t<decltype(std::declval<KeyboardManager&>().GetKeyHold(
                            std::declval<T>()))>> : std::true_type {};
template <class T, class = void>
struct ConstKeyboardTakes : std::false_type {};
template <class T>
struct ConstKeyboardTakes<T, std::void_t<decltype(std::declval<const KeyboardManager&>().GetKeyPress(
                                 std::declval<T>()))>> : std::true_type {};

// A mouse button passed to the keyboard would read a key with the same number.
static_assert(KeyboardTakes<decltype(Key::Escape)>::value && KeyboardTakes<char>::value);
static_assert(!KeyboardTakes<decltype(MouseButton::Left)>::value);
static_assert(!ConstKeyboardTakes<decltype(MouseButton::Right)>::value);

TEST(MouseButtonTest, EachButtonQueryReadsItsOwnButtonsEdges) {
    fake::Reset();
    MouseManager mouse;
    const MouseButton buttons[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle};
    for (int down = 0; down < 3; ++down) {
        SCOPED_TRACE(down);
        fake::script.mouseButtons[0] = fake::script.mouseButtons[1] = fake::script.mouseButtons[2] = 0;
        mouse.Step();
        fake::script.mouseButtons[down] = 1;
        mouse.Step();
        for (int b = 0; b < 3; ++b) {
            EXPECT_EQ(mouse.GetButtonHold(buttons[b]), b == down);
            EXPECT_EQ(mouse.GetButtonPress(buttons[b]), b == down);
            EXPECT_FALSE(mouse.GetButtonRelease(buttons[b]));
        }
        fake::script.mouseButtons[down] = 0;
        mouse.Step();
        for (int b = 0; b < 3; ++b) {
            EXPECT_FALSE(mouse.GetButtonHold(buttons[b]) || mouse.GetButtonPress(buttons[b]));
            EXPECT_EQ(mouse.GetButtonRelease(buttons[b]), b == down);
        }
    }
    // A value that names no button (made by a cast) reads as up.
    fake::script.mouseButtons[0] = fake::script.mouseButtons[1] = fake::script.mouseButtons[2] = 1;
    mouse.Step();
    EXPECT_FALSE(mouse.GetButtonHold(static_cast<MouseButton>(3)));
    EXPECT_FALSE(mouse.GetButtonPress(static_cast<MouseButton>(-1)));
}

}  // namespace
