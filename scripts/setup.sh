#!/usr/bin/env bash
# Installs the Debian packages WM needs (only those missing) and configures and
# builds it. Sourced by run.sh and test.sh; quiet when there is nothing to do.
set -euo pipefail

WM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WM_PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libglew-dev libsoil-dev libassimp-dev libglm-dev libstb-dev
  libgtest-dev libbenchmark-dev libtinyobjloader-dev
  xvfb xauth xdotool imagemagick x11-utils
  clang libclang-rt-14-dev clang-format clang-tidy
  dpkg-dev lintian desktop-file-utils
)

wm_install_packages() {
  local missing=()
  local package
  for package in "${WM_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# wm_build BUILD_DIR BUILD_TYPE [cmake options...]
wm_build() {
  local dir="$1" type="$2"
  shift 2
  cmake -S "$WM_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  local log
  log="$(mktemp)"
  if ! cmake --build "$dir" -j"$(nproc)" >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    return 1
  fi
  grep -E 'warning:' "$log" || true
  rm -f "$log"
}

# Starts Xvfb on a free display number and exports DISPLAY; sets WM_XVFB_PID.
# The server picks the number itself and writes it once it accepts clients
# (-displayfd): two runs started at once cannot end up on one server.
# -noreset: by default the server resets whenever its last client leaves (a test
# between two games), and a client connecting just then fails.
wm_start_xvfb() {
  local size="${1:-1024x768x24}"
  local number_file number=""
  number_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
  WM_XVFB_PID=$!
  local tries
  for tries in $(seq 1 100); do
    number="$(cat "$number_file")"
    if [ -n "$number" ] || ! kill -0 "$WM_XVFB_PID" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -n "$number" ]; then
    export DISPLAY=":${number}"
    return 0
  fi
  kill "$WM_XVFB_PID" 2>/dev/null || true
  echo "Could not start Xvfb" >&2
  return 1
}
