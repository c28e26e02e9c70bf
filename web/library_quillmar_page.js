// What a Quillmar program needs of its page beyond GL (library_quillmar_gl.js).
// Linked with --js-library by the Quillmar target; written against
// Emscripten 3.1.6.
//
// 1. Gamepads. Emscripten's GLFW 3 has no gamepad calls, so the adapter
//    (platform/glfw2_on_glfw3.cpp) reads the browser's Gamepad API here: the
//    pads with the browser's "standard" mapping, in GLFW 3.3's gamepad order,
//    sticks in -1..1 (y down) and triggers in 0..1. The pads are read once a
//    frame (qm_gamepads_snapshot), as navigator.getGamepads makes a new
//    snapshot at every call.
// 2. The program's end. Once main has yielded to the browser (Asyncify), its
//    return reaches no one in 3.1.6: callMain returned long before, and the
//    value the last rewind hands back is dropped. The runtime then never
//    exits, so Module.onExit never runs and the page never learns the exit
//    status. The first yield from main asks for that value instead and exits
//    with it, as a program that never yielded does.

mergeInto(LibraryManager.library, {
  $QMPads: { snapshot: [] },

  qm_gamepads_snapshot__deps: ['$QMPads'],
  qm_gamepads_snapshot: function() {
    var pads = [];
    try {
      var get = navigator.getGamepads || navigator.webkitGetGamepads;
      pads = (get && get.call(navigator)) || [];
    } catch (e) {
      pads = [];  // a page without permission for gamepads has none
    }
    QMPads.snapshot = pads;
  },

  // The standard mapping's buttons, in GLFW 3.3's order: A, B, X, Y, left and
  // right bumper, back, start, guide, left and right stick, d-pad up, right,
  // down, left. Its buttons 6 and 7 are the triggers, read as axes.
  qm_gamepad_read__deps: ['$QMPads'],
  qm_gamepad_read: function(joy, buttons, axes, name, nameSize) {
    var pad = QMPads.snapshot[joy];
    if (!pad || pad.connected === false || pad.mapping !== 'standard') return 0;
    var order = [0, 1, 2, 3, 4, 5, 8, 9, 16, 10, 11, 12, 15, 13, 14];
    function pressed(b) {
      return !!b && (typeof b === 'object' ? !!b.pressed : b > 0.5);
    }
    function within(v, lo) {  // NaN and non-numbers read as rest
      v = Number(v);
      return v >= lo ? (v <= 1 ? v : 1) : (v < lo ? lo : (lo < 0 ? 0 : lo));
    }
    function trigger(b) {
      if (!b) return 0;
      return typeof b === 'object' ? within(b.value, 0) : within(b, 0);
    }
    for (var i = 0; i < 15; ++i) HEAPU8[buttons + i] = pressed(pad.buttons[order[i]]) ? 1 : 0;
    for (var a = 0; a < 4; ++a) HEAPF32[(axes >> 2) + a] = within(pad.axes[a], -1);
    HEAPF32[(axes >> 2) + 4] = trigger(pad.buttons[6]);
    HEAPF32[(axes >> 2) + 5] = trigger(pad.buttons[7]);
    stringToUTF8(String(pad.id || ''), name, nameSize);
    return 1;
  },

  $QMExit: { armed: false },
  qm_exit_when_main_returns__deps: ['$QMExit', '$callUserCallback', '$handleException'],
  qm_exit_when_main_returns: function() {
    if (QMExit.armed || Asyncify.asyncPromiseHandlers) return;
    // Only main's own sleep: its export is the one at the stack's root (an
    // optimised build renames exports; Module._main is the export once called).
    var entry = Asyncify.exportCallStack[0];
    if (entry === undefined || !Module['asm'] || Module['asm'][entry] !== Module['_main']) return;
    QMExit.armed = true;
    Asyncify.asyncPromiseHandlers = {
      resolve: function(status) {
        QMExit.armed = false;
        callUserCallback(function() { exit(status); });
      },
      reject: function(e) {
        QMExit.armed = false;
        handleException(e);  // exit() called by the program itself lands here, quietly
      },
    };
  },
});
