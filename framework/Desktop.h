// The one seam between the portable code (store/, engine/, the portable half
// of ui/ and framework/) and the operating system. The program links
// Desktop_win.cpp; the host tests link a simulated desktop instead.
// Nothing here includes <windows.h>.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace desktop {

// A window of any process. Null means none.
using Window = void*;

// Screen coordinates in pixels, origin at the top-left of the primary display.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point& o) const { return !(*this == o); }
};

// Same member order and meaning as the platform's RECT.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// Virtual-key codes used by the engine (the platform's values).
enum : uint8_t {
    kVkBack = 0x08,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,
    kVkEscape = 0x1B,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkDelete = 0x2E,
};

// Message box flags and results (the platform's values).
enum : uint32_t {
    kMbOk = 0x00,
    kMbIconExclamation = 0x30,
    kIdOk = 1,
};

// --- Cursor and synthetic input -------------------------------------------
// All of our input carries a mark of ours, by which the system's record of
// input tells it from the user's (see UserInputs).
Point GetCursorPos();
void SetCursorPos(Point p);
// One key event: a virtual key, or (vk 0) a UTF-16 unit of a character that
// no key of the layout makes.
struct KeyStroke {
    uint8_t vk = 0;
    char16_t unit = 0;
    bool up = false;
    bool extended = false;
};
// Sends the strokes in one call, so that no other input comes between them.
// The number that the system took: all of them, or fewer when it refused.
size_t SendKeys(const KeyStroke* strokes, size_t count);
// The left button pressed and released where the cursor is, in one call;
// false when the system did not take both.
bool SendClick();
void SendWheel(int32_t delta);   // one event; positive turns up, away from the user

// --- The user's own input ------------------------------------------------------
// While watched, the system's input is counted as it arrives, whichever
// window it goes to: each key press, mouse button press and wheel turn that
// does not carry our mark. Movements are not counted (the cursor tells of
// them). WatchUser(true) starts the count at 0; unwatched, it stays 0.
void WatchUser(bool on);
uint32_t UserInputs();
// Whether a Shift, Ctrl, Alt or Windows key is down now. Between our own
// calls none of ours is, so one that is down is the user's.
bool ModifierHeld();

// --- Keyboard layouts and text ---------------------------------------------------
// The keys that make a character are those of the layout of the window that
// gets them, which need not be ours.
using KeyboardLayout = void*;  // the platform's HKL
// GetKeyboardLayout of the thread of `w`; our own when there is no window.
KeyboardLayout LayoutOfWindow(Window w);
// VkKeyScanExW: low byte the key, high byte the shift state (1 Shift, 2 Ctrl,
// 4 Alt); -1 when no key of the layout makes the character.
int16_t KeyForChar(char16_t c, KeyboardLayout layout);
// What a press of `vk` with that shift state makes in the layout, with Caps
// Lock on or off, as ToUnicodeEx tells it: one character, none (c 0, also
// for more than one), or a dead key's (dead), which waits to combine with the
// next character.
struct KeyMeaning {
    char16_t c = 0;
    bool dead = false;
};
KeyMeaning CharOfKey(uint8_t vk, uint8_t shiftState, bool capsLock, KeyboardLayout layout);
// Caps Lock as the thread of `w` sees it, which makes the keys typed there.
// Our own thread takes no keyboard input while the browser has it, and
// attaching thread input resets its key state, so ours may be stale.
bool CapsLockOf(Window w);
// Whether an input method is open in native conversion mode on the window
// that has the keyboard in the thread of `w`: keys typed by virtual key would
// go into its composition and come out converted.
bool InputMethodComposes(Window w);
// Whether the layout is one of a language written through an input method
// (Chinese, Japanese, Korean), or is an input method itself: its keys may
// compose whatever the input method answers when asked.
bool LayoutComposes(KeyboardLayout layout);
// Whether the process of `w` runs at a higher integrity level than ours, or
// its level cannot be read. The platform drops our input to such a window
// without a word.
bool RunsAboveUs(Window w);
// A window of this process: never one that a visit's keys may go to.
bool IsOwnWindow(Window w);
// The desktop, the taskbar, or any window of the shell's program (whose
// folder windows show the user's files): never a browser.
bool IsShellWindow(Window w);
// The file name of the executable of the window's process ("browser.exe"), in
// UTF-8; empty when it cannot be read.
std::string ProgramOf(Window w);
// Through the system's ANSI code page, a character (one byte or two) at a time.
std::u16string AnsiToUtf16(const std::string& bytes);

// --- What another program's element says of itself -------------------------
// The accessibility (Active Accessibility) of the element at a point of the
// screen: whether it answered at all, whether it is a text that takes typing
// (its role is text, and it is neither read-only nor a password's), and its
// value, which for an address bar is what it holds while it is edited.
struct AccessibleText {
    bool answered = false;
    bool editable = false;
    bool hasValue = false;
    std::u16string value;
};
// Asked on a thread of its own, so that a program that hangs holds up that
// thread and not ours: what has not come within `deadlineMs` is no answer,
// and while such a question is still out, no other is asked.
AccessibleText ReadAccessibleAt(Point p, uint32_t deadlineMs);

// --- Time ------------------------------------------------------------------
void Sleep(uint32_t ms);
int64_t Now();  // calendar time, whole seconds since the epoch

// --- Windows of any process --------------------------------------------------
Window GetForegroundWindow();
bool SetForegroundWindow(Window w);
uint32_t CurrentThreadId();
uint32_t WindowThreadId(Window w);
bool AttachThreadInput(uint32_t from, uint32_t to, bool attach);
bool IsMinimized(Window w);
// Restores a minimised window, posted to its thread, never waited for.
void RestoreWindow(Window w);
Window WindowFromPoint(Point p);
Window ParentOf(Window w);   // the parent of a child window
Window OwnerOf(Window w);    // the owner of a top-level window
bool IsChildWindow(Window w);  // has the WS_CHILD style
bool GetWindowRect(Window w, Rect& out);
Rect VirtualScreen();        // the bounding rectangle of all monitors
Rect CursorClip();           // GetClipCursor: the whole screen unless confined

// --- Windows whose thread may hang ---------------------------------------------
// True when the window's thread has stopped taking its messages, or does not
// answer within a moment; asking never waits longer than that moment.
bool IsHungWindow(Window w);

// --- Files ---------------------------------------------------------------------
// Asked here rather than of std::filesystem, whose share of the static runtime
// (paths, code conversion, locales) would be most of the executable's size.
enum class FileResult {
    kDone,
    kBusy,    // another program holds the file, or access was denied: may pass in a moment
    kFailed,
};
FileResult RenameReplacing(const std::string& from, const std::string& to);  // `to` may exist
// Creates or truncates the file and writes `data` through to the disk, so that
// a power cut after it is renamed into place cannot leave zeros in its stead.
FileResult WriteFileDurably(const std::string& path, const std::string& data);
bool FileMissing(const std::string& path);  // nothing of that name; false when it cannot be told
std::string FullPath(const std::string& path);  // for telling the user which file

// --- Our own dialogs and their controls ---------------------------------------
Window DialogItem(Window dialog, int id);
void SetText(Window w, const std::string& text);
std::string GetText(Window w);
void Show(Window w, bool visible);
void Focus(Window w);
void SelectAllText(Window edit);
void RepaintNow(Window w);  // paints at once, although no messages are pumped
void SetTimer(Window w, uintptr_t id, uint32_t ms);
void KillTimer(Window w, uintptr_t id);
int ShowMessageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags);
std::string AppName();  // the executable's file name without its extension
// A text of the program's string table (res/Texts.h), by its IDS_ id.
std::string LoadText(uint32_t id);

}  // namespace desktop
