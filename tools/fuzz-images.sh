#!/usr/bin/env bash
# The image readers (image/) under libFuzzer, AddressSanitizer and UBSan:
# every file of tests/fuzz/images once (valid seeds, and the crafted files of
# faults found before), then a seeded run that grows from them, bounded in
# time and inputs. Any crash, leak, sanitizer report, single allocation over
# 320 MB or input taking over 5 s fails it; libFuzzer then writes the input
# to build-fuzz/ (copy it into tests/fuzz/images as crash-NAME).
#   tools/fuzz-images.sh [--instrumented] [SECONDS [INPUTS [SEED]]]    (defaults: 60, 100000, 1)
# --instrumented: the decoders themselves (zlib, libspng, libjpeg-turbo,
# giflib) are built from Debian's sources with the same sanitizers and
# libFuzzer's coverage (tools/build-deps.sh fuzz, cached), so the run also
# sees faults inside them and steers by their branches; without it they are
# Debian's own packages, uninstrumented, as a game on Linux gets them.
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
out=build-fuzz
mkdir -p "$out"
if [ $instrumented = 1 ]; then
  deps="$(tools/build-deps.sh fuzz | tail -1)"
  decoders=(-I"$deps/include" "$deps"/lib/{libspng,libjpeg,libgif,libz}.a)
  fuzzer="$out/image_fuzz_instrumented"
else
  read -r -a decoders <<< "$(pkg-config --cflags --libs spng libjpeg libgif zlib)"
  fuzzer="$out/image_fuzz"
fi
clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I. -Iinclude image/*.cpp tests/fuzz/image_fuzz.cpp "${decoders[@]}" -o "$fuzzer"
limits=(-timeout=5 -malloc_limit_mb=320 -rss_limit_mb=2048 -max_len=65536)
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== every file of tests/fuzz/images once"
"$fuzzer" "${limits[@]}" -artifact_prefix="$out/" tests/fuzz/images/* 2>"$out/replay.log" ||
  { tail -n 40 "$out/replay.log"; exit 1; }
echo "== $inputs inputs or $seconds s, seed $seed"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/images/* "$corpus/"
"$fuzzer" "${limits[@]}" -artifact_prefix="$out/" -seed="$seed" -runs="$inputs" \
  -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>"$out/fuzz.log" ||
  { tail -n 60 "$out/fuzz.log"; exit 1; }
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$out/fuzz.log" | grep -oE '[0-9]+$')
echo "image fuzz: ${runs:-?} inputs, $(ls "$corpus" | wc -l) in the grown corpus, no fault: 1 passed, 0 failed"
