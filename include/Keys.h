// Names for the key codes KeyboardManager reads, and the mouse buttons' type.
// The only place in the library's public headers where these numbers appear.
//
// Printable keys need no name: they are the character the key types,
// unshifted, letters upper case ('A', '7', ' ', '-'); Key::Space is given for
// readability. Every name below is a compile-time int, so
// Core::Keyboard.GetKeyPress(Key::Escape) costs what GetKeyPress(257) does.
#ifndef QUILLMAR_KEYS_H
#define QUILLMAR_KEYS_H

namespace Key {

constexpr int Space = 32;  // Key: Space (its character code)

constexpr int Escape = 257;  // Key: Esc
constexpr int F1 = 258;      // Key: F1
constexpr int F2 = 259;      // Key: F2
constexpr int F3 = 260;      // Key: F3
constexpr int F4 = 261;      // Key: F4
constexpr int F5 = 262;      // Key: F5
constexpr int F6 = 263;      // Key: F6
constexpr int F7 = 264;      // Key: F7
constexpr int F8 = 265;      // Key: F8
constexpr int F9 = 266;      // Key: F9
constexpr int F10 = 267;     // Key: F10
constexpr int F11 = 268;     // Key: F11
constexpr int F12 = 269;     // Key: F12
constexpr int F13 = 270;     // Key: F13
constexpr int F14 = 271;     // Key: F14
constexpr int F15 = 272;     // Key: F15
constexpr int F16 = 273;     // Key: F16
constexpr int F17 = 274;     // Key: F17
constexpr int F18 = 275;     // Key: F18
constexpr int F19 = 276;     // Key: F19
constexpr int F20 = 277;     // Key: F20
constexpr int F21 = 278;     // Key: F21
constexpr int F22 = 279;     // Key: F22
constexpr int F23 = 280;     // Key: F23
constexpr int F24 = 281;     // Key: F24
constexpr int F25 = 282;     // Key: F25
constexpr int Up = 283;      // Key: Cursor up
constexpr int Down = 284;    // Key: Cursor down
constexpr int Left = 285;    // Key: Cursor left
constexpr int Right = 286;   // Key: Cursor right
constexpr int LeftShift = 287;     // Key: Shift, left
constexpr int RightShift = 288;    // Key: Shift, right
constexpr int LeftControl = 289;   // Key: Ctrl, left
constexpr int RightControl = 290;  // Key: Ctrl, right
constexpr int LeftAlt = 291;       // Key: Alt, left
constexpr int RightAlt = 292;      // Key: Alt, right (AltGr on many layouts)
constexpr int Tab = 293;           // Key: Tab
constexpr int Enter = 294;         // Key: Enter (main keyboard)
constexpr int Backspace = 295;     // Key: Backspace
constexpr int Insert = 296;        // Key: Insert
constexpr int Delete = 297;        // Key: Delete
constexpr int PageUp = 298;        // Key: Page up
constexpr int PageDown = 299;      // Key: Page down
constexpr int Home = 300;          // Key: Home
constexpr int End = 301;           // Key: End
constexpr int Keypad0 = 302;       // Key: Keypad 0
constexpr int Keypad1 = 303;       // Key: Keypad 1
constexpr int Keypad2 = 304;       // Key: Keypad 2
constexpr int Keypad3 = 305;       // Key: Keypad 3
constexpr int Keypad4 = 306;       // Key: Keypad 4
constexpr int Keypad5 = 307;       // Key: Keypad 5
constexpr int Keypad6 = 308;       // Key: Keypad 6
constexpr int Keypad7 = 309;       // Key: Keypad 7
constexpr int Keypad8 = 310;       // Key: Keypad 8
constexpr int Keypad9 = 311;       // Key: Keypad 9
constexpr int KeypadDivide = 312;    // Key: Keypad /
constexpr int KeypadMultiply = 313;  // Key: Keypad *
constexpr int KeypadSubtract = 314;  // Key: Keypad -
constexpr int KeypadAdd = 315;       // Key: Keypad +
constexpr int KeypadDecimal = 316;   // Key: Keypad . (or , on some layouts)
constexpr int KeypadEqual = 317;     // Key: Keypad =
constexpr int KeypadEnter = 318;     // Key: Keypad Enter

// Function key n (1..25); any other n gives a code no key has.
constexpr int F(int n) { return n >= 1 && n <= 25 ? F1 + (n - 1) : -1; }
// Keypad digit d (0..9); any other d gives a code no key has.
constexpr int Keypad(int d) { return d >= 0 && d <= 9 ? Keypad0 + d : -1; }

}  // namespace Key

// Mouse buttons, a type of their own: a keyboard query refuses them at compile
// time (they would read the key with the same number). MouseManager reads them
// through GetButtonHold / GetButtonPress / GetButtonRelease, or the designed
// GetLeftHold and the like. Values as the windowing library numbers them.
enum class MouseButton : int {
    Left = 0,    // Button: left (primary)
    Right = 1,   // Button: right (secondary)
    Middle = 2,  // Button: middle (wheel click)
};

#endif
