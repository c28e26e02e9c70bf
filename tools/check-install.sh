#!/usr/bin/env bash
# Installs the library from a build tree into a scratch prefix, then builds and
# runs a small game (it calls GL itself beside the library) three ways: through
# the CMake package with only Quillmar::Quillmar linked, through pkg-config
# alone, and with the source tree added by add_subdirectory, which must build
# the library and nothing else. The README's native-access example (it calls
# GLFW 3 itself) is built through Quillmar::Native and through pkg-config, and
# with add_subdirectory; it opens a window, so it is linked, not run. So is the
# README's sprite example.
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/.."
src=$PWD
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
lib=$(find "$prefix" -name 'libQuillmar.so.1.0.0.1' | head -n1)
[ -n "$lib" ] || { echo "libQuillmar.so.1.0.0.1 not installed"; exit 1; }
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libQuillmar.so.1" ] || { echo "unexpected soname '$soname'"; exit 1; }
libdir=$(dirname "$lib")

echo "-- find_package(Quillmar), linking Quillmar::Quillmar only"
cmake -S tests/consumer -B "$scratch/cmake-consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/cmake-consumer" >/dev/null
# CMake puts the imported library's folder in the build tree's rpath.
"$scratch/cmake-consumer/consumer"

echo "-- pkg-config --cflags --libs quillmar"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
c++ -std=c++17 tests/consumer/main.cpp -o "$scratch/pc-consumer" \
    $(pkg-config --cflags --libs quillmar)
LD_LIBRARY_PATH="$libdir" "$scratch/pc-consumer"

echo "-- the README's native-access example: Quillmar::Native, and pkg-config quillmar glfw3"
# The README quotes the example whole: the two must not drift apart.
awk '/^### Native access/ {on = 1} on && /^```cpp$/ {code = 1; next} code && /^```$/ {exit}
     code {print}' README.md | diff - tests/consumer/native/main.cpp \
  || { echo "README's native-access example differs from tests/consumer/native/main.cpp"; exit 1; }
cmake -S tests/consumer/native -B "$scratch/native" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/native" >/dev/null
c++ -std=c++17 tests/consumer/native/main.cpp -o "$scratch/pc-native" \
    $(pkg-config --cflags --libs quillmar glfw3)

echo "-- the README's sprite example, through pkg-config"
awk '/^### Sprites, textures/ {on = 1} on && /^```cpp$/ {code = 1; next} code && /^```$/ {exit}
     code {print}' README.md > "$scratch/sprites.cpp"
grep -q DrawSprite "$scratch/sprites.cpp" || { echo "README's sprite example not found"; exit 1; }
c++ -std=c++17 -Wall -Wextra -Werror "$scratch/sprites.cpp" -o "$scratch/pc-sprites" \
    $(pkg-config --cflags --libs quillmar)

echo "-- add_subdirectory(quillmar)"
cmake -S tests/consumer/subdir -B "$scratch/subdir" -DQUILLMAR_SOURCE_DIR="$src" >/dev/null
targets=$(cmake --build "$scratch/subdir" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
extra=$(echo "$targets" | grep -E '^(qm_|soak|demo|clear_window|bench_|gtest|gmock)' || true)
[ -z "$extra" ] || { echo "add_subdirectory defines test or example targets:"; echo "$extra"; exit 1; }
cmake --build "$scratch/subdir" -j"$(nproc)" >/dev/null
"$scratch/subdir/consumer"
echo "installed library consumed through CMake and pkg-config; source tree through add_subdirectory"
