#!/usr/bin/env bash
# Installs the library from a build tree into a scratch prefix, then builds and
# runs a small game against it twice: through the CMake package and through
# pkg-config.
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
lib=$(find "$prefix" -name 'libQuillmar.so.1.0.0.1' | head -n1)
[ -n "$lib" ] || { echo "libQuillmar.so.1.0.0.1 not installed"; exit 1; }
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libQuillmar.so.1" ] || { echo "unexpected soname '$soname'"; exit 1; }
libdir=$(dirname "$lib")

cmake -S tests/consumer -B "$prefix/cmake-consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/cmake-consumer" >/dev/null
LD_LIBRARY_PATH="$libdir" "$prefix/cmake-consumer/consumer"

PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --exists quillmar
c++ -std=c++17 tests/consumer/main.cpp -o "$prefix/pc-consumer" \
    $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs quillmar)
LD_LIBRARY_PATH="$libdir" "$prefix/pc-consumer"
echo "installed library consumed through CMake and pkg-config"
