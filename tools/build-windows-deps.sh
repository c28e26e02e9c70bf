#!/usr/bin/env bash
# Builds the library Quillmar needs on Windows beside the system's own, GLFW 3,
# as a static MinGW-w64 library from Debian's own source package. Prints the
# install prefix on its last line of output.
# The result is cached: $QUILLMAR_CACHE, else ~/.cache/quillmar.
#
# The source is fetched through a private apt configuration (its own deb-src
# list, package lists and cache in a temporary folder), so the machine's apt
# set-up is left as it is. The mirror is the one the machine already uses.
# Needs: dpkg-dev, cmake, make, MinGW-w64 (see tools/run-windows-tests.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${QUILLMAR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmar}"
prefix="$cache/windows-deps-mingw-w64"
compiler="$(x86_64-w64-mingw32-gcc-posix --version | head -1)"

if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$compiler" ] &&
   [ -f "$prefix/lib/libglfw3.a" ]; then
  echo "$prefix"
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The machine's Debian mirror and release, as apt itself reports them.
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
mirror="$(apt-cache policy | awk -v s="$codename/main" '$3 == s && $NF == "Packages" { print $2; exit }')"
if [ -z "$mirror" ]; then
  echo "build-windows-deps: no apt source for $codename/main found" >&2
  exit 1
fi
echo "build-windows-deps: sources from $mirror ($codename)" >&2

mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts" "$work/src"
echo "deb-src $mirror $codename main" > "$work/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/parts"
             -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
             -o "Acquire::Languages=none" -o "APT::Sandbox::User=root")
apt-get "${apt_private[@]}" -qq update >&2
(cd "$work/src" && apt-get "${apt_private[@]}" -qq source glfw3 >&2)
rm -rf "$prefix"
build() {  # build NAME-GLOB [CMAKE OPTION...]
  local dir
  dir="$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$1" | head -1)"
  [ -n "$dir" ] || { echo "build-windows-deps: no source for $1 unpacked" >&2; exit 1; }
  shift
  cmake -S "$dir" -B "$dir/build-mingw" \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DQUILLMAR_WINDOWS_DEPS="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >&2
  cmake --build "$dir/build-mingw" -j"$(nproc)" >&2
  cmake --install "$dir/build-mingw" >&2
}
build 'glfw3-*' -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF \
      -DGLFW_BUILD_DOCS=OFF
echo "$compiler" > "$prefix/.built"
echo "$prefix"
