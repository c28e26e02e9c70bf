#!/usr/bin/env bash
# Fonts (draw2d/Font.cpp over FreeType and HarfBuzz) under libFuzzer,
# AddressSanitizer and UBSan: each input is loaded as a font file and, when
# it loads, measured and drawn in several scripts and sizes, its glyphs
# rasterised into the atlas (tests/fuzz/font_fuzz.cpp, against the unit
# tests' fakes of the window and GL). First every file once: the seeds,
# small fonts cut from Debian's DejaVu, Lohit Devanagari and Cantarell at each run
# (tests/fuzz/make_font_seeds.cpp), and the crafted files of faults found
# before (tests/fuzz/fonts); then a seeded run that grows from them, bounded
# in time and inputs. Any crash, leak, sanitizer report, single allocation
# over 320 MB, input taking over 5 s (or, among the files run first, a
# single load, Draw or Measure over 1 s) fails it; libFuzzer then writes the
# input to build-fuzz-fonts*/ (copy it into tests/fuzz/fonts as crash-NAME).
#   tools/fuzz-fonts.sh [--instrumented] [SECONDS [INPUTS [SEED]]]    (defaults: 60, 100000, 1)
# --instrumented: FreeType and HarfBuzz themselves are built from Debian's
# sources with the same sanitizers and libFuzzer's coverage
# (tools/build-font-deps.sh fuzz, cached), so the run also sees faults
# inside them and steers by their branches; without it they are Debian's own
# packages, uninstrumented, as a game on Linux gets them.
set -euo pipefail
cd "$(dirname "$0")/.."
instrumented=0
if [ "${1:-}" = --instrumented ]; then
  instrumented=1
  shift
fi
seconds=${1:-60}
inputs=${2:-100000}
seed=${3:-1}
tools/install-deps.sh test
if [ $instrumented = 1 ]; then
  deps="$(tools/build-font-deps.sh fuzz | tail -1)"
  out=build-fuzz-fonts-instrumented
else
  deps=
  out=build-fuzz-fonts
fi
# The whole library's objects with the sanitizers and coverage; the target
# alone is built.
flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$out" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DQUILLMAR_BUILD_TESTS=ON -DQUILLMAR_BUILD_WINDOW_TESTS=OFF -DQUILLMAR_BUILD_EXAMPLES=OFF \
      -DQUILLMAR_FONT_FUZZ=ON -DQUILLMAR_FONT_DEPS="$deps" >/dev/null
cmake --build "$out" --target qm_font_fuzz -j"$(nproc)" >"$out/build.log" 2>&1 ||
  { tail -n 40 "$out/build.log"; exit 1; }
fuzzer="$out/tests/qm_font_fuzz"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
c++ -std=c++17 -O1 tests/fuzz/make_font_seeds.cpp \
    $(pkg-config --cflags --libs harfbuzz-subset harfbuzz) -o "$out/make_font_seeds"
"$out/make_font_seeds" "$corpus" >/dev/null
if compgen -G "tests/fuzz/fonts/*" >/dev/null; then cp tests/fuzz/fonts/* "$corpus/"; fi

limits=(-timeout=5 -malloc_limit_mb=320 -rss_limit_mb=2048 -max_len=65536)
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== every seed and file of tests/fuzz/fonts once ($(ls "$corpus" | wc -l) files)"
# Known files, so a tighter bound: no load, Draw or Measure of one over 1 s.
FONT_FUZZ_CALL_MS=1000 "$fuzzer" "${limits[@]}" -artifact_prefix="$out/" "$corpus"/* 2>"$out/replay.log" ||
  { tail -n 40 "$out/replay.log"; exit 1; }
echo "== $inputs inputs or $seconds s, seed $seed"
"$fuzzer" "${limits[@]}" -artifact_prefix="$out/" -seed="$seed" -runs="$inputs" \
  -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>"$out/fuzz.log" ||
  { tail -n 60 "$out/fuzz.log"; exit 1; }
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$out/fuzz.log" | grep -oE '[0-9]+$')
cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$out/fuzz.log" | tail -1)
echo "font fuzz: ${runs:-?} inputs, ${cov:-cov ?}, $(ls "$corpus" | wc -l) in the grown corpus, no fault: 1 passed, 0 failed"
