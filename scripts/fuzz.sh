#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz and runs each
# for the given number of seconds (default 60) on a copy of its corpus: the committed
# seeds in fuzz/corpus/<target>/ plus the game's own data. The committed corpus never
# grows; new inputs stay in build-fuzz/corpus/. A crash leaves its input in
# build-fuzz/artifacts/ and makes the script fail: turn it into a regression test.
#
#   scripts/fuzz.sh          # one minute per target
#   scripts/fuzz.sh 3600     # an hour per target, for a deeper search
set -euo pipefail
source "$(dirname "$0")/setup.sh"

seconds="${1:-60}"
build="$WM_ROOT/build-fuzz"
targets=(ObjParserFuzz HeightMapFuzz ShaderSourceFuzz)

wm_install_packages
CC=clang CXX=clang++ cmake -S "$WM_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWM_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >"$build/build.log" 2>&1 || {
  cat "$build/build.log"
  exit 1
}

# Extra seeds from the game's data; large models are cut by -max_len when loaded.
seed_extra() {
  case "$1" in
    ObjParserFuzz) cp "$WM_ROOT"/Resources/*.obj "$2"/ ;;
    ShaderSourceFuzz) cp "$WM_ROOT"/Shaders/* "$2"/ ;;
  esac
}

max_len() {
  case "$1" in
    ObjParserFuzz) echo 65536 ;;
    ShaderSourceFuzz) echo 16384 ;;
    *) echo 8192 ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$artifacts"
  cp "$WM_ROOT/fuzz/corpus/$target"/* "$corpus"/
  seed_extra "$target" "$corpus"
  log="$build/$target.log"
  status=0
  # Leaks are checked too; a report of any kind ends the run with a non-zero status.
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
  echo "$target: ${runs:-0} runs in ${seconds} s, ${coverage:-cov: ?}, corpus $(ls "$corpus" | wc -l) inputs"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    echo "$target FAILED (status $status); input kept in $artifacts/, log in $log:"
    grep -E 'ERROR|SUMMARY|Test unit written|runtime error' "$log" | head -n 20
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing: no crash, leak or broken invariant"
