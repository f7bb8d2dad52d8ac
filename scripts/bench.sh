#!/usr/bin/env bash
# Benchmark of the input primitives: builds the 64-bit Windows program
# tests/bench/InputBench.cpp and runs it under Wine in a display and a Wine
# prefix of its own, which it removes afterwards. It prints the real length of
# WatchfulWait(20000) and of a 100-step, 5 ms glide, and the CPU time per second
# of waiting, each beside a bare loop of Sleep(5) + GetCursorPos of the same run.
#
#     scripts/bench.sh [wait-ms]        (default 20000; about 80 s in all)
#
# BENCH_BUILD_DIR chooses the build folder (default build/x64, the
# windows-x64 preset's).
#
# Do not use the machine's mouse meanwhile; the display is a virtual one, so
# nothing else moves its cursor.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
build="${BENCH_BUILD_DIR:-build/x64}"
cmake --preset windows-x64 -B "$build" >/dev/null
cmake --build "$build" --target input_bench
exe="$PWD/$build/tests/standin/bench/input_bench.exe"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [[ -d $work/prefix ]]; then WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || { echo "bench: Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$work/display")"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
echo "Creating a Wine prefix (about 10 s)..."
wineboot -i >/dev/null 2>&1
wineserver -w
echo "Running the benchmark..."
echo
wine "$exe" "$@"
