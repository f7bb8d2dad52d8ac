#!/usr/bin/env bash
# Sets up this machine and runs every test:
#   - the host build's unit tests (GoogleTest, Linux);
#   - a short fuzzing of the readers of outside input (scripts/fuzz.sh --bounded);
#   - the soak of a thousand surf sessions under ASan and UBSan (scripts/soak.sh);
#   - both Windows builds, compiled warning-free;
#   - both Windows builds again with clang, compiled only, so that code that only
#     GCC accepts cannot land;
#   - the end-to-end tests of the 64-bit program under Wine, on a virtual display
#     of 1024 x 768 and in a Wine prefix made for this run alone;
#   - a chosen part of them against the 32-bit program, the product, in an
#     emulated 32-bit guest (scripts/guest.sh; these kernels do not execute
#     32-bit code), alone on the processors; the guest itself is prepared in
#     the background from the start, at the lowest priority;
#   - the release packages that scripts/release.sh makes from the builds,
#     checked, the 32-bit one against the executable tested in the guest.
# Exits non-zero when anything fails, including when no display, no Wine or no
# guest can be had: a test that cannot run counts as failed, never as skipped.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1
source scripts/lib/desktop.sh

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
logs=$(mktemp -d "${TMPDIR:-/tmp}/veruvo-test-logs.XXXXXX")
guest_preparation=""
stop_guest_preparation() {
  [[ -n $guest_preparation ]] && kill -- "-$guest_preparation" 2>/dev/null
  guest_preparation=""
}
trap 'stop_guest_preparation; teardown_desktop; rm -rf "$logs"' EXIT
trap 'exit 130' INT TERM

step() { printf '\n==== %s\n' "$*"; }
# ctest lists a test that skipped itself (GTEST_SKIP) as not run and still
# exits 0; here a test that did not run has proved nothing, and fails.
skipped() { grep -q "(Skipped)$" "$1"; }
die() {
  echo "FAILED: $*" >&2
  exit 1
}

step "Set-up"
bash scripts/setup.sh || die "scripts/setup.sh"

step "The 32-bit guest: prepared in the background, giving way to everything else"
# Its first preparation is about 20 minutes of emulation that need nothing of
# the builds; at the lowest priority it takes only what they leave idle. Its
# own process group, so that it can be stopped whole.
setsid nice -n 19 bash scripts/guest.sh prepare </dev/null >"$logs/guest-prepare.log" 2>&1 &
guest_preparation=$!
echo "preparing (its report comes with the guest's stage below)"

step "Host build and unit tests"
cmake --preset host >/dev/null || die "configuring the host build"
cmake --build --preset host || die "building the host build"
"${PERMISSIONS_BIND[@]}" ctest --preset host </dev/null 2>&1 | tee "$logs/host.log"
host_result=${PIPESTATUS[0]}
skipped "$logs/host.log" && host_result=1

step "Fuzzing the readers of outside input (a fixed number of inputs each)"
bash scripts/fuzz.sh --bounded 2>&1 | tee "$logs/fuzz.log"
fuzz_result=${PIPESTATUS[0]}

step "Soak: a thousand surf sessions in virtual time under ASan and UBSan"
bash scripts/soak.sh 2>&1 | tee "$logs/soak.log"
soak_result=${PIPESTATUS[0]}

step "Windows 32-bit build"
cmake --preset windows-i686 >/dev/null || die "configuring the 32-bit Windows build"
cmake --build --preset windows-i686 || die "building the 32-bit Windows build"

step "Windows 64-bit build"
cmake --preset windows-x64 >/dev/null || die "configuring the 64-bit Windows build"
cmake --build --preset windows-x64 || die "building the 64-bit Windows build"

step "Windows builds with clang (compiled only)"
for preset in windows-i686-clang windows-x64-clang; do
  cmake --preset "$preset" >/dev/null || die "configuring the $preset build"
  cmake --build --preset "$preset" || die "building the $preset build"
done

step "End-to-end tests under Wine"
start_display || die "no display for the end-to-end tests"
make_wine_prefix || die "no Wine for the end-to-end tests"
# ctest puts the toolchain's emulator, wine, in front of each test program.
"${PERMISSIONS_BIND[@]}" ctest --preset windows-x64 </dev/null 2>&1 | tee "$logs/e2e.log"
e2e_result=${PIPESTATUS[0]}
grep -q "tests passed" "$logs/e2e.log" || e2e_result=1
skipped "$logs/e2e.log" && e2e_result=1
teardown_desktop

step "End-to-end tests of the 32-bit product in the emulated 32-bit guest"
# Alone on the processors: an emulated machine is slow enough without sharing.
tested=build/i686/Veruvo.exe.tested
rm -f "$tested"
exe_sha=$(sha256sum build/i686/app/Veruvo.exe | cut -d' ' -f1)
waited_from=$SECONDS
wait "$guest_preparation"
prepared=$?
guest_preparation=""
cp "$logs/guest-prepare.log" "$logs/guest.log"
cat "$logs/guest.log"
echo "(the preparation ended $((SECONDS - waited_from)) s after the tests before it)"
guest_started=$SECONDS
if ((prepared == 0)); then
  bash scripts/guest.sh run -- bash scripts/lib/guest-e2e.sh 2>&1 | tee -a "$logs/guest.log"
  guest_result=${PIPESTATUS[0]}
else
  guest_result=$prepared
fi
guest_seconds=$((SECONDS - guest_started))
grep -q "tests passed" "$logs/guest.log" || ((guest_result != 0)) || guest_result=1
skipped "$logs/guest.log" && guest_result=1
# The release packages may ship only this executable, the one tested.
if ((guest_result == 0)) && [[ $(sha256sum build/i686/app/Veruvo.exe | cut -d' ' -f1) == "$exe_sha" ]]; then
  echo "$exe_sha  build/i686/app/Veruvo.exe, its end-to-end tests passed in the 32-bit guest" >"$tested"
fi

step "Release packages: contents, machine types, imports, version record, size, the tested executable"
bash scripts/release.sh 2>&1 | tee "$logs/release.log"
release_result=${PIPESTATUS[0]}

step "Summary"
summarise() {
  local name=$1 log=$2 result=$3
  echo "$name:"
  grep -E "tests passed|tests failed|Total Test time|No tests were found" "$log" | sed 's/^/  /'
  sed -n '/The following tests did not run/,/^$/p' "$log" | sed 's/^/  /'
  skipped "$log" && echo "  -> SKIPPED tests count as failed: a test that did not run proved nothing"
  sed -n '/The following tests FAILED/,$p' "$log" | sed 's/^/  /'
  ((result == 0)) || echo "  -> FAILED (ctest exit code $result)"
}
summarise "Host unit tests" "$logs/host.log" "$host_result"
summarise "End-to-end tests (x64 under Wine)" "$logs/e2e.log" "$e2e_result"
summarise "End-to-end tests of the 32-bit product (in the emulated guest)" "$logs/guest.log" "$guest_result"
grep "^GUEST CANNOT RUN" "$logs/guest.log" | sed 's/^/  /'
# Seconds that the tests reported in $2 took in the report $1.
seconds_of() {
  awk 'function name(line) { match(line, /Test +#[0-9]+: [^ ]+/); if (!RSTART) return ""
         line = substr(line, RSTART, RLENGTH); sub(/.*: /, "", line); return line }
       NR == FNR { if (name($0) != "") wanted[name($0)] = 1; next }
       name($0) in wanted { n = split($0, f, " "); sum += f[n - 1] }
       END { printf "%.0f", sum }' "$2" "$1"
}
guest_tests=$(seconds_of "$logs/guest.log" "$logs/guest.log")
x64_tests=$(seconds_of "$logs/e2e.log" "$logs/guest.log")
echo "  stage: ${guest_seconds} s, of which the tests ${guest_tests} s; the same tests took ${x64_tests} s" \
  "in the 64-bit run$( ((x64_tests > 0)) && awk -v g="$guest_tests" -v x="$x64_tests" 'BEGIN { printf ": %.1f times slower", g / x }')"
if ((release_result == 0)); then echo "Release packages: checked"; else echo "Release packages: FAILED"; fi
echo "Fuzzing: $(tail -n 1 "$logs/fuzz.log")"
echo "Soak: $(tail -n 1 "$logs/soak.log")"

if ((host_result != 0 || e2e_result != 0 || guest_result != 0 || release_result != 0 || fuzz_result != 0 ||
  soak_result != 0)); then
  echo "SOME TESTS FAILED" >&2
  exit 1
fi
echo "ALL TESTS PASSED"
