#!/usr/bin/env bash
# Re-makes the reference frames in tests/reference/ after an intended change of the
# picture: builds, draws every view on its own Xvfb, writes the PNGs and the GL renderer
# string, and leaves a magnified difference against the old picture of each in
# build/frames/<name>.diff.png (failed 16 x 16 tiles framed in red). Look at them, and
# at the new references, before committing.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

wm_install_packages
wm_build "$WM_ROOT/build" Release
cd "$WM_ROOT"

wm_start_xvfb 1280x1024x24
trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT

WM_UPDATE_REFERENCES=1 build/tests/frames_tests
# The test's PNG writer favours speed; zlib at its best level keeps the committed files
# about a third smaller, with the same pixels.
for picture in tests/reference/*.png; do
  convert "$picture" -strip -define png:compression-level=9 -define png:compression-filter=5 \
    -define png:compression-strategy=1 "$picture"
done
du -sh tests/reference
