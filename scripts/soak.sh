#!/usr/bin/env bash
# The soak: a thousand surf sessions and ten thousand page visits in virtual
# time on the simulated desktop, interrupted, timed out and stopped in a mix
# drawn from a fixed seed, with everything built under AddressSanitizer and
# UndefinedBehaviorSanitizer (tests/soak). About a minute on two cores.
# Exits non-zero when a session breaks a rule, the heap grows, or a sanitizer
# finds anything (a leak included).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

die() {
  echo "FAILED: $*" >&2
  exit 1
}

cmake -S tests/soak -B build/soak -G Ninja >/dev/null || die "configuring the soak"
cmake --build build/soak || die "building the soak"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 build/soak/soak || die "the soak (see above)"
