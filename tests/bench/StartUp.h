// A program's start-up, from just before its process is created to its dialog
// shown, and its private bytes once it has settled.
#pragma once

#include <string>

namespace bench {

struct StartUp {
    // Milliseconds after the process was created; -1 when it did not happen.
    double splashShownMs = -1;  // the program's splash
    double splashGoneMs = -1;
    double visibleMs = -1;  // the main dialog, or the empty dialog
    double privateBytes = -1;
    std::string costSource;  // where the memory figure comes from
};

// One run of `exe` in `folder`. `isProgram` tells the program, whose main
// dialog is known by its caption and comes after its splash, from the empty
// dialog, whose one dialog is all there is.
StartUp MeasureStartUp(const std::string& exe, const std::string& folder, bool isProgram);

}  // namespace bench
