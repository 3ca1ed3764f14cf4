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
window=$(xdotool search --sync --pid "$game" --name '^WM$' | head -n 1 || true)
if [ -n "$window" ]; then
  # A short look around: turn the camera towards the lake and the cottage, zoom out.
  sleep 3
  xdotool windowfocus --sync "$window" keydown Left sleep 0.95 keyup Left || true
  xdotool mousemove --window "$window" 512 300 click --repeat 12 --delay 30 5 \
    mousedown 3 sleep 0.3 mousemove --window "$window" 512 330 sleep 0.5 mouseup 3 || true
fi
sleep "${WM_PLAY_SECONDS:-4}"
if ! kill -0 "$game" 2>/dev/null; then
  wait "$game"
  exit $?
fi
import -window root screenshot.png
if [ -n "$window" ]; then
  xdotool windowfocus --sync "$window" key Escape || xdotool key Escape
else
  xdotool key Escape
fi
status=0
wait "$game" || status=$?
echo "Saved screenshot.png; WM exited with $status"
exit "$status"
