#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and runs every comparison
# side by side with repetitions under a display; prints each as a ratio and
# writes bench/results.md.
#   tools/run-bench.sh                  the full run (about 5 minutes)
#   tools/run-bench.sh --quick          short runs, to try the script
#   tools/run-bench.sh --baseline REV   also runs against the library built
#                                       from git revision REV ("before")
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

baseline=""
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --baseline) baseline="$2"; shift 2 ;;
    *) extra+=("$1"); shift ;;
  esac
done

tools/install-deps.sh bench

echo "== Build (Release, build-bench/)"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLMAR_BUILD_BENCHMARKS=ON \
      -DQUILLMAR_BUILD_TESTS=OFF -DQUILLMAR_BUILD_WINDOW_TESTS=OFF \
      -DQUILLMAR_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-bench -j"$jobs"

if [ -n "$baseline" ]; then
  echo "== Library at $baseline (build-bench-baseline/)"
  rm -rf build-bench-baseline/src
  mkdir -p build-bench-baseline/src
  git archive "$baseline" | tar -x -C build-bench-baseline/src
  # Today's benchmark sources built against the baseline's headers too: what the
  # headers define inline is compiled into the benchmark, not taken from the library.
  rm -rf build-bench-baseline/src/bench
  cp -r bench build-bench-baseline/src/bench
  cmake -S build-bench-baseline/src -B build-bench-baseline/build -DCMAKE_BUILD_TYPE=Release \
        -DQUILLMAR_BUILD_TESTS=OFF -DQUILLMAR_BUILD_WINDOW_TESTS=OFF \
        -DQUILLMAR_BUILD_EXAMPLES=OFF -DQUILLMAR_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build-bench-baseline/build -j"$jobs" --target Quillmar bench_math
  extra+=(--before-lib build-bench-baseline/build --before-label "$baseline"
          --before-math build-bench-baseline/build/bench/bench_math)
fi

echo "== Benchmarks"
tools/with-display.sh python3 bench/run_bench.py --build build-bench "${extra[@]}"
