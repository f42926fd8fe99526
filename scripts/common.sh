# Shared by the scripts: the Debian packages the project needs, installed when
# missing, and the Release build in build/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${GW_BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/apt.sh"

GW_PACKAGES=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
             libcli11-dev nlohmann-json3-dev libopenimageio-dev openimageio-tools clang
             libclang-rt-14-dev
             mingw-w64 binutils fonts-dejavu-core qt6-base-dev xvfb xauth)

install_packages() {
  local missing=()
  for p in "${GW_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_update
  apt_install --no-install-recommends "${missing[@]}" || {
    echo "Could not install: ${missing[*]}" >&2
    return 1
  }
}

build_release() {
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DGW_BUILD_BENCH=ON
  cmake --build "$BUILD" -j "$(nproc)"
}
