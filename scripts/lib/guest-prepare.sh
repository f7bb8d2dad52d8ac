#!/usr/bin/env bash
# Runs inside the 32-bit guest when scripts/guest.sh prepares its disk: installs
# Wine's 32-bit half from the .deb files listed in $1 (downloaded on the host
# into the guest's private apt cache), then makes the Wine prefix that each run
# of the guest copies. What it changes stays on the guest's disk, never on the
# host: the host's root is only the read-only layer below.
set -euo pipefail

debs=$1
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

export DEBIAN_FRONTEND=noninteractive
started=$SECONDS
# Rebuilding the manual pages' index would take minutes under emulation.
echo "man-db man-db/auto-update boolean false" | debconf-set-selections
dpkg --add-architecture i386
echo "guest: installing $(wc -l <"$debs") packages"
mapfile -t files <"$debs"
dpkg --install --path-exclude='/usr/share/doc/*' --path-exclude='/usr/share/man/*' \
  --path-exclude='/usr/share/locale/*' "${files[@]}" >/tmp/dpkg.log 2>&1 ||
  { tail -n 40 /tmp/dpkg.log; echo "guest: dpkg could not install Wine's 32-bit half"; exit 1; }
echo "guest: installed in $((SECONDS - started)) s"
[[ -x /usr/lib/wine/wine ]] || { echo "guest: no 32-bit Wine loader after the installation"; exit 1; }

source scripts/lib/desktop.sh
trap teardown_desktop EXIT
started=$SECONDS
start_display
mkdir -p "$(dirname "$VERUVO_GUEST_PREFIX")"
new_wine_prefix "$VERUVO_GUEST_PREFIX"
[[ -d $VERUVO_GUEST_PREFIX/drive_c/windows/syswow64 ]] ||
  { echo "guest: the Wine prefix has no 32-bit half (syswow64)"; exit 1; }
echo "guest: Wine prefix made in $((SECONDS - started)) s"
