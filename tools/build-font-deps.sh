#!/usr/bin/env bash
# Builds the font engine for Windows or the web, as static libraries from
# Debian's own source packages: FreeType (its CMake build, without the
# optional zlib, bzip2, PNG, Brotli and HarfBuzz links) and HarfBuzz (its
# single amalgamated source, src/harfbuzz.cc, over its own OpenType code).
#   tools/build-font-deps.sh windows   MinGW-w64
#   tools/build-font-deps.sh web       Emscripten (emcc)
#   tools/build-font-deps.sh fuzz      Linux, clang-14 with libFuzzer's coverage,
#                                      AddressSanitizer and UBSan
#                                      (tools/fuzz-fonts.sh --instrumented)
# Prints the install prefix on its last line; configure Quillmar with
# -DQUILLMAR_FONT_DEPS=<prefix> to draw fonts in that build. The result is
# cached in $QUILLMAR_CACHE (else ~/.cache/quillmar), in a folder named after
# the set; a change of compiler rebuilds it. It is built aside and moved into
# place when complete.
#
# The sources are fetched through a private apt configuration (its own
# deb-src list, package lists and cache in a temporary folder), so the
# machine's apt set-up is left as it is; the mirror and suites are the ones
# the machine uses. Needs dpkg-dev, cmake, make, and MinGW-w64 (windows) or
# emscripten (web) or clang-14 (fuzz): tools/install-deps.sh windows, web, or test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/tools/debian-sources.sh"
cache="${QUILLMAR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmar}"
platform="${1:-}"
set_version=2  # bumped whenever the set or the way it is built changes
build_type=Release
hb_flags=(-O2 -DNDEBUG)
case "$platform" in
  windows)
    cxx=x86_64-w64-mingw32-g++-posix
    ar=x86_64-w64-mingw32-ar
    configure=(cmake -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake")
    ;;
  web)
    cxx=em++
    ar=emar
    configure=(emcmake cmake)
    # emcc's JavaScript optimizer (CMake's test programs) needs Debian's acorn.
    export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
    ;;
  fuzz)
    cxx=clang++-14
    ar=ar
    # The libraries' own assertions stay on.
    flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    configure=(cmake -DCMAKE_C_COMPILER=clang-14 -DCMAKE_C_FLAGS="$flags")
    build_type=None
    read -r -a hb_flags <<< "$flags"
    ;;
  *) echo "usage: tools/build-font-deps.sh windows|web|fuzz" >&2; exit 2 ;;
esac
prefix="$cache/font-deps-$set_version-$platform"
stamp="$set_version freetype harfbuzz; $($cxx --version | sed -n 1p)"
if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$stamp" ] &&
   [ -f "$prefix/lib/libfreetype.a" ] && [ -f "$prefix/lib/libharfbuzz.a" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
work="$(mktemp -d "$cache/build-font-deps.XXXXXX")"
trap 'rm -rf "$work"' EXIT
final="$prefix"
prefix="$work/prefix"

debian_sources build-font-deps "$work" freetype harfbuzz
mkdir -p "$prefix/include/harfbuzz" "$prefix/lib"

src="$(source_dir build-font-deps "$work" 'freetype-*')"
# No gzip support at all: with the system zlib off, FreeType would compile its
# own copy of zlib into ftgzip.c, whose symbols clash with the zlib the image
# decoders link (TrueType and OpenType files are never gzipped).
sed -i 's|^#define FT_CONFIG_OPTION_USE_ZLIB|/* #undef FT_CONFIG_OPTION_USE_ZLIB */|' \
    "$src/include/freetype/config/ftoption.h"
grep -q '^#define FT_CONFIG_OPTION_USE_ZLIB' "$src/include/freetype/config/ftoption.h" &&
  { echo "build-font-deps: could not turn FreeType's gzip support off" >&2; exit 1; }
"${configure[@]}" -S "$src" -B "$src/build-$platform" -DCMAKE_BUILD_TYPE=$build_type \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=TRUE \
    -DFT_DISABLE_BZIP2=TRUE -DFT_DISABLE_PNG=TRUE -DFT_DISABLE_HARFBUZZ=TRUE \
    -DFT_DISABLE_BROTLI=TRUE >&2
cmake --build "$src/build-$platform" -j"$(nproc)" >&2
cmake --install "$src/build-$platform" >&2

src="$(source_dir build-font-deps "$work" 'harfbuzz-*')"
"$cxx" -std=c++11 "${hb_flags[@]}" -fno-exceptions -fno-rtti -fno-threadsafe-statics \
    -c "$src/src/harfbuzz.cc" -o "$work/harfbuzz.o" >&2
"$ar" rcs "$prefix/lib/libharfbuzz.a" "$work/harfbuzz.o"
cp "$src"/src/hb.h "$src"/src/hb-*.h "$prefix/include/harfbuzz/"

echo "$stamp" > "$prefix/.built"
rm -rf "$final"
mv "$prefix" "$final"
echo "$final"
