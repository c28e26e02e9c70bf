// Keyboard state polled once per frame. Key codes: printable keys 32..126 by
// the character they type in the active keyboard layout with no modifier
// (letters upper case: a French keyboard's A key reads as 'A'), special keys
// 257..318 (escape 257, left shift 287, right shift 288, keypad enter 318).
// A key typing no character in 32..126 (an accented letter)
// reads as the code of its place on a US keyboard. A layout change applies
// from the next press of a key; a key is released under the code it was
// pressed with. Other codes read as up.
#ifndef QUILLMAR_KEYBOARDMANAGER_H
#define QUILLMAR_KEYBOARDMANAGER_H

#include "QuillmarExport.h"

class QM_API KeyboardManager {
public:
    KeyboardManager();
    void Step();                // polls every tracked key
    bool GetKeyHold(int key);     // down in the latest poll
    bool GetKeyPress(int key);    // down now, up in the poll before
    bool GetKeyRelease(int key);  // up now, down in the poll before
    // The character ch types with the shift state of the latest poll
    // (US layout); characters outside 39..122 pass through unchanged.
    int CorrectCase(int ch);

    // The same queries on a const manager.
    bool GetKeyHold(int key) const;
    bool GetKeyPress(int key) const;
    bool GetKeyRelease(int key) const;
    int CorrectCase(int ch) const;

private:
    bool keyState[96];
    bool prevKeyState[96];
    bool specialKeyState[62];
    bool prevSpecialKeyState[62];
    signed char shiftTable[84];
    int scanKey;

    friend struct KeyboardManagerProbe;
};

#endif
