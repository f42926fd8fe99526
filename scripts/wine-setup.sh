#!/usr/bin/env bash
# Installs what the Windows tests need (Wine for 32-bit programs, GoogleTest's
# sources, a virtual display) and checks that this machine runs 32-bit x86
# programs, which 32-bit Wine is.
#   scripts/wine-setup.sh [--register-qemu]
# Where the kernel runs no 32-bit programs (ia32 emulation off), qemu's
# user-mode emulator can run them once it is registered for i386 programs in
# binfmt_misc. That changes the machine for every user, so it is done only
# on request (--register-qemu) or in CI (CI=true), never silently.
# Exit 75: the package registry could not serve what 32-bit Wine needs (a
# damaged index, say); any other failure exits 1.
set -euo pipefail
source "$(dirname "$0")/apt.sh"

register=false
for arg in "$@"; do
  case "$arg" in
    --register-qemu) register=true ;;
    *) echo "usage: $0 [--register-qemu]" >&2; exit 2 ;;
  esac
done
[ "${CI:-}" = "true" ] && register=true

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

WINE_PACKAGES=(wine wine32:i386 wine32-preloader:i386 qemu-user-static binfmt-support
               googletest mingw-w64 xvfb xauth)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

install_wine_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture"
    $sudo dpkg --add-architecture i386
  fi
  local missing=()
  for p in "${WINE_PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_update
  local rc=0
  apt_install "${missing[@]}" || rc=$?
  if [ "$rc" -eq 75 ]; then
    echo "Could not install ${missing[*]}: the package registry could not serve them (above)." >&2
    exit 75
  fi
  [ "$rc" -eq 0 ] || exit 1
}

# 32-bit Wine's loader: a plain 32-bit x86 program.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# i386 ELF executables, as qemu's own binfmt configuration describes them.
QEMU_I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
QEMU_I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

register_qemu_i386() {
  local binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ -e "$binfmt/qemu-i386" ]; then
    echo "qemu-i386 is registered already"
    return 0
  fi
  echo "Registering qemu-i386-static for 32-bit x86 programs in binfmt_misc"
  # F: the interpreter is opened now, so it works inside other mount spaces.
  echo ":qemu-i386:M::${QEMU_I386_MAGIC}:${QEMU_I386_MASK}:/usr/bin/qemu-i386-static:F" |
    $sudo tee "$binfmt/register" >/dev/null
}

install_wine_packages
if runs_32bit; then
  echo "32-bit x86 programs run natively"
  exit 0
fi
if ! $register; then
  echo "This machine runs no 32-bit x86 programs, so 32-bit Wine cannot start." >&2
  echo "Run again with --register-qemu to have qemu-user-static run them" >&2
  echo "(it registers an i386 handler in binfmt_misc, for every user of the machine)." >&2
  exit 1
fi
register_qemu_i386
if ! runs_32bit; then
  echo "32-bit programs still do not start, even through qemu" >&2
  exit 1
fi
echo "32-bit x86 programs run through qemu-i386-static"
