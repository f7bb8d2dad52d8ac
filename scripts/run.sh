#!/usr/bin/env bash
# Sets up this machine, builds the program for 64-bit Windows and runs it under
# Wine. With a display ($DISPLAY answers) the program opens there and this script
# returns when it is closed. Without one, it runs on a virtual display instead
# and a screenshot of its main dialog is saved (scripts/screenshot.sh), and the
# script says where.
#
# The program keeps options.ini and WebSites.txt in its working folder:
# $VERUVO_WORKDIR, else build/run-data.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1

if [[ -z ${DISPLAY:-} ]] || ! xdpyinfo >/dev/null 2>&1; then
  echo "No display: running the program on a virtual one and taking a screenshot."
  exec bash scripts/screenshot.sh "$@"
fi

die() {
  echo "FAILED: $*" >&2
  exit 1
}

workdir=$(realpath -m "${VERUVO_WORKDIR:-build/run-data}")
bash scripts/setup.sh || die "scripts/setup.sh"
cmake --preset windows-x64 >/dev/null || die "configuring the 64-bit Windows build"
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} cmake --build --preset windows-x64 --target Veruvo ||
  die "building Veruvo.exe"
mkdir -p "$workdir" || die "cannot make $workdir"

echo "Running Veruvo.exe on $DISPLAY in $workdir (Wine prefix: ${WINEPREFIX:-~/.wine})"
cd "$workdir" && WINEDEBUG=${WINEDEBUG:--all} wine "$repo/build/x64/app/Veruvo.exe"
