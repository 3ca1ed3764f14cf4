#!/usr/bin/env bash
# Sets up, builds and runs every check; non-zero when any of them fails:
#   1. the layering of the source folders (scripts/layers.sh), the formatting
#      (scripts/format.sh --check) and clang-tidy over the game's sources (scripts/tidy.sh);
#   2. the release build and the whole test suite under one Xvfb;
#   3. the Debian package, unpacked and played (tests/package/InstalledGameTest.sh);
#   4. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   5. a short run of each fuzz target (scripts/fuzz.sh);
#   6. a one-minute soak of the game with random input (scripts/soak.sh).
# WM_FUZZ_SECONDS (per target) and WM_SOAK_SECONDS change the lengths of 5 and 6.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

FUZZ_SECONDS="${WM_FUZZ_SECONDS:-30}"
SOAK_SECONDS="${WM_SOAK_SECONDS:-60}"
# The in-process playthrough walks the player for thousands of frames; it takes minutes
# in the release run already and adds nothing under the sanitizers that the short
# whole-scene frames (GlErrors) and the game runs on bad data do not cover.
SANITIZER_EXCLUDE='^Playthrough\.'
# Under Xvfb the GL driver is Mesa's software rasteriser. SDL_Quit (on the fatal-error
# path) unloads it, after which LeakSanitizer can neither reach nor name the memory it
# kept; keeping it loaded lets its leaks be suppressed by name (tests/sanitizers/lsan.supp).
MESA_DRIVER=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so

wm_install_packages
wm_build "$WM_ROOT/build" Release
cd "$WM_ROOT"

wm_start_xvfb 1280x1024x24
trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT

release_tests() {
  ctest --test-dir build --output-on-failure -j2
}

sanitizer_tests() {
  local dir="$WM_ROOT/build-asan"
  # -O1 without NDEBUG: asserts stay in, and the game prints every GL error on its error
  # stream, which the bad-data tests then see.
  cmake -S "$WM_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWM_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
  local targets
  targets=$(cmake --build "$dir" --target help | sed -n 's/^\.\.\. \(wm\|[a-z]*_tests\)$/\1/p')
  # shellcheck disable=SC2086
  cmake --build "$dir" -j"$(nproc)" --target $targets >"$dir/build.log" 2>&1 || {
    cat "$dir/build.log"
    return 1
  }
  local preload=""
  [ -e "$MESA_DRIVER" ] && preload="$MESA_DRIVER"
  LD_PRELOAD="$preload" \
    ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1:verify_asan_link_order=0" \
    LSAN_OPTIONS="suppressions=$WM_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$dir" --output-on-failure -j2 -E "$SANITIZER_EXCLUDE"
}

passed=0
failed=()
stage() {
  local name="$1"
  shift
  local start=$SECONDS
  echo "== $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    failed+=("$name")
  fi
  echo "== $name: $((SECONDS - start)) s"
}

stage "layering" "$WM_ROOT/scripts/layers.sh"
stage "formatting" "$WM_ROOT/scripts/format.sh" --check
stage "clang-tidy" "$WM_ROOT/scripts/tidy.sh" "$WM_ROOT/build"
stage "release tests" release_tests
stage "installed package" "$WM_ROOT/tests/package/InstalledGameTest.sh"
stage "sanitizer tests" sanitizer_tests
stage "fuzzing" "$WM_ROOT/scripts/fuzz.sh" "$FUZZ_SECONDS"
stage "soak" "$WM_ROOT/scripts/soak.sh" "$SOAK_SECONDS"

if [ ${#failed[@]} -ne 0 ]; then
  echo "Failed: ${failed[*]}"
fi
echo "stages: $passed passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
