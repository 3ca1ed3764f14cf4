#!/usr/bin/env bash
# Sets up, builds and runs every test under one Xvfb. Non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

wm_install_packages
wm_build "$WM_ROOT/build" Release
cd "$WM_ROOT"

wm_start_xvfb 1280x1024x24
trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT
ctest --test-dir build --output-on-failure -j2
