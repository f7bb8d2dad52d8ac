#!/usr/bin/env bash
# Runs inside the 32-bit guest (scripts/guest.sh run): the end-to-end tests
# chosen for the product, the 64-bit test program (build/x64) driving the
# 32-bit Veruvo.exe that the release ships (build/i686), on a display and in a
# Wine prefix of this run's own. Prints ctest's report; exits with its status.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
source scripts/lib/desktop.sh
trap teardown_desktop EXIT

# Which tests run here (README.md, "The 32-bit product under emulation", says
# which do not and why). Under emulation the program runs several times slower,
# so the harness waits longer; what the tests assert stays the same.
tests=${VERUVO_GUEST_TESTS:-'^(StartUp|Splash|MainDialog|Calibration|Dpi/DisplayScale|SurfingLongAddresses|SurfingABrowserThatStaysBehind|SurfingABusyBrowser)\.|^Surfing\.AHundredthOfAnHour'}
export VERUVO_E2E_TIMEOUT_SCALE=${VERUVO_E2E_TIMEOUT_SCALE:-3}
export VERUVO_EXE=$PWD/build/i686/app/Veruvo.exe
export VERUVO_TEXT_PROBE=$PWD/build/i686/tests/e2e/TextProbe.dll

[[ -x /usr/lib/wine/wine ]] || fail "this is no 32-bit guest: Wine's 32-bit loader is missing" || exit 1
for file in "$VERUVO_EXE" "$VERUVO_TEXT_PROBE" build/x64/tests/e2e/e2e_tests.exe; do
  [[ -f $file ]] || fail "$file is missing: build the windows-i686 and windows-x64 presets first" || exit 1
done
echo "Guest: $(uname -r), $(nproc) processors; program under test $VERUVO_EXE"

start_display || exit 1
# The emulated machine is slow enough that a stand-in reads its crossing events
# late and sends stale cursor positions back (desktop_pointer.py says how).
keep_pointer_off_windows || exit 1
WINE_PREFIX_TEMPLATE=$VERUVO_GUEST_PREFIX make_wine_prefix || exit 1
# Through a pipe: on the guest's console ctest would colour its report.
"${PERMISSIONS_BIND[@]}" ctest --preset windows-x64 -R "$tests" </dev/null | cat
