/* Injects input with XTest into the X window of a Wine program, for the
 * Windows window tests, and creates DONE-FILE once everything is flushed.
 *
 *   qm-xinject DONE-FILE TITLE ACTION...
 *
 * ACTION: focus               give the window titled TITLE the input focus
 *         key:KEYSYM:down|up  a key by its X keysym name (a, Escape, Shift_L)
 *         button:N:down|up    pointer button N (1 left, 2 middle, 3 right)
 *         move:X:Y            pointer to window pixel (X, Y) from the top-left
 * Exits 1 when the display, the window or an action is not found. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static Window Find(Display* d, Window w, const char* title, int depth) {
    char* name = NULL;
    int match = XFetchName(d, w, &name) && name && strcmp(name, title) == 0;
    if (name) XFree(name);
    if (match) return w;
    Window root, parent, *children = NULL, found = 0;
    unsigned n = 0;
    if (depth > 0 && XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned i = n; i-- > 0 && !found;) found = Find(d, children[i], title, depth - 1);
        if (children) XFree(children);
    }
    return found;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: qm-xinject DONE-FILE TITLE ACTION...\n");
        return 1;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) return 1;
    Window w = Find(d, DefaultRootWindow(d), argv[2], 3);
    if (!w) {
        fprintf(stderr, "qm-xinject: no window titled %s\n", argv[2]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        char what[64] = "", arg[64] = "", state[16] = "";
        int x = 0, y = 0;
        if (strcmp(argv[i], "focus") == 0) {
            XRaiseWindow(d, w);
            XSetInputFocus(d, w, RevertToParent, CurrentTime);
        } else if (sscanf(argv[i], "move:%d:%d", &x, &y) == 2) {
            int rx = 0, ry = 0;
            Window child;
            XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rx, &ry, &child);
            XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
        } else if (sscanf(argv[i], "%63[a-z]:%63[^:]:%15s", what, arg, state) == 3) {
            Bool down = strcmp(state, "down") == 0;
            if (strcmp(what, "key") == 0) {
                KeySym sym = XStringToKeysym(arg);
                KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
                if (!code) return 1;
                XTestFakeKeyEvent(d, code, down, CurrentTime);
            } else if (strcmp(what, "button") == 0) {
                XTestFakeButtonEvent(d, (unsigned)atoi(arg), down, CurrentTime);
            } else {
                return 1;
            }
        } else {
            fprintf(stderr, "qm-xinject: unknown action %s\n", argv[i]);
            return 1;
        }
        XSync(d, False);
    }
    XCloseDisplay(d);
    FILE* done = fopen(argv[1], "w");
    if (done) fclose(done);
    return 0;
}
