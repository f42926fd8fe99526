#!/usr/bin/env bash
# Builds the 64-bit Windows OpenFX binary and its tests with MinGW-w64 and runs
# them under 64-bit Wine (natively on an x86-64 machine: no emulator),
# including the comparison of its frames with the Linux binary's, bit for bit.
#   scripts/wine64-tests.sh
# Builds in build-win64/ (GW_WIN64_BUILD_DIR; the binary lands in
# build-win64/plugins/Glarewright.ofx.bundle/Contents/Win64/) and uses the
# Linux build in build/ (GW_BUILD_DIR) for the reference frames.
# Exit 75: the package registry could not serve 64-bit Wine.
source "$(dirname "$0")/common.sh"
install_packages

WINE64_PACKAGES=(wine64 googletest mingw-w64)
missing=()
for p in "${WINE64_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_update
  rc=0
  apt_install --no-install-recommends "${missing[@]}" || rc=$?
  if [ "$rc" -eq 75 ]; then
    echo "Could not install ${missing[*]}: the package registry could not serve them (above)." >&2
    exit 75
  fi
  [ "$rc" -eq 0 ] || exit 1
fi

WIN_BUILD="${GW_WIN64_BUILD_DIR:-$ROOT/build-win64}"
export GW_WINEPREFIX="$WIN_BUILD/wineprefix"

# The Linux binary's frames, for the comparison.
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD" -j "$(nproc)" --target render_ofx_frames

cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DGW_BUILD_CLI=OFF -DGW_WINE_TESTS=ON -DGW_WINE_SUITES=ofx \
  -DGW_LINUX_BUILD_DIR="$BUILD"
# The persistent wineservers started for the tests (the display test's prefix
# has its own) are stopped at the end.
stop_servers() {
  for prefix in "$GW_WINEPREFIX" "$WIN_BUILD/wineprefix-display"; do
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 --kill >/dev/null 2>&1 || true
  done
}
trap stop_servers EXIT
# The prefix is made before the build, whose test discovery runs programs.
"$ROOT/scripts/wine64-run.sh" --prepare
cmake --build "$WIN_BUILD" -j "$(nproc)" --target GlarewrightOfx test_ofx render_ofx_frames \
  test_ofx_editor_win32
ctest --test-dir "$WIN_BUILD" --output-on-failure -j "$(nproc)"
