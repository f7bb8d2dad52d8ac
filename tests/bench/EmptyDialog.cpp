// The smallest dialog program: the baseline of the program's memory and start-up
// in the benchmark. It is built with the same compiler, options and static
// runtime as the program, so that what the two share (the runtime, the system
// libraries a dialog needs) cancels out and the difference is the program's own.
#include <windows.h>

namespace {

constexpr int kEmptyDialogId = 100;

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(kEmptyDialogId), nullptr, EmptyDialogProc, 0);
    return 0;
}
