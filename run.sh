#!/usr/bin/env bash
# Sets up, builds and runs WM. Without a display it plays inside Xvfb for a few
# seconds, saves screenshot.png, presses Escape and returns the game's exit status.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

wm_install_packages
wm_build "$WM_ROOT/build" Release
cd "$WM_ROOT"

if [ -n "${DISPLAY:-}" ]; then
  exec ./build/wm
fi

wm_start_xvfb 1024x768x24
trap 'kill "$WM_XVFB_PID" 2>/dev/null || true' EXIT
./build/wm </dev/null &
game=$!
sleep "${WM_PLAY_SECONDS:-6}"
if ! kill -0 "$game" 2>/dev/null; then
  wait "$game"
  exit $?
fi
import -window root screenshot.png
window=$(xdotool search --name '^WM$' | head -n 1 || true)
if [ -n "$window" ]; then
  xdotool windowfocus --sync "$window" key Escape || xdotool key Escape
else
  xdotool key Escape
fi
status=0
wait "$game" || status=$?
echo "Saved screenshot.png; WM exited with $status"
exit "$status"
