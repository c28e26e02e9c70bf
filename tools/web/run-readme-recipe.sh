#!/usr/bin/env bash
# The README's web recipe ("Building a game for the web"), run exactly as the
# README prints it, in WORK_DIR beside two folders it names: quillmar (this
# source tree) and game (tests/web/game: a game with asset folders that loads
# a PNG). It installs into the README's prefix. Then checks what it made:
# the page's files, the asset package, the font engine inside the installed
# libQuillmar.a, and a library-only web build (no tests or examples by
# default). Prints "readme recipe: N passed, N failed"; the
# page itself runs in tools/web/run_web_tests.py (--game WORK_DIR/game-web).
#   tools/web/run-readme-recipe.sh WORK_DIR
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=${1:?usage: run-readme-recipe.sh WORK_DIR}
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
ln -s "$repo" "$work/quillmar"
cp -r "$repo/tests/web/game" "$work/game"
# The first sh block after the section's heading, as printed.
awk '/^### Building a game for the web/ { section = 1 }
     section && /^```sh$/ { block = 1; next }
     block && /^```$/ { exit }
     block' "$repo/README.md" > "$work/recipe.sh"
passed=0
failed=0
check() {  # what, then a command that must succeed
  local what=$1
  shift
  if "$@"; then echo "PASS $what"; passed=$((passed + 1)); else echo "FAIL $what"; failed=$((failed + 1)); fi
}
check "README prints a web recipe" test -s "$work/recipe.sh"
sed 's/^/  $ /' "$work/recipe.sh"
(cd "$work" && bash -eo pipefail recipe.sh) > "$work/recipe.log" 2>&1
rc=$?
check "the recipe runs as printed (log: $work/recipe.log)" test "$rc" -eq 0
[ "$rc" -eq 0 ] || tail -20 "$work/recipe.log"
for f in game.html game.js game.wasm game.data; do
  check "game-web/$f made" test -s "$work/game-web/$f"
done
# The asset folders are in the package under their own names.
check "game.data holds assets/ship.png, levels/one.txt and fonts/DejaVuSans.ttf" \
  bash -c "grep -q '\"/assets/ship.png\"' '$work/game-web/game.js' && grep -q '\"/levels/one.txt\"' '$work/game-web/game.js' &&
           grep -q '\"/fonts/DejaVuSans.ttf\"' '$work/game-web/game.js'"
# FreeType and HarfBuzz came with the library's first configure, inside it.
check "the installed libQuillmar.a holds FreeType and HarfBuzz" \
  bash -c "emnm '/opt/quillmar-web/lib/libQuillmar.a' 2>/dev/null > '$work/nm.txt';
           grep -q ' T FT_Init_FreeType$' '$work/nm.txt' && grep -q ' T hb_shape$' '$work/nm.txt'"
check "the library's web build has no tests or examples by default" \
  bash -c "grep -q '^QUILLMAR_BUILD_TESTS:BOOL=OFF' '$work/build-web/CMakeCache.txt' &&
           grep -q '^QUILLMAR_BUILD_EXAMPLES:BOOL=OFF' '$work/build-web/CMakeCache.txt' &&
           ! test -e '$work/build-web/tests' && ! test -e '$work/build-web/examples'"
echo "readme recipe: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
