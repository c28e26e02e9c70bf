#!/usr/bin/env bash
# The web build and its tests (the README's web section):
#   1. the library, the examples, the unit tests and the page probes built
#      with Debian's emscripten (build-web/), with the font engine
#      (tools/build-font-deps.sh web, cached as the image decoders are), and
#      installed (out/web-install);
#   2. the unit ring under node;
#   3. the Linux demo's scripted run under Xvfb, for comparison;
#   4. the README's web recipe run as printed (tools/web/run-readme-recipe.sh):
#      the library installed in /opt/quillmar-web, a game with asset folders
#      built against it;
#   5. in headless Chromium, served on 127.0.0.1 only and driven over the
#      DevTools protocol (tools/web/run_web_tests.py): the GL probe, the font
#      probe (Latin, Arabic and Devanagari text read back), the input
#      probe, the gamepad probe (a scripted navigator.getGamepads), the
#      recipe's game (its PNG, its exit status, a quiet console), and the
#      demo's scripted run against the Linux one (score, hits, screenshot, and
#      at least half its frame rate), side by side.
# Each step is timed; the last line sums every step's "N passed, N failed".
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh demo web
# emcc's JavaScript optimizer needs Debian's acorn, which a node other than
# Debian's own does not find by itself.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p out
jobs=$(nproc)
passed=0
failed=0
t0=$SECONDS
step() { echo "== $1 ($((SECONDS - t0)) s)"; }
count() {  # adds a "N passed, N failed" line's numbers to the totals
  local line=$1
  passed=$((passed + $(echo "$line" | sed -E 's/.*\b([0-9]+) passed.*/\1/')))
  failed=$((failed + $(echo "$line" | sed -E 's/.*\b([0-9]+) failed.*/\1/')))
}

step "web build (emscripten $(emcc --version | sed -n 1p | grep -oE '[0-9]+\.[0-9]+\.[0-9]+'))"
font_deps=$(tools/build-font-deps.sh web | tail -n 1)
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQUILLMAR_BUILD_TESTS=ON \
      -DQUILLMAR_BUILD_EXAMPLES=ON -DQUILLMAR_FONT_DEPS="$font_deps" >/dev/null
cmake --build build-web -j"$jobs"
rm -rf out/web-install
cmake --install build-web --prefix "$PWD/out/web-install" >/dev/null
for f in lib/libQuillmar.a include/Quillmar/Quillmar.h share/Quillmar/shell.html \
         share/Quillmar/library_quillmar_gl.js share/Quillmar/library_quillmar_page.js \
         share/Quillmar/pre_quillmar.js lib/cmake/Quillmar/QuillmarWeb.cmake; do
  [ -f "out/web-install/$f" ] || { echo "web install: $f missing"; exit 1; }
done
# A game built against the installed tree through the CMake package, run
# under node (no window: its GL calls draw nothing and must not fail).
rm -rf build-web-consumer
emcmake cmake -S tests/consumer -B build-web-consumer -DCMAKE_BUILD_TYPE=Release \
      -DQuillmar_DIR="$PWD/out/web-install/lib/cmake/Quillmar" >/dev/null
cmake --build build-web-consumer >/dev/null
consumer=$(cd build-web-consumer && node --no-experimental-fetch consumer.js 2>&1) || true
if echo "$consumer" | grep -q '^consumer: ok'; then
  echo "installed tree: a game built and ran: 1 passed, 0 failed"; count "1 passed, 0 failed"
else
  echo "$consumer"; echo "installed tree: a game built and ran: 0 passed, 1 failed"; count "0 passed, 1 failed"
fi
# The same game through pkg-config alone (the README's em++ line).
rm -rf build-web-consumer-pc && mkdir -p build-web-consumer-pc
em++ -O2 tests/consumer/main.cpp -o build-web-consumer-pc/consumer.js \
  $(PKG_CONFIG_PATH="$PWD/out/web-install/lib/pkgconfig" pkg-config --cflags --libs quillmar) || true
consumer=$(cd build-web-consumer-pc && node --no-experimental-fetch consumer.js 2>&1) || true
if echo "$consumer" | grep -q '^consumer: ok'; then
  echo "installed tree: a game built through pkg-config and ran: 1 passed, 0 failed"; count "1 passed, 0 failed"
else
  echo "$consumer"; echo "installed tree: a game built through pkg-config and ran: 0 passed, 1 failed"; count "0 passed, 1 failed"
fi
for f in demo.wasm demo.js demo.data; do
  echo "size: $f $(stat -c %s "build-web/examples/$f") bytes, $(gzip -9c "build-web/examples/$f" | wc -c) gzipped"
done

step "unit tests under node"
unit_passed=0
unit_failed=0
for exe in build-web/tests/qm_unit_*.js build-web/tests/qm_demo_logic.js; do
  log=$(cd "$(dirname "$exe")" && node --no-experimental-fetch "$(basename "$exe")" 2>&1) || true
  p=$(echo "$log" | grep -oE '^\[  PASSED  \] [0-9]+' | grep -oE '[0-9]+$' || echo 0)
  f=$(echo "$log" | grep -oE '^\[  FAILED  \] [0-9]+ test' | grep -oE '[0-9]+' || echo 0)
  # A program that ended without its summary counts as one failure.
  echo "$log" | grep -q '^\[==========\] [0-9]* tests\? from .* ran' || f=$((f + 1))
  echo "$log" | grep '^\[  FAILED  \] [A-Za-z]' || true
  echo "  $(basename "$exe"): $p passed, $f failed"
  unit_passed=$((unit_passed + p))
  unit_failed=$((unit_failed + f))
done
echo "unit (node): $unit_passed passed, $unit_failed failed"
count "$unit_passed passed, $unit_failed failed"

step "Linux demo under Xvfb (scripted, 300 frames, 1280x720), for comparison"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAR_BUILD_TESTS=OFF \
      -DQUILLMAR_BUILD_WINDOW_TESTS=OFF -DQUILLMAR_BUILD_EXAMPLES=ON >/dev/null
cmake --build build -j"$jobs" --target demo
# Timed from the program's start to its end, as the page's run is.
tools/with-display.sh bash -c 'start=$(date +%s%N)
  build/examples/demo --scripted --frames 300 --samples 0 --no-vsync --screenshot "$PWD/out/linux-demo.png"
  echo "run took $(( ($(date +%s%N) - start) / 1000000 )) ms"' | tee out/linux-demo.log

step "the README's web recipe as printed (a game with assets, installed in /opt/quillmar-web)"
set +e
tools/web/run-readme-recipe.sh out/readme-recipe | tee out/readme-recipe.log
set -e
line=$(grep -E '^readme recipe: [0-9]+ passed, [0-9]+ failed' out/readme-recipe.log || echo "0 passed, 1 failed")
count "$line"

step "headless Chromium: GL probe, font probe, input probe, gamepad probe, the recipe's game, demo"
set +e
/usr/bin/python3 tools/web/run_web_tests.py build-web out --game out/readme-recipe/game-web \
  --linux-demo-log out/linux-demo.log --linux-shot out/linux-demo.png | tee out/web-tests.log
set -e
line=$(grep -E '^web page tests: [0-9]+ passed, [0-9]+ failed' out/web-tests.log || echo "0 passed, 1 failed")
count "$line"

step "done"
echo "web: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
