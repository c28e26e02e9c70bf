#!/usr/bin/env bash
# Runs every test: the unit tests, the real-window tests under Xvfb, the unit
# tests again under AddressSanitizer + UndefinedBehaviorSanitizer, and the
# image readers and fonts under libFuzzer; a game is also built against the
# installed library (CMake package and pkg-config).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

tools/install-deps.sh test

echo "== Build ($SECONDS s)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAR_BUILD_TESTS=ON \
      -DQUILLMAR_BUILD_WINDOW_TESTS=ON -DQUILLMAR_BUILD_EXAMPLES=ON >/dev/null
cmake --build build -j"$jobs"

echo "== Unit tests, real-window tests (Xvfb), installed-library consumers ($SECONDS s)"
tools/with-display.sh ctest --test-dir build --output-on-failure -j1

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer ($SECONDS s)"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLMAR_SANITIZE=ON \
      -DQUILLMAR_BUILD_WINDOW_TESTS=OFF -DQUILLMAR_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize -L unit --output-on-failure -j"$jobs"
echo "== Image readers under libFuzzer, AddressSanitizer and UBSan ($SECONDS s)"
tools/fuzz-images.sh 60 100000 1
echo "== Fonts under libFuzzer, AddressSanitizer and UBSan ($SECONDS s)"
tools/fuzz-fonts.sh 60 100000 1
echo "== All tests passed ($SECONDS s)"
