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
if [[ $(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null) == "install ok installed" ]]; then
  echo "guest: Wine's 32-bit half is installed already"
else
  # Rebuilding the manual pages' index (man-db is among the packages that the
  # i386 libraries upgrade) reads every page of the host's: many minutes under
  # emulation, for nothing here.
  echo "man-db man-db/auto-update boolean false" | debconf-set-selections
  dpkg-divert --quiet --local --rename --add /usr/bin/mandb
  ln -sf /bin/true /usr/bin/mandb
  dpkg --add-architecture i386
  echo "guest: installing $(wc -l <"$debs") packages"
  mapfile -t files <"$debs"
  # No fsync after every file (--force-unsafe-io): the disk is synced and
  # unmounted cleanly at the end, and a preparation cut short is made again.
  # No questions: the configuration files stay as they are.
  # dpkg's own exit status is not the verdict (see below): whether Wine is in is.
  { dpkg --install --force-unsafe-io --force-confdef --force-confold --path-exclude='/usr/share/doc/*' \
    --path-exclude='/usr/share/man/*' --path-exclude='/usr/share/locale/*' "${files[@]}" </dev/null 2>&1 ||
    echo "dpkg: exit status $?"; } |
    tee /tmp/dpkg.log |
    awk '/^Unpacking / { if (++unpacked % 50 == 0) { print "guest: " unpacked " unpacked"; fflush() } }
         /^Setting up / { if (++set % 50 == 0) { print "guest: " set " set up"; fflush() } }'
  # Wine is what the guest is for: a package beside it that the guest's
  # overlay cannot upgrade (a tool of the host's) is said, not fatal.
  if grep -q "^dpkg: exit status" /tmp/dpkg.log; then
    grep -E "^dpkg: |^Errors|^ /" /tmp/dpkg.log | sed 's/^/guest: dpkg: /'
  fi
  if [[ $(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null) != "install ok installed" ]]; then
    tail -n 40 /tmp/dpkg.log
    echo "guest: dpkg could not install Wine's 32-bit half"
    exit 1
  fi
fi
echo "guest: installed in $((SECONDS - started)) s"
[[ -x /usr/lib/wine/wine ]] || { echo "guest: no 32-bit Wine loader after the installation"; exit 1; }

source scripts/lib/desktop.sh
trap teardown_desktop EXIT
started=$SECONDS
start_display
rm -rf "$VERUVO_GUEST_PREFIX"
mkdir -p "$(dirname "$VERUVO_GUEST_PREFIX")"
new_wine_prefix "$VERUVO_GUEST_PREFIX"
[[ -f $VERUVO_GUEST_PREFIX/drive_c/windows/syswow64/kernel32.dll ]] ||
  { echo "guest: the Wine prefix has no 32-bit half (no syswow64/kernel32.dll)"; exit 1; }
echo "guest: Wine prefix made in $((SECONDS - started)) s"
