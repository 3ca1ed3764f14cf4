#!/usr/bin/env bash
# The game as a player gets it: builds the Debian package, lints it, unpacks it into a
# scratch root (no root rights needed, nothing installed) and checks the file list, the
# owners and the menu entry; then runs the unpacked launcher from an unrelated folder
# under Xvfb: the first frame appears and Escape ends it with 0; without its data it
# ends with the game's fatal message and 69. Stops at the first failure and says why.
set -euo pipefail
source "$(dirname "$0")/../../scripts/setup.sh"

WINDOW_WAIT=60
scratch=$(mktemp -d /tmp/wm_installed_XXXXXX)
root="$scratch/root"
data="$root/usr/share/games/wm"
launcher="$root/usr/games/wm"
game=""
cleanup() {
  if [ -n "$game" ]; then kill -9 "$game" 2>/dev/null || true; fi
  if [ -n "${WM_XVFB_PID:-}" ]; then kill "$WM_XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# fail MESSAGE [FILE...]: says why, shows the files, stops.
fail() {
  echo "installed game: $1"
  for file in "${@:2}"; do echo "--- $file"; cat "$file"; done
  exit 1
}

"$WM_ROOT/package.sh" >"$scratch/package.txt" 2>&1 || fail "package.sh failed" "$scratch/package.txt"
deb=$(tail -n 1 "$scratch/package.txt")
[ -f "$deb" ] || fail "package.sh made no package"
lintian --fail-on error,warning "$deb" >"$scratch/lintian.txt" 2>&1 ||
  fail "lintian reports errors or warnings" "$scratch/lintian.txt"
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "entries not owned by root: $owners"

dpkg-deb -x "$deb" "$root"
expected="$scratch/expected.txt"
{
  printf './usr/%s\n' games/wm lib/games/wm/wm share/applications/wm.desktop \
    share/doc/wm/changelog.gz share/doc/wm/copyright \
    share/icons/hicolor/128x128/apps/wm.png share/man/man6/wm.6.gz
  (cd "$WM_ROOT" && find Shaders Resources -type f | sed 's|^|./usr/share/games/wm/|')
} | sort >"$expected"
(cd "$root" && find . ! -type d | sort) | diff -u "$expected" - || fail "unexpected file list (- missing, + extra)"
diff -r "$WM_ROOT/Shaders" "$data/Shaders" >/dev/null && diff -r "$WM_ROOT/Resources" "$data/Resources" >/dev/null ||
  fail "the packaged data differs from Shaders/ and Resources/"
desktop-file-validate "$root/usr/share/applications/wm.desktop" || fail "the desktop entry does not validate"

wm_start_xvfb 1024x768x24
mkdir "$scratch/elsewhere" && cd "$scratch/elsewhere"
"$launcher" </dev/null >"$scratch/out.txt" 2>"$scratch/err.txt" &
game=$!
window=$(timeout "$WINDOW_WAIT" xdotool search --sync --onlyvisible --name '^WM$' | head -n 1) ||
  fail "no game window within $WINDOW_WAIT s" "$scratch/out.txt" "$scratch/err.txt"
# The launcher hands its process to the game (exec), which runs in the data folder.
[ "$(xdotool getwindowpid "$window")" = "$game" ] || fail "the window is not the launcher's process: no exec"
[ "$(readlink /proc/$game/exe)" = "$(readlink -f "$root/usr/lib/games/wm/wm")" ] || fail "the launcher did not exec the game"
[ "$(readlink /proc/$game/cwd)" = "$(readlink -f "$data")" ] || fail "the game does not run in its data folder"
# A drawn frame has the scene's thousands of colours; an undrawn window has one.
colours=0
for _ in $(seq 1 "$WINDOW_WAIT"); do
  import -window "$window" "$scratch/frame.png" 2>/dev/null && colours=$(convert "$scratch/frame.png" -format %k info:)
  [ "$colours" -gt 1000 ] && break || sleep 1
done
[ "$colours" -gt 1000 ] || fail "no frame drawn: the window shows $colours colours"
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 1 100); do kill -0 "$game" 2>/dev/null && sleep 0.2; done
kill -0 "$game" 2>/dev/null && fail "the game did not end on Escape"
wait "$game" && status=0 || status=$?
game=""
[ "$status" -eq 0 ] || fail "Escape ended the game with $status, not 0"

# Without its data the game stops with its message and 69; without the data folder
# itself the launcher does, naming the folder.
run_without() {
  rm -rf "$1"
  echo | timeout "$WINDOW_WAIT" "$launcher" >"$scratch/out.txt" 2>"$scratch/err.txt" && status=0 || status=$?
  [ "$status" -eq 69 ] || fail "without $1 the exit code is $status, not 69"
}
run_without "$data/Shaders"
grep -qx 'Failed to open Shaders/entityVertexShader.vert' "$scratch/out.txt" &&
  grep -q 'Enter any key to quit' "$scratch/out.txt" || fail "no fatal message without shaders" "$scratch/out.txt"
run_without "$data"
grep -qF "$(readlink -m "$data")" "$scratch/err.txt" || fail "the launcher does not name the missing data folder"
echo "installed game: package, file list, menu entry, start, Escape and missing data all good"
