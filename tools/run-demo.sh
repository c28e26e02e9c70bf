#!/usr/bin/env bash
# Builds and runs the demo. With a display it opens a window; without one it
# runs a bounded number of frames under Xvfb and saves a screenshot of the
# last frame (its path is printed). Extra arguments go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=demo

tools/install-deps.sh demo
# The tests are not needed here (nor GoogleTest); tools/run-tests.sh turns them
# on in the same build folder and reuses the library built here.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAR_BUILD_TESTS=OFF \
      -DQUILLMAR_BUILD_WINDOW_TESTS=OFF -DQUILLMAR_BUILD_EXAMPLES=ON >/dev/null
cmake --build build -j"$(nproc)" --target "$demo"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "build/examples/$demo" "$@"
fi
mkdir -p out
echo "No display: running headless under Xvfb."
# Multisampling in Xvfb's software renderer costs most of the frame rate; the
# demo's lines are smoothed anyway. The script (QUILLMAR_HEADLESS=1) plays.
exec tools/with-display.sh "build/examples/$demo" --frames 300 --samples 0 \
     --screenshot "$PWD/out/$demo.png" "$@"
