// Runs before the program's own start-up (--pre-js). Emscripten's GL
// emulation greets every page with warnings about itself on the error
// stream, which a game's console shows as errors; the console is the game's
// own, so those lines (and only those) are dropped.
(function() {
  var printErr = Module['printErr'];
  Module['printErr'] = function(text) {
    if (typeof text === 'string' && text.indexOf('WARNING: using emscripten GL ') === 0) return;
    if (printErr) printErr(text);
    else console.warn(text);
  };
})();
