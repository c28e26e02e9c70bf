// The GLFW 3 key for each of the 157 codes KeyboardManager polls, in its
// order: the printable codes 32..126 as they are (GLFW 3 takes every one of
// them and reads those it has no key for as released), then the 62 special
// keys. For the programs that poll GLFW 3 directly.
#ifndef QUILLMAR_BENCH_GLFW3_KEYS_H
#define QUILLMAR_BENCH_GLFW3_KEYS_H

#include <GLFW/glfw3.h>

namespace qmbench {

struct Glfw3Keys {
    int codes[157];
    Glfw3Keys() {
        int n = 0;
        for (int c = 32; c <= 126; ++c) codes[n++] = c;
        codes[n++] = GLFW_KEY_ESCAPE;
        for (int f = 0; f < 25; ++f) codes[n++] = GLFW_KEY_F1 + f;
        const int rest[] = {
            GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_RIGHT,
            GLFW_KEY_LEFT_SHIFT, GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_LEFT_CONTROL,
            GLFW_KEY_RIGHT_CONTROL, GLFW_KEY_LEFT_ALT, GLFW_KEY_RIGHT_ALT, GLFW_KEY_TAB,
            GLFW_KEY_ENTER, GLFW_KEY_BACKSPACE, GLFW_KEY_INSERT, GLFW_KEY_DELETE,
            GLFW_KEY_PAGE_UP, GLFW_KEY_PAGE_DOWN, GLFW_KEY_HOME, GLFW_KEY_END};
        for (int k : rest) codes[n++] = k;
        for (int k = 0; k < 10; ++k) codes[n++] = GLFW_KEY_KP_0 + k;
        const int keypad[] = {GLFW_KEY_KP_DIVIDE, GLFW_KEY_KP_MULTIPLY, GLFW_KEY_KP_SUBTRACT,
                              GLFW_KEY_KP_ADD,    GLFW_KEY_KP_DECIMAL,  GLFW_KEY_KP_EQUAL,
                              GLFW_KEY_KP_ENTER};
        for (int k : keypad) codes[n++] = k;
    }
};

}  // namespace qmbench

#endif
