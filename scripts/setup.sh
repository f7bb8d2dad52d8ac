#!/usr/bin/env bash
# Installs, from Debian's packages only, everything the builds, tests and the
# demonstration need. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  mingw-w64-i686-dev mingw-w64-x86-64-dev
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb x11-utils imagemagick xdotool python3 zip
  clang libclang-rt-dev lld
  # The 32-bit guest (scripts/guest.sh): an emulated PC, a busybox for its
  # first steps, and the tools that make its start-up archive and its disk.
  qemu-system-x86 busybox-static cpio xz-utils e2fsprogs
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
