#!/usr/bin/env bash
# Installs the Debian 12 packages one purpose needs, if any is missing; safe to
# run again (it does nothing when everything is there).
#   tools/install-deps.sh build   the library alone
#   tools/install-deps.sh demo    the library, the examples and a headless X server
#   tools/install-deps.sh test    the above, GoogleTest and XTest for the tests, clang for
#                                 the strict game build and the image fuzz ring (libFuzzer)
#   tools/install-deps.sh bench   the demo's set, Google Benchmark, GLM, valgrind, and the
#                                 2D benchmarks' peers (SFML 2.5, SDL2, SDL2_ttf)
#   tools/install-deps.sh windows the MinGW-w64 cross build and Wine (run-windows-tests.sh)
#   tools/install-deps.sh web     emscripten, node and headless Chromium (run-web-tests.sh)
set -euo pipefail

# GLFW 3's native header includes Xrandr's, which libglfw3-dev does not pull in.
# stb's header-only writer encodes screenshots; libspng, libjpeg-turbo and
# giflib (with zlib) read images. FreeType reads and rasterises fonts,
# HarfBuzz shapes their text.
build=(build-essential cmake pkg-config
       libglfw3-dev libgl-dev libglu1-mesa-dev libx11-dev libxrandr-dev libstb-dev
       libspng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev libfreetype-dev libharfbuzz-dev)
# The fonts the tests draw with (Latin and Arabic, Devanagari); the demo's HUD
# uses DejaVu when it is there.
fonts=(fonts-dejavu-core fonts-lohit-deva)
# Xvfb with Mesa's software renderer, and xdpyinfo to tell whether a display answers.
display=(xvfb x11-utils libgl1-mesa-dri libglx-mesa0)

packages=()
for purpose in "${@:-test}"; do
  case "$purpose" in
    build) packages+=("${build[@]}") ;;
    demo)  packages+=("${build[@]}" "${display[@]}" fonts-dejavu-core) ;;
    # clang-14 builds the fuzz rings; Cantarell gives their seeds a font of
    # PostScript (CFF) outlines, DejaVu's extra faces an italic and a MATH table.
    test)  packages+=("${build[@]}" "${display[@]}" "${fonts[@]}" googletest libgtest-dev libgmock-dev libxtst-dev
                     clang-14 libclang-rt-14-dev fonts-cantarell fonts-dejavu-extra) ;;
    bench) packages+=("${build[@]}" "${display[@]}" fonts-dejavu-core libxtst-dev libbenchmark-dev libglm-dev
                      valgrind python3 libsfml-dev libsdl2-dev libsdl2-ttf-dev) ;;
    # dpkg-dev unpacks Debian's sources for the libraries built for Windows
    # and the web (tools/build-deps.sh); nasm assembles libjpeg-turbo's SIMD code.
    windows) packages+=(cmake make gcc libc6-dev dpkg-dev nasm
                        g++-mingw-w64-x86-64-posix mingw-w64-tools googletest libstb-dev
                        wine64 libgl1 libgl1-mesa-dri libxrandr2 libxi6 libxcursor1 libxinerama1
                        libxcomposite1 xvfb xauth x11-utils libx11-dev libxtst-dev) ;;
    # Debian's emscripten (3.1.6) brings its own clang, lld, binaryen and a
    # built system library; stb's header for screenshots; node runs the unit
    # tests; Chromium shows the pages, python3 drives it (standard library only);
    # the pages' fonts (the demo's HUD, the font probe) are packed from Debian's.
    web) packages+=(cmake make dpkg-dev emscripten nodejs libstb-dev chromium python3 gzip "${fonts[@]}") ;;
    *) echo "install-deps.sh: unknown purpose '$purpose' (build, demo, test, bench, windows, web)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "Installed ${#missing[@]} packages in $SECONDS s"
