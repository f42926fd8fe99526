# Shared by the scripts: the Debian packages the project needs, installed when
# missing, and the Release build in build/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${GW_BUILD_DIR:-$ROOT/build}"

GW_PACKAGES=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
             libcli11-dev nlohmann-json3-dev libopenimageio-dev clang libclang-rt-14-dev
             mingw-w64 binutils fonts-dejavu-core qt6-base-dev xvfb xauth)

install_packages() {
  local missing=()
  for p in "${GW_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_release() {
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DGW_BUILD_BENCH=ON
  cmake --build "$BUILD" -j "$(nproc)"
}
