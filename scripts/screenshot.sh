#!/usr/bin/env bash
# Runs the 64-bit program under Wine on a virtual display of its own (1024 x 768,
# inside Wine's virtual desktop, which draws window frames and captions), waits
# for the main dialog, saves a screenshot of the whole display, and ends
# everything it started.
#
#   scripts/screenshot.sh [--dpi 96|120|144|192] [picture.png]
#
# --dpi sets the display scale (Windows' LogPixels: 96 is 100%, 120 is 125%,
# 144 is 150%, 192 is 200%; default 96). The picture defaults to
# build/screenshots/main-dialog.png, or main-dialog-<dpi>.png with --dpi.
#
# The program's working folder (options.ini, WebSites.txt) is $VERUVO_WORKDIR,
# else build/run-data.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1
source scripts/lib/desktop.sh

die() {
  echo "FAILED: $*" >&2
  exit 1
}

dpi=""
if [[ ${1:-} == --dpi ]]; then
  dpi=${2:-}
  [[ $dpi =~ ^(96|120|144|192)$ ]] || die "--dpi takes 96, 120, 144 or 192"
  shift 2
fi
picture=$(realpath -m "${1:-build/screenshots/main-dialog${dpi:+-$dpi}.png}")
workdir=$(realpath -m "${VERUVO_WORKDIR:-build/run-data}")
exe="$repo/build/x64/app/Veruvo.exe"
trap teardown_desktop EXIT
trap 'exit 130' INT TERM

# The display's pixels, to tell when drawing has finished.
display_digest() { import -window root rgb:- 2>/dev/null | md5sum; }

bash scripts/setup.sh || die "scripts/setup.sh"
cmake --preset windows-x64 >/dev/null || die "configuring the 64-bit Windows build"
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} cmake --build --preset windows-x64 --target Veruvo ||
  die "building Veruvo.exe"
mkdir -p "$workdir" "$(dirname "$picture")" || die "cannot make $workdir"

start_display || die "no display"
make_wine_prefix || die "no Wine"
# Read by each Wine program when it starts, the virtual desktop included.
if [[ -n $dpi ]]; then
  "${PERMISSIONS_BIND[@]}" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 </dev/null || die "cannot set the display scale to $dpi dpi"
fi
(cd "$workdir" && exec "${PERMISSIONS_BIND[@]}" wine explorer /desktop=Veruvo,1024x768 "$exe" \
  </dev/null >"$DESKTOP_TMP/veruvo.log" 2>&1) &

# Wine gives each top-level window an X window with the same title, also inside
# its virtual desktop; the main dialog is mapped once the splash has gone.
for ((i = 0; i < 600; i++)); do
  xdotool search --onlyvisible --name '^Nimbrel Veruvo 1\.0$' >/dev/null 2>&1 && break
  sleep 0.1
done
((i < 600)) || die "the main dialog did not appear within 60 s"

# Until two looks at the display, a moment apart, see the same pixels.
previous=""
for ((i = 0; i < 40; i++)); do
  current=$(display_digest)
  [[ $current == "$previous" ]] && break
  previous=$current
  sleep 0.25
done

import -window root "$picture" || die "import could not take the screenshot"
echo "Screenshot of the main dialog${dpi:+ at $dpi dpi}: $picture"
echo "The program's working folder: $workdir"
