#!/usr/bin/env bash
# Fuzzes the three readers of outside input with libFuzzer (clang, under
# AddressSanitizer and UndefinedBehaviorSanitizer): options.ini, WebSites.txt
# and the hours text; and what an entry of WebSites.txt types.
#
#   scripts/fuzz.sh [seconds]   each target for that long (default 300), keeping
#                               what it learns in build/fuzz/corpus/
#   scripts/fuzz.sh --bounded   the test command's run: a fixed number of inputs
#                               per target from the committed seeds, a few seconds
#
# An input that breaks a target is kept in build/fuzz/findings/. Exits non-zero
# on any finding, and when clang or libFuzzer is missing.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

die() {
  echo "FAILED: $*" >&2
  exit 1
}

bounded=0
seconds=300
case "${1:-}" in
  --bounded) bounded=1 ;;
  "") ;;
  *[!0-9]*) die "usage: scripts/fuzz.sh [seconds | --bounded]" ;;
  *) seconds=$1 ;;
esac

command -v clang++ >/dev/null || die "no clang++ for the fuzz targets (scripts/setup.sh installs it)"
CC=clang CXX=clang++ cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE= >/dev/null ||
  die "configuring the fuzz targets (needs clang and libFuzzer, see above)"
cmake --build build/fuzz || die "building the fuzz targets"

# The file readers write a file per input: a folder in memory is faster.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=/dev/shm
mkdir -p build/fuzz/findings

# target and the number of inputs of a bounded run: each about the same time.
targets=(boundaries:10000 sitelist:10000 hours:1000000 entry:20000)
failed=0
for entry in "${targets[@]}"; do
  target=${entry%%:*}
  runs=${entry#*:}
  # New inputs go to the first folder: never the committed seeds.
  if ((bounded)); then
    corpus=$(mktemp -d)
    limits=(-seed=1 "-runs=$runs" -max_total_time=60)
  else
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    limits=("-max_total_time=$seconds")
  fi
  echo "== fuzz_$target: ${limits[*]}"
  if ! build/fuzz/fuzz_"$target" "${limits[@]}" -timeout=10 -print_final_stats=1 \
    "-artifact_prefix=build/fuzz/findings/$target-" "$corpus" "tests/fuzz/corpus/$target" \
    2>"build/fuzz/$target.log"; then
    failed=1
    tail -n 60 "build/fuzz/$target.log" >&2
  fi
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)" "build/fuzz/$target.log" | sed 's/^/   /'
  ((bounded)) && rm -rf "$corpus"
done

((failed == 0)) || die "a fuzz target found a fault; the input is in build/fuzz/findings/"
echo "fuzzing: no findings"
