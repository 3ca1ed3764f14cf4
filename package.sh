#!/usr/bin/env bash
# Builds the Debian package of the game, wm_<version>_<arch>.deb, in the repository
# root (install it with: sudo apt install ./wm_*.deb). Uses its own build folder,
# build-package, compiled with Debian's hardening flags.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

wm_install_packages
dir="$WM_ROOT/build-package"
# Debian's flags for packaged code: stack protector, _FORTIFY_SOURCE, format checks,
# read-only relocations and immediate binding (lintian's hardening checks).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
# Only the game is built: the package holds nothing else, and the install step then
# needs no other target.
cmake -S "$WM_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
log="$dir/package.log"
rm -rf "$dir/out"
if ! cmake --build "$dir" -j"$(nproc)" --target wm >"$log" 2>&1 ||
  ! (cd "$dir" && cpack -B "$dir/out") >>"$log" 2>&1; then
  cat "$log"
  exit 1
fi
grep -E 'warning:' "$log" || true
deb=$(ls "$dir"/out/wm_*.deb)
cp "$deb" "$WM_ROOT/"
echo "$WM_ROOT/$(basename "$deb")"
