#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and runs them from the repository
# root: the micro-benchmarks with the OBJ loaders side by side, then the frame
# benchmark in a real window, inside Xvfb when there is no display. Arguments go to
# the frame benchmark, e.g. scripts/bench.sh --frames 600 --csv /tmp/frames.csv
# Numbers and how to read them: docs/PERFORMANCE.md.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

wm_install_packages
BUILD="$WM_ROOT/build-bench"
cmake -S "$WM_ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target wm_bench_micro wm_bench_frame wm_picture_diff >/dev/null
cd "$WM_ROOT"

if [ -z "${DISPLAY:-}" ]; then
  wm_start_xvfb 1024x768x24
  trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT
fi

echo "== Micro-benchmarks: height query, picker, movement, OBJ loaders (compare the CPU column) =="
"$BUILD/bench/wm_bench_micro" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
echo
echo "== Frame benchmark =="
"$BUILD/bench/wm_bench_frame" "$@"
