#!/usr/bin/env bash
# Builds the demo for a web page (build-web/examples/demo.html, .js, .wasm),
# serves it on 127.0.0.1 and prints the address to open. Without a display it
# runs the page in headless Chromium instead: the demo's scripted run, with
# its screenshot saved under out/ (the path is printed). Extra arguments go to
# the demo, through the page's address.
#   PORT=8080 tools/run-web-demo.sh          # a fixed port (default: any free one)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh web
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQUILLMAR_BUILD_EXAMPLES=ON >/dev/null
cmake --build build-web -j"$(nproc)" --target demo
args=$(printf '%s+' "$@")
args=${args%+}
if [ -n "${DISPLAY:-}" ] && [ -z "${QUILLMAR_HEADLESS:-}" ]; then
  exec /usr/bin/python3 tools/web/serve_demo.py build-web/examples "demo.html${args:+?args=$args}" \
       --port "${PORT:-0}"
fi
echo "No display: running the page in headless Chromium."
mkdir -p out
exec /usr/bin/python3 tools/web/serve_demo.py build-web/examples \
     "demo.html?args=--scripted+--frames+300+--samples+0+--screenshot+/demo.png${args:++$args}" \
     --port "${PORT:-0}" --headless out
