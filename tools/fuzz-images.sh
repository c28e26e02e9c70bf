#!/usr/bin/env bash
# The image readers (image/) under libFuzzer, AddressSanitizer and UBSan:
# every file of tests/fuzz/images once (valid seeds, and the crafted files of
# faults found before), then a seeded run that grows from them, bounded in
# time and inputs. Any crash, leak, sanitizer report, single allocation over
# 320 MB or input taking over 5 s fails it; libFuzzer then writes the input
# to build-fuzz/ (copy it into tests/fuzz/images as crash-NAME).
#   tools/fuzz-images.sh [SECONDS [INPUTS [SEED]]]    (defaults: 60, 100000, 1)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
inputs=${2:-100000}
seed=${3:-1}
tools/install-deps.sh test
out=build-fuzz
mkdir -p "$out"
clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I. -Iinclude image/*.cpp tests/fuzz/image_fuzz.cpp \
  $(pkg-config --cflags --libs spng libjpeg libgif zlib) -o "$out/image_fuzz"
limits=(-timeout=5 -malloc_limit_mb=320 -rss_limit_mb=2048 -max_len=65536)
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== every file of tests/fuzz/images once"
"$out/image_fuzz" "${limits[@]}" -artifact_prefix="$out/" tests/fuzz/images/* 2>"$out/replay.log" ||
  { tail -n 40 "$out/replay.log"; exit 1; }
echo "== $inputs inputs or $seconds s, seed $seed"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/images/* "$corpus/"
"$out/image_fuzz" "${limits[@]}" -artifact_prefix="$out/" -seed="$seed" -runs="$inputs" \
  -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>"$out/fuzz.log" ||
  { tail -n 60 "$out/fuzz.log"; exit 1; }
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$out/fuzz.log" | grep -oE '[0-9]+$')
echo "image fuzz: ${runs:-?} inputs, $(ls "$corpus" | wc -l) in the grown corpus, no fault: 1 passed, 0 failed"
