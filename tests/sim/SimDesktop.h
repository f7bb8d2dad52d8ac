// The simulated desktop of the host tests: the host's implementation of every
// function of framework/Desktop.h, and the scenario API through which a test
// sets the desktop up, plays the user and reads what the program did.
//
// Time is virtual: desktop::Sleep advances a clock of milliseconds and returns
// at once, and whatever the scripted user does at a virtual time happens while
// the clock passes that time. Everything the program does to the desktop
// (input, sleeps, window changes, timers, message boxes) is recorded in one
// ordered list of events.
//
// A test starts from sim::Reset() (SimTest.h's fixture does it): a 1024 x 768
// screen, the cursor at (0, 0), clock 0, no windows, no events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Desktop.h"

namespace sim {

using desktop::Point;
using desktop::Rect;
using desktop::Window;

// The thread that runs the program's own windows; desktop::CurrentThreadId().
constexpr uint32_t kOurThread = 1000;
// The thread of windows created without one: another program's.
constexpr uint32_t kOtherThread = 2000;

// Show states of a placement (the platform's SW_ values).
enum : uint32_t {
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
};

// Where a top-level window is shown: its show state, and the rectangle it
// has when shown normally. A window snapped to half or a quarter of the
// screen, or maximised vertically, lies elsewhere than its placement says.
struct Placement {
    uint32_t showCmd = kShowNormal;
    Rect normal;
};

// The keyboard layouts of the simulated desktop (see "Keyboard" below).
enum class Layout {
    kUs,
    kUsInternational,  // ' " ` ^ ~ are dead keys; AltGr makes a few accented letters
    kGerman,           // QWERTZ: ^ ´ ` are dead keys; AltGr (Ctrl+Alt) makes @ { [ ] } \ ~ | and the euro sign
    kJapanese,         // the US keys, but an input method's layout: it may compose what is typed
};

void Reset();

// --- Clock -------------------------------------------------------------------
uint64_t NowMs();                 // virtual milliseconds since Reset
void SetEpoch(int64_t seconds);   // desktop::Now() is epoch + NowMs() / 1000
int64_t Epoch();
// Time passing while the program does nothing (not a Sleep of the program):
// runs the script up to the new time, records nothing.
void Advance(uint64_t ms);
void AdvanceTo(uint64_t ms);

// --- Screen and cursor ---------------------------------------------------------
// The bounding rectangle of all monitors; also resets the cursor clip to it.
// Monitors left of or above the primary one give negative left or top.
void SetVirtualScreen(Rect r);
void SetCursorClip(Rect r);       // what desktop::CursorClip() answers; confines the cursor
// Puts the cursor somewhere without recording anything (test set-up). Like
// every cursor position, it is clipped to the cursor clip rectangle.
void PlaceCursor(Point p);
Point Cursor();
uint64_t CursorReads();           // desktop::GetCursorPos calls since Reset

// --- The scripted user -----------------------------------------------------------
// At virtual time `atMs` (applied while the clock passes it, so inside a Sleep
// of the program; at once by the next clock advance when `atMs` is already due).
void At(uint64_t atMs, std::function<void()> action);
void UserMovesBy(uint64_t atMs, int32_t dx, int32_t dy);
void UserMovesTo(uint64_t atMs, Point p);
// Just before the n-th desktop::GetCursorPos from now (1 = the next) returns:
// for what happens between two reads with no time between them.
void OnCursorRead(uint64_t n, std::function<void()> action);
void UserMovesByBeforeRead(uint64_t n, int32_t dx, int32_t dy);
// The user's own moves, unlike the program's, are not recorded as events.
void MoveCursorBy(int32_t dx, int32_t dy);
// The user presses a key or a mouse button, or turns the wheel, at `atMs`:
// counted while the program watches the user (desktop::WatchUser).
void UserPressesAt(uint64_t atMs);
// The user holds Shift, Ctrl, Alt or a Windows key down, or lets go.
void HoldModifier(bool held);

// --- What the program did ----------------------------------------------------------
enum class Kind {
    // input
    LeftDown, LeftUp, Wheel, KeyDown, KeyUp, CharDown, CharUp, CursorSet,
    // time
    Sleep,
    // windows
    Foreground, Attach, Restore, TextSet, ShowSet, FocusSet, SelectAll, Repaint,
    TimerSet, TimerKill, MessageBox,
    // the program waited for a thread that did not take its messages
    Hang,
};

struct Event {
    Kind kind = Kind::Sleep;
    uint64_t atMs = 0;        // virtual time when it happened
    Window window = nullptr;  // Foreground, Restore, TextSet ... MessageBox (owner); keys: the foreground window
    uint8_t vk = 0;           // KeyDown, KeyUp
    bool extended = false;    // KeyDown, KeyUp
    uint16_t utf16 = 0;       // CharDown, CharUp
    int32_t delta = 0;        // Wheel
    Point pos;                // CursorSet: where the program asked for
    Point landed;             // CursorSet: where the cursor went (clipped)
    uint32_t ms = 0;          // Sleep; TimerSet (period)
    uintptr_t timerId = 0;    // TimerSet, TimerKill
    std::string text;         // TextSet, MessageBox
    std::string caption;      // MessageBox
    uint32_t flags = 0;       // MessageBox
    uint32_t call = 0;        // keys, characters, buttons: the number of the call to the system that sent it
    bool on = false;          // ShowSet (visible), Attach (attach), Foreground (succeeded)
    uint32_t fromThread = 0;  // Attach
    uint32_t toThread = 0;    // Attach, Hang
    Layout layout = Layout::kUs;  // keys and characters: the layout of the window that got them
    bool capsLock = false;        // keys and characters: Caps Lock then
};

const std::vector<Event>& Events();
// A position in the record, to look at what happened after it.
size_t Mark();
std::vector<Event> EventsSince(size_t mark);
void ClearEvents();
// For long runs: while on, a Sleep right after a Sleep lengthens it instead of
// adding an event, as MergeSleeps does afterwards. Off after Reset.
void MergeRecordedSleeps(bool on);

// Filters, each keeping the order. Without an argument, over all events.
bool IsInput(Kind k);
std::vector<Event> Only(const std::vector<Event>& events, std::initializer_list<Kind> kinds);
std::vector<Event> InputEvents(const std::vector<Event>& events = Events());
std::vector<Event> KeyEvents(const std::vector<Event>& events = Events());  // keys and characters
std::vector<Point> Moves(const std::vector<Event>& events = Events());      // CursorSet, as asked
// Differences between successive cursor sets, the first one from `from`.
std::vector<Point> Steps(Point from, const std::vector<Event>& events = Events());
std::vector<uint32_t> Sleeps(const std::vector<Event>& events = Events());
uint64_t SleptMs(const std::vector<Event>& events = Events());
// Runs of consecutive Sleep events merged into one (a wait of the program).
std::vector<Event> MergeSleeps(const std::vector<Event>& events);
// Times at which `window` got a text, with the texts.
std::vector<Event> TextsOf(Window window, const std::vector<Event>& events = Events());

// The key and character events as one line, e.g. "+Shift +End* -End* -Shift":
// + press, - release, * the extended-key flag, U+20AC a Unicode character.
std::string KeyLog(const std::vector<Event>& events = Events());
// The characters that the keys and Unicode events produce, as UTF-8, in order,
// typos included: each key in the layout and with the Caps Lock of its event, a
// dead key combined with the character after it; keys that make no character
// (Backspace, Return, navigation, chords with Ctrl or Alt alone) add nothing.
std::string TypedText(const std::vector<Event>& events = Events());
// What a single-line edit field holds after the key events, starting from
// `initial` with the caret at its end: Home, End, Shift+Home/End, Delete,
// Backspace and characters (as TypedText makes them) edit it; each Return
// submits its text. Texts are UTF-8.
//
// With `complete`, the field behaves like today's address bars: a click
// selects all of it (on the button's release); after each character typed at
// the end of the text, it appends what `complete` answers for the text so far
// and leaves that completion selected. Return submits the whole text.
struct FieldState {
    std::string text;
    std::vector<std::string> submitted;
};
using Completion = std::function<std::string(const std::string& typed)>;
FieldState ReplayIntoField(const std::vector<Event>& events = Events(), const std::string& initial = "",
                           const Completion& complete = nullptr);
std::string KeyName(uint8_t vk);
std::string Describe(const Event& e);                 // one line, e.g. "1205 ms: key down End*"
std::string Describe(const std::vector<Event>& events);  // one line per event

// --- Windows ------------------------------------------------------------------------
struct SimWindow {
    Window handle = nullptr;
    std::string text;
    std::string program = "other.exe";  // its process's executable; ours is "Veruvo.exe"
    Rect rect;                  // screen coordinates, also for child windows
    bool visible = true;
    bool child = false;         // has WS_CHILD
    bool topmost = false;       // stays in front of every window that is not
    Window parent = nullptr;    // of a child
    Window owner = nullptr;     // of a top-level window
    int id = 0;                 // control id of a child
    uint32_t thread = kOtherThread;
    Placement placement;        // a restore puts a minimised window back there
    bool textSelected = false;  // SelectAllText since the last SetText
    int repaints = 0;           // RepaintNow calls
};

// A top-level window of another program (thread kOtherThread unless given),
// shown normally with `rect` as its normal placement; on top of the others.
// Snap moves it to `rect` as the platform's snapping does: its placement stays.
Window AddWindow(const std::string& text, Rect rect, uint32_t thread = kOtherThread);
// The shell's program, whose windows are the desktop, the taskbar and the
// folder windows; and its desktop, behind every other window, the whole screen.
constexpr const char* kShellProgram = "explorer.exe";
Window AddDesktop();
// A child control, in front of its parent's earlier children.
Window AddChild(Window parent, int id, const std::string& text, Rect rect, bool visible = true);
void Snap(Window w, Rect rect);
void DestroyWindow(Window w);   // with its children; the handle then names no window
// The record of a window; for reading and for changing it behind the program's back.
SimWindow& Win(Window w);
bool Exists(Window w);
std::string Text(Window w);

// The program's main dialog as its template makes it: thread kOurThread, the
// fourteen controls with their ids, texts and visibility (IDC_STATUS hidden),
// centred on the primary screen.
Window CreateMainDialog();
Window Item(Window dialog, int id);

// Makes a window the foreground window without recording anything.
void SetForeground(Window w);
Window Foreground();
Window Focused();
// Like the platform's IsWindowVisible: the window and all its parents are shown.
bool IsVisible(Window w);
// The platform's foreground lock: while on, desktop::SetForegroundWindow
// succeeds only for a caller whose input is attached to the thread of the
// foreground window (or when that window is ours, or there is none).
void SetForegroundLock(bool on);
// Called after every desktop::SetForegroundWindow that succeeded, with its
// window (for instance to play a platform that restores a minimised window).
void OnForeground(std::function<void(Window)> hook);
// Thread pairs attached now, as (from, to).
std::vector<std::pair<uint32_t, uint32_t>> AttachedThreads();

// --- Threads that stop taking their messages -------------------------------------
constexpr uint64_t kForever = UINT64_MAX;
// From now until virtual time `untilMs`, `thread` takes no messages. A call of
// the program that waits for it (SetForegroundWindow while attached to it)
// records a Hang and lets the clock run until then; for ever, the Hang is recorded and the call returns.
// desktop::IsHungWindow tells of such a thread's windows.
void HangThread(uint32_t thread, uint64_t untilMs = kForever);

// --- Timers ---------------------------------------------------------------------------
struct Timer {
    Window window = nullptr;
    uintptr_t id = 0;
    uint32_t periodMs = 0;
    uint64_t dueMs = 0;     // virtual time of the next tick
};
std::vector<Timer> PendingTimers();   // in order of due time
bool TimerPending(uintptr_t id);
Timer TimerOf(uintptr_t id);          // the pending timer with this id (id 0 when none)
using TimerHandler = std::function<void(Window, uintptr_t)>;
// Delivers one tick to each timer that is due now, as the message loop would;
// a delivered timer is due again one period after the delivery.
void FireDueTimers(const TimerHandler& onTimer);
// The message loop for `ms` of virtual time: the clock runs to each timer's
// due time (running the script on the way) and the tick is delivered; a
// handler that sleeps pushes the loop on, and a timer that fell due meanwhile
// ticks once, late, as the platform coalesces missed ticks.
void RunFor(uint64_t ms, const TimerHandler& onTimer);
void RunUntil(uint64_t atMs, const TimerHandler& onTimer);

// --- Message boxes -------------------------------------------------------------------------
struct MessageBoxCall {
    Window owner = nullptr;
    std::string text;
    std::string caption;
    uint32_t flags = 0;
    uint64_t atMs = 0;
};
std::vector<MessageBoxCall> MessageBoxes();
void ClearMessageBoxes();
// The user's answer to every message box (kIdOk unless told); the handler may
// also let time pass, as a user reading the box does.
void AnswerMessageBoxes(std::function<int(const MessageBoxCall&)> handler);
void AnswerMessageBoxesWith(int answer);

// --- Keyboard, code page and activation ---------------------------------------------------
// What decides where keys go and what they make: the keyboard layout of each
// thread, Caps Lock, the ANSI code page, and windows that come to the front
// late or never. All as the platform has it after Reset: every thread on the
// US layout, Caps Lock off, code page 1252, every window activated at once by
// a click on it.
void SetLayout(uint32_t thread, Layout layout);
Layout LayoutOf(uint32_t thread);
void SetCapsLock(bool on);
// An input method open in native conversion mode on the thread's windows:
// it would compose the keys typed there.
void SetInputMethod(uint32_t thread, bool composing);
// The process of the thread runs at a higher integrity level than ours (an
// elevated browser), or its level cannot be read.
void SetAboveUs(uint32_t thread, bool above);
enum class CodePage { k1252, k932 };  // 932: Japanese, double-byte (a small part of it)
void SetCodePage(CodePage page);

// How a top-level window takes the front, whether a click on it or
// desktop::SetForegroundWindow asks: never (an elevated program's window, the
// lock screen's), or `lagMs` after being asked (a busy program).
struct Activation {
    bool refused = false;
    uint64_t lagMs = 0;
};
void SetActivation(Window w, Activation activation);

// What VkKeyScanExW and ToUnicodeEx answer for a layout (see framework/Desktop.h).
int16_t KeyForChar(char16_t c, Layout layout);
desktop::KeyMeaning CharOfKey(uint8_t vk, uint8_t shiftState, bool capsLock, Layout layout);
// What a dead key's character followed by `c` makes: the two combined (a
// space leaves the dead key's own), or 0 when they do not combine, in which
// case both come out.
char16_t Compose(char16_t dead, char16_t c);
std::u16string AnsiToUtf16(const std::string& bytes, CodePage page);
// UTF-16 (surrogate pairs joined), or code points, to UTF-8, for reading what
// was typed.
std::string Utf8(const std::u16string& text);
std::string Utf8(const std::u32string& text);
std::u16string Utf16(const std::string& utf8);

// --- Files ----------------------------------------------------------------------------------------
// A power cut, as NTFS may come out of it: a file renamed into place before
// its data was written through (desktop::WriteFileDurably) holds as many zeros.
void PowerCut();
// Another program holds the file until virtual time `untilMs`: writing it, or
// renaming onto it, is refused as busy meanwhile.
void HoldFile(const std::string& path, uint64_t untilMs = kForever);

// --- Accessibility ------------------------------------------------------------------------------------
// What a window says of itself to accessibility clients (desktop::ReadAccessibleAt
// at a point where it is the window in front); a window not told of says nothing.
struct Accessible {
    bool editable = true;
    uint64_t answerMs = 0;  // how long an answer takes; one past the deadline is none
    std::function<std::string()> value;  // UTF-8; none without
};
void SetAccessible(Window w, Accessible accessible);

// --- Input the system refuses ----------------------------------------------------------------------
// From now on the system takes only the first `events` events of each call
// (as when input is blocked); kForever takes all, as after Reset.
void TakeOnly(uint64_t events);

}  // namespace sim
