#include "KeyboardManager.h"

#include "glfw2.h"

namespace {

// What each character 39..122 types with shift held (US layout), indexed by
// character - 39. The A..Z entries are never read (lookup is after lower-casing)
// but are filled so the table has no holes.
constexpr signed char kShiftTable[84] = {
    '"',  '(',  ')',  '*',  '+',  '<',  '_',  '>',  '?',       // ' ( ) * + , - . /
    ')',  '!',  '@',  '#',  '$',  '%',  '^',  '&',  '*',  '(', // 0..9
    ':',  ':',  '<',  '+',  '>',  '?',  '@',                   // : ; < = > ? @
    'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  'I',  'J',  'K',  'L',  'M',
    'N',  'O',  'P',  'Q',  'R',  'S',  'T',  'U',  'V',  'W',  'X',  'Y',  'Z',
    '{',  '|',  '}',  '^',  '_',  '~',                         // [ \ ] ^ _ `
    'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  'I',  'J',  'K',  'L',  'M',
    'N',  'O',  'P',  'Q',  'R',  'S',  'T',  'U',  'V',  'W',  'X',  'Y',  'Z',
};

constexpr int kFirstPrintable = glfw2::GLFW_KEY_SPACE;       // 32
constexpr int kLastPrintable = 126;
constexpr int kFirstSpecial = glfw2::GLFW_KEY_SPECIAL + 1;    // 257
constexpr int kLastSpecial = glfw2::GLFW_KEY_LAST;            // 318

}  // namespace

KeyboardManager::KeyboardManager() : scanKey(0) {
    for (int i = 0; i < 96; ++i) {
        keyState[i] = false;
        prevKeyState[i] = false;
    }
    for (int i = 0; i < 62; ++i) {
        specialKeyState[i] = false;
        prevSpecialKeyState[i] = false;
    }
    for (scanKey = 0; scanKey < 84; ++scanKey) shiftTable[scanKey] = kShiftTable[scanKey];
}

void KeyboardManager::Step() {
    // Each entry is saved just before its own poll, one call per code in
    // ascending order.
    for (scanKey = kFirstPrintable; scanKey <= kLastPrintable; ++scanKey) {
        const int i = scanKey - kFirstPrintable;
        prevKeyState[i] = keyState[i];
        keyState[i] = glfw2::glfwGetKey(scanKey) > 0;
    }
    for (scanKey = kFirstSpecial; scanKey <= kLastSpecial; ++scanKey) {
        const int i = scanKey - kFirstSpecial;
        prevSpecialKeyState[i] = specialKeyState[i];
        specialKeyState[i] = glfw2::glfwGetKey(scanKey) > 0;
    }
}

// The range tests are unsigned so that negative codes fall out with the
// large ones, in one comparison. Code 127 (entry 95) is excluded on purpose.
bool KeyboardManager::GetKeyHold(int key) const {
    const unsigned printable = unsigned(key) - unsigned(kFirstPrintable);
    if (printable <= unsigned(kLastPrintable - kFirstPrintable)) return keyState[printable];
    const unsigned special = unsigned(key) - unsigned(kFirstSpecial);
    if (special <= unsigned(kLastSpecial - kFirstSpecial)) return specialKeyState[special];
    return false;
}

bool KeyboardManager::GetKeyPress(int key) const {
    const unsigned printable = unsigned(key) - unsigned(kFirstPrintable);
    if (printable <= unsigned(kLastPrintable - kFirstPrintable))
        return keyState[printable] && !prevKeyState[printable];
    const unsigned special = unsigned(key) - unsigned(kFirstSpecial);
    if (special <= unsigned(kLastSpecial - kFirstSpecial))
        return specialKeyState[special] && !prevSpecialKeyState[special];
    return false;
}

bool KeyboardManager::GetKeyRelease(int key) const {
    const unsigned printable = unsigned(key) - unsigned(kFirstPrintable);
    if (printable <= unsigned(kLastPrintable - kFirstPrintable))
        return !keyState[printable] && prevKeyState[printable];
    const unsigned special = unsigned(key) - unsigned(kFirstSpecial);
    if (special <= unsigned(kLastSpecial - kFirstSpecial))
        return !specialKeyState[special] && prevSpecialKeyState[special];
    return false;
}

int KeyboardManager::CorrectCase(int ch) const {
    if (unsigned(ch) - 39u > 83u) return ch;
    // Lower case as the default "C" locale has it, A..Z only. std::tolower
    // follows the game's locale, where a letter may map outside 39..122
    // (Turkish 'I') and the table read would leave the table.
    const int lower = (ch >= 'A' && ch <= 'Z') ? ch - 'A' + 'a' : ch;
    if (specialKeyState[glfw2::GLFW_KEY_LSHIFT - kFirstSpecial] ||
        specialKeyState[glfw2::GLFW_KEY_RSHIFT - kFirstSpecial])
        return shiftTable[lower - 39];
    return lower;
}

// [SECTION] Designed (non-const) getters: the const ones above, for existing callers

bool KeyboardManager::GetKeyHold(int key) { return static_cast<const KeyboardManager&>(*this).GetKeyHold(key); }
bool KeyboardManager::GetKeyPress(int key) { return static_cast<const KeyboardManager&>(*this).GetKeyPress(key); }
bool KeyboardManager::GetKeyRelease(int key) { return static_cast<const KeyboardManager&>(*this).GetKeyRelease(key); }
int KeyboardManager::CorrectCase(int ch) { return static_cast<const KeyboardManager&>(*this).CorrectCase(ch); }
