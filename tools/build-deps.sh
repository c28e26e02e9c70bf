#!/usr/bin/env bash
# Builds the libraries Quillmar needs beside the system's own, for Windows, for
# the web or for the fuzz ring, as static libraries from Debian's own source
# packages:
#   tools/build-deps.sh windows   GLFW 3 and the image decoders, MinGW-w64
#   tools/build-deps.sh web       the image decoders, Emscripten (emcc)
#   tools/build-deps.sh fuzz      the image decoders for Linux with clang-14's
#                                 libFuzzer coverage, AddressSanitizer and UBSan
#                                 (tools/fuzz-images.sh --instrumented)
# The image decoders are zlib, libspng, libjpeg-turbo and giflib, the ones
# Debian's packages give the Linux build. Prints the install prefix on its
# last line of output. The result is cached: $QUILLMAR_CACHE, else
# ~/.cache/quillmar, in a folder named after the set of libraries (a build
# of another set, say an older checkout's, keeps its own folder); a change of
# compiler rebuilds it. It is built aside and moved into place when
# complete, so a build that runs meanwhile never sees half of it.
#
# The sources are fetched through a private apt configuration (its own
# deb-src list, package lists and cache in a temporary folder), so the
# machine's apt set-up is left as it is. The mirror and suites are the ones
# the machine already uses, its security updates included.
# Needs: dpkg-dev, cmake, make, and MinGW-w64 and nasm (windows), emscripten
# (web) or clang-14 (fuzz): tools/install-deps.sh windows, web, or test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/tools/debian-sources.sh"
cache="${QUILLMAR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmar}"
platform="${1:-}"
# The set of libraries and how they are built: bumped whenever either changes.
set_version=2
case "$platform" in
  windows)
    prefix="$cache/windows-deps-$set_version-mingw-w64"
    packages=(glfw3 zlib libspng libjpeg-turbo giflib)
    cc=x86_64-w64-mingw32-gcc-posix
    ar=x86_64-w64-mingw32-ar
    cflags=(-O2 -DNDEBUG)
    compiler="$($cc --version | sed -n 1p)"
    ;;
  web)
    prefix="$cache/web-deps-$set_version-emscripten"
    packages=(zlib libspng libjpeg-turbo giflib)
    cc=emcc
    ar=emar
    cflags=(-O2 -DNDEBUG)
    # emcc's JavaScript optimizer (CMake's test programs) needs Debian's acorn.
    export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
    compiler="$(emcc --version | sed -n 1p)"
    ;;
  fuzz)
    prefix="$cache/fuzz-deps-$set_version-clang-14"
    packages=(zlib libspng libjpeg-turbo giflib)
    cc=clang-14
    ar=ar
    # The libraries' own assertions stay on.
    cflags=(-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
            -fno-omit-frame-pointer)
    compiler="$(clang-14 --version | sed -n 1p)"
    ;;
  *) echo "usage: tools/build-deps.sh windows|web|fuzz" >&2; exit 2 ;;
esac
stamp="$set_version ${packages[*]}; $compiler"
libs=(libz.a libspng.a libjpeg.a libgif.a)
[ "$platform" = windows ] && libs+=(libglfw3.a)

cached=1
[ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$stamp" ] || cached=0
for lib in "${libs[@]}"; do [ -f "$prefix/lib/$lib" ] || cached=0; done
if [ $cached = 1 ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
work="$(mktemp -d "$cache/build-deps.XXXXXX")"
trap 'rm -rf "$work"' EXIT
final="$prefix"
prefix="$work/prefix"

debian_sources build-deps "$work" "${packages[@]}"
echo "build-deps: building $(cd "$work/src" && ls ./*.dsc | sed 's|^\./||; s|\.dsc$||' | tr '\n' ' ')" >&2
mkdir -p "$prefix/include" "$prefix/lib"

cmake_build() {  # cmake_build SOURCE-DIR TARGET|"" [CMAKE OPTION...]: builds (and installs, with no target)
  local dir=$1 target=$2
  shift 2
  local configure=(cmake) type=Release
  case "$platform" in
    windows) set -- -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
                    -DQUILLMAR_WINDOWS_DEPS="$prefix" "$@" ;;
    web) configure=(emcmake cmake) ;;
    fuzz) type=None
          set -- -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="${cflags[*]}" "$@" ;;
  esac
  "${configure[@]}" -S "$dir" -B "$dir/build-$platform" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_BUILD_TYPE=$type -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >&2
  if [ -n "$target" ]; then
    cmake --build "$dir/build-$platform" --target "$target" -j"$(nproc)" >&2
  else
    cmake --build "$dir/build-$platform" -j"$(nproc)" >&2
    cmake --install "$dir/build-$platform" >&2
  fi
}
archive() {  # archive LIB DIR [FLAG...] -- SOURCE...: compiles the C files into $prefix/lib/LIB
  local lib=$1 dir=$2 flags=() objects=() file object
  shift 2
  while [ "$1" != -- ]; do flags+=("$1"); shift; done
  shift
  mkdir -p "$dir/build-$platform"
  for file in "$@"; do
    object="$dir/build-$platform/$(basename "$file" .c).o"
    (cd "$dir" && "$cc" "${cflags[@]}" -I"$prefix/include" "${flags[@]}" -c "$file" -o "$object") >&2
    objects+=("$object")
  done
  rm -f "$prefix/lib/$lib"
  "$ar" rcs "$prefix/lib/$lib" "${objects[@]}"
}

if [ "$platform" = windows ]; then
  cmake_build "$(source_dir build-deps "$work" 'glfw3-*')" "" -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF \
      -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
fi

# zlib: the library's C files alone (its own build would add a DLL on Windows).
src="$(source_dir build-deps "$work" 'zlib-*')"
zlib_flags=()
[ "$platform" != windows ] && zlib_flags+=(-DHAVE_UNISTD_H)
archive libz.a "$src" "${zlib_flags[@]}" -- adler32.c compress.c crc32.c deflate.c gzclose.c \
    gzlib.c gzread.c gzwrite.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c
cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"

# libspng: one C file over zlib. SPNG_STATIC: on Windows its header would
# otherwise declare the functions as imported from a DLL (the library's
# CMake defines it too when it links this archive).
src="$(source_dir build-deps "$work" 'libspng-*')"
spng_flags=(-DSPNG_STATIC)
# Its SIMD filters are x86 or ARM code: on the web it says so and uses C.
[ "$platform" = web ] && spng_flags+=(-DSPNG_DISABLE_OPT)
archive libspng.a "$src" "${spng_flags[@]}" -- spng/spng.c
cp "$src/spng/spng.h" "$prefix/include/"

# libjpeg-turbo: the static library alone (no tools, no TurboJPEG API), with
# the libjpeg 6.2 interface Debian's libjpeg62-turbo gives the Linux build.
# Its SIMD code is assembled with nasm on Windows (a small package, and
# decoding two to four times faster; upstream fuzzes it as built here); the
# web has no x86 code, so its C code is used there, and the fuzz build uses
# it too, so that every line the decoder runs is instrumented.
src="$(source_dir build-deps "$work" 'libjpeg-turbo-*')"
# Emscripten's CMake answers its type-size checks wrongly (9 bytes): wasm32's are given.
case "$platform" in
  windows) jpeg_options=(-DWITH_SIMD=ON -DREQUIRE_SIMD=ON) ;;
  web) jpeg_options=(-DWITH_SIMD=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE
                     -DUNSIGNED_LONG=4) ;;
  fuzz) jpeg_options=(-DWITH_SIMD=OFF) ;;
esac
cmake_build "$src" jpeg-static -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    "${jpeg_options[@]}"
cp "$src/build-$platform/libjpeg.a" "$prefix/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$src/build-$platform/jconfig.h" \
   "$prefix/include/"

# giflib: its library's C files (its Makefile builds for the host only).
src="$(source_dir build-deps "$work" 'giflib-*')"
archive libgif.a "$src" -- dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c \
    openbsd-reallocarray.c
cp "$src/gif_lib.h" "$prefix/include/"

echo "$stamp" > "$prefix/.built"
rm -rf "$final"
# A build that ran at the same time may have moved its own in first.
mv -T "$prefix" "$final" 2>/dev/null || [ -f "$final/.built" ]
echo "$final"
