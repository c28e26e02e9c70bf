#!/usr/bin/env bash
# Cross-builds Quillmar for Windows with MinGW-w64 and runs the Windows tests
# under Wine inside a private Xvfb: the unit tests with their fakes, the
# real-window tests, the Windows services and the demo's headless run.
# On Debian 12 (run as root, or with sudo) it installs what it needs itself.
#
# GLFW 3 and the image decoders for Windows, and the Wine prefix, are kept in $QUILLMAR_CACHE
# (default ~/.cache/quillmar), so later runs skip those steps.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QUILLMAR_CACHE="${QUILLMAR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmar}"
step_start=$SECONDS
step() {
  echo "== $1 (previous step: $((SECONDS - step_start)) s)"
  step_start=$SECONDS
}

step "Packages"
tools/install-deps.sh windows

step "GLFW 3 and the image decoders for Windows (from Debian's source packages, cached)"
deps_prefix="$(tools/build-deps.sh windows | tail -1)"
font_deps_prefix="$(tools/build-font-deps.sh windows | tail -1)"

step "Wine prefix"
# wine64 puts nothing on PATH: its programs live in /usr/lib/wine.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="$QUILLMAR_CACHE/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.quillmar-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w
  # Unmanaged windows: with no window manager, hiding and destroying a
  # managed window takes seconds, and keys would need a focus click.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$wineserver" -w
  touch "$WINEPREFIX/.quillmar-ready"
fi

step "Cross build"
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DQUILLMAR_WINDOWS_DEPS="$deps_prefix" -DCMAKE_PREFIX_PATH="$deps_prefix" \
      -DQUILLMAR_FONT_DEPS="$font_deps_prefix" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUILLMAR_BUILD_TESTS=ON -DQUILLMAR_BUILD_WINDOW_TESTS=ON \
      -DQUILLMAR_BUILD_EXAMPLES=ON >/dev/null
# Test discovery runs the programs under Wine: services started first, so
# they do not hold the build's output pipes open.
"$wineserver" -p 30 2>/dev/null || true  # already running is fine
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
cmake --build build-windows -j"$jobs"

step "Tests under Wine (Xvfb)"
# A fresh wineserver for the display of this run, kept alive between tests,
# with its services started before ctest so that none inherits ctest's pipes.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
tools/with-display.sh bash -c '
  "$1" -p
  "$2" wineboot </dev/null >/dev/null 2>&1 || true
  status=0
  ctest --test-dir build-windows -L unit --output-on-failure -j"$3" || status=$?
  ctest --test-dir build-windows -L window --output-on-failure -j1 || status=$?
  # A game built against the installed DLL through the CMake package.
  echo "== A game built against the installed Quillmar.dll"
  cmake --install build-windows --prefix build-windows/install >/dev/null
  cmake -S tests/consumer -B build-windows/consumer -DCMAKE_EXE_LINKER_FLAGS=-static \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DQUILLMAR_WINDOWS_DEPS="$deps_prefix" \
        -DCMAKE_PREFIX_PATH="$PWD/build-windows/install" >/dev/null &&
    cmake --build build-windows/consumer >/dev/null &&
    cp build-windows/install/bin/Quillmar.dll build-windows/consumer/ &&
    "$2" build-windows/consumer/consumer.exe || status=1
  "$1" -k 2>/dev/null || true
  exit $status' bash "$wineserver" "$wine" "$jobs"
step "Done"
