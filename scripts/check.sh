#!/usr/bin/env bash
# The quick loop: builds the release build and runs the test suite under its own Xvfb,
# nothing else (./test.sh adds the package, sanitizer, fuzz, soak and static stages).
# Arguments go to ctest, e.g. scripts/check.sh -R Quest
set -euo pipefail
source "$(dirname "$0")/setup.sh"

wm_build "$WM_ROOT/build" Release
cd "$WM_ROOT"
wm_start_xvfb 1280x1024x24
trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT
ctest --test-dir build --output-on-failure -j2 "$@"
