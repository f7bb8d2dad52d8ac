// The bare loop as a process of its own, so that its CPU time is read from
// outside exactly as the program's is. It runs until it is ended.
#include <windows.h>
#include <mmsystem.h>

#include "tests/bench/BareLoop.h"

int main() {
    timeBeginPeriod(1);  // as the program does
    for (;;) bench::BareSlices(1000);
}
