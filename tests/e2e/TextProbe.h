// Whether the texts of a dialog fit their controls, measured inside the
// program's own process (RunInProcess, RemoteTools.h) by the library TextProbe.dll.
//
// A font handle (WM_GETFONT) means something only in the process that made it,
// and the program's pixels are its own: a process of another DPI awareness sees
// its windows scaled. So the probe runs there, and this block is the whole of
// what passes between it and the test. The block has one layout in 32-bit and
// 64-bit builds (no pointers, four-byte alignment), so that a 64-bit test can
// probe the 32-bit program with the 32-bit build of the library.
#pragma once

#include <windows.h>

namespace e2e {

// One text in one control, in the control's own font and the program's pixels.
struct TextFit {
    int id;                // the control's id
    wchar_t text[64];      // the text; for a control's own text, filled in by the probe
    int roomWidth = 0;     // where the control draws its text
    int roomHeight = 0;
    int neededWidth = 0;   // what the text takes there: a one-line control's text its
    int neededHeight = 0;  // width, a wrapping static's text also its wrapped height
    int lineWidth = 0;     // the text on one line
    bool wraps = false;

    bool Fits() const { return neededWidth <= roomWidth && (!wraps || neededHeight <= roomHeight); }
};

struct TextProbe {
    // In: the dialog (a window handle has 32 significant bits in either
    // architecture), and texts to measure in given controls besides their own.
    LONG dialog;
    int extraCount;
    TextFit extras[8];
    // Out: the dialog's size and the scale that the program sees, and the own
    // text of every visible control that has one, in z-order.
    int dpi;
    SIZE window;
    SIZE client;
    int count;
    TextFit fits[24];

    HWND Dialog() const { return static_cast<HWND>(LongToHandle(dialog)); }
};
static_assert(alignof(TextProbe) == 4, "the block must have one layout in 32-bit and 64-bit builds");

// The library's entry: a thread procedure given the block, in the program's memory.
constexpr const char* kTextProbeEntry = "MeasureTexts";

}  // namespace e2e
