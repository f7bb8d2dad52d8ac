// The state of the simulated desktop and the desktop:: functions that the
// program calls on it.
#include "tests/sim/SimDesktop.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace sim {
namespace {

constexpr int64_t kDefaultEpoch = 1700000000;  // some day in November 2023
constexpr Rect kDefaultScreen{0, 0, 1024, 768};

struct Scheduled {
    uint64_t at = 0;   // virtual ms, or the number of the cursor read
    uint64_t seq = 0;  // order of scheduling, for actions due together
    std::function<void()> action;
};

struct TimerEntry {
    Timer timer;
    uint64_t order = 0;  // of arming, for timers due together
};

struct State {
    uint64_t nowMs = 0;
    int64_t epoch = kDefaultEpoch;
    Rect screen = kDefaultScreen;
    Rect clip = kDefaultScreen;
    Point cursor;
    uint64_t cursorReads = 0;
    uint64_t seq = 0;
    std::vector<Scheduled> timeScript;
    std::vector<Scheduled> readScript;
    std::vector<Event> events;
    bool mergeSleeps = false;

    std::map<uintptr_t, SimWindow> windows;
    std::vector<Window> zOrder;  // all windows, front first
    uintptr_t nextHandle = 0x10010;
    Window foreground = nullptr;
    Window focus = nullptr;
    bool foregroundLock = false;
    std::function<void(Window)> onForeground;
    std::vector<std::pair<uint32_t, uint32_t>> attached;
    std::map<uint32_t, uint64_t> hungUntil;  // thread -> virtual time it answers again

    std::vector<TimerEntry> timers;
    uint64_t timersArmed = 0;

    std::vector<MessageBoxCall> boxes;
    std::function<int(const MessageBoxCall&)> answer;

    std::map<uint32_t, Layout> layouts;  // threads not on the US layout
    bool capsLock = false;
    std::map<uint32_t, bool> composing;  // threads with an input method that composes
    std::map<uint32_t, bool> aboveUs;    // threads of processes above our integrity level
    CodePage codePage = CodePage::k1252;
    std::map<Window, Activation> activations;
    // Files written or renamed through the seam: whether their data is on the disk.
    std::map<std::string, bool> flushed;
    std::map<std::string, uint64_t> heldUntil;  // files another program holds

    bool watchingUser = false;
    uint32_t userInputs = 0;
    bool modifierHeld = false;
    std::map<Window, Accessible> accessibles;
    uint64_t askedUntil = 0;         // a question left unanswered is out until then
    uint32_t calls = 0;              // calls that sent keys or buttons
    uint64_t takeOnly = UINT64_MAX;  // events of a call that the system takes
};

State& S() {
    static State state;
    return state;
}

uintptr_t Key(Window w) { return reinterpret_cast<uintptr_t>(w); }

SimWindow* Find(Window w) {
    auto it = S().windows.find(Key(w));
    return it == S().windows.end() ? nullptr : &it->second;
}

Event& Record(Kind kind, Window window = nullptr) {
    Event e;
    e.kind = kind;
    e.atMs = S().nowMs;
    e.window = window;
    S().events.push_back(e);
    return S().events.back();
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hiExclusive) {
    if (hiExclusive <= lo) return lo;
    return std::min(std::max(v, lo), hiExclusive - 1);
}

Point ClipToCursorClip(Point p) {
    const Rect& c = S().clip;
    return Point{Clamp(p.x, c.left, c.right), Clamp(p.y, c.top, c.bottom)};
}

bool Contains(const Rect& r, Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Takes out and returns the earliest action of `script` due at or before `at`.
bool TakeDue(std::vector<Scheduled>& script, uint64_t at, Scheduled& out) {
    auto best = script.end();
    for (auto it = script.begin(); it != script.end(); ++it) {
        if (it->at > at) continue;
        if (best == script.end() || it->at < best->at || (it->at == best->at && it->seq < best->seq)) best = it;
    }
    if (best == script.end()) return false;
    out = std::move(*best);
    script.erase(best);
    return true;
}

// Lets the clock run to `target`, doing what the script says on the way at
// the exact time it says.
void RunClockTo(uint64_t target) {
    Scheduled next;
    while (TakeDue(S().timeScript, target, next)) {
        S().nowMs = std::max(S().nowMs, next.at);
        next.action();
    }
    S().nowMs = std::max(S().nowMs, target);
}

bool IsDescendantOrSelf(Window w, Window ancestor) {
    for (SimWindow* sw = Find(w); sw; sw = sw->child ? Find(sw->parent) : nullptr) {
        if (sw->handle == ancestor) return true;
    }
    return false;
}

void BringToTop(Window w) {
    auto& z = S().zOrder;
    z.erase(std::remove(z.begin(), z.end(), w), z.end());
    const SimWindow* sw = Find(w);
    const bool topmost = sw && sw->topmost;
    // In front of every window but those that stay on top, unless it is one.
    auto at = z.begin();
    while (!topmost && at != z.end() && Find(*at) && Find(*at)->topmost) ++at;
    z.insert(at, w);
}

bool Attached(uint32_t from, uint32_t to) {
    const auto& a = S().attached;
    return std::find(a.begin(), a.end(), std::make_pair(from, to)) != a.end();
}

// What the foreground lock allows us.
bool MayTakeForeground() {
    if (!S().foregroundLock) return true;
    SimWindow* fg = Find(S().foreground);
    return !fg || fg->thread == kOurThread || Attached(kOurThread, fg->thread);
}

bool Hung(uint32_t thread) {
    const auto it = S().hungUntil.find(thread);
    return it != S().hungUntil.end() && it->second > S().nowMs;
}

// The program waits until `thread` takes its messages again.
void WaitFor(uint32_t thread) {
    if (!Hung(thread)) return;
    const uint64_t until = S().hungUntil[thread];
    Event& e = Record(Kind::Hang);
    e.toThread = thread;
    e.ms = until == kForever ? UINT32_MAX : static_cast<uint32_t>(until - S().nowMs);
    if (until == kForever) return;
    RunClockTo(until);
}

TimerEntry* FindTimer(Window w, uintptr_t id) {
    for (auto& t : S().timers) {
        if (t.timer.window == w && t.timer.id == id) return &t;
    }
    return nullptr;
}

TimerEntry* NextDueTimer() {
    TimerEntry* best = nullptr;
    for (auto& t : S().timers) {
        if (!best || t.timer.dueMs < best->timer.dueMs ||
            (t.timer.dueMs == best->timer.dueMs && t.order < best->order)) {
            best = &t;
        }
    }
    return best;
}

// One WM_TIMER: the timer's next period starts at the delivery, so that a
// handler that runs longer than a period is followed by one late tick at once.
// A handler that stops or re-arms the timer has the last word.
void Deliver(Window w, uintptr_t id, const TimerHandler& onTimer) {
    TimerEntry* entry = FindTimer(w, id);
    if (!entry) return;
    entry->timer.dueMs = S().nowMs + std::max<uint32_t>(entry->timer.periodMs, 1);
    onTimer(w, id);
}

Activation ActivationOf(Window w) {
    const auto it = S().activations.find(w);
    return it == S().activations.end() ? Activation{} : it->second;
}

void Activate(Window w, Window focus) {
    if (!Find(w)) return;
    S().foreground = w;
    BringToTop(w);
    S().focus = focus;
    if (S().onForeground) S().onForeground(w);
}

// What the platform does when asked to bring `w` to the front: nothing for a
// window that refuses, later for one that lags. False when refused.
bool RequestActivation(Window w, Window focus) {
    const Activation a = ActivationOf(w);
    if (a.refused) return false;
    if (a.lagMs == 0) {
        Activate(w, focus);
    } else {
        At(S().nowMs + a.lagMs, [w, focus] { Activate(w, focus); });
    }
    return true;
}

// A press of the button activates the top-level window under the cursor and
// puts the focus on what was clicked, as the platform does with a click.
void ClickActivates() {
    Window hit = desktop::WindowFromPoint(S().cursor);
    if (!hit) return;
    Window top = hit;
    while (SimWindow* sw = Find(top)) {
        if (!sw->child) break;
        top = sw->parent;
    }
    if (top == S().foreground) {
        S().focus = hit;
    } else {
        RequestActivation(top, hit);
    }
}

std::string DiskPath(const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

bool Held(const std::string& path) {
    const auto it = S().heldUntil.find(DiskPath(path));
    return it != S().heldUntil.end() && it->second > S().nowMs;
}

// The keys go to the foreground window, and what they make to the layout of its thread.
Event& RecordKey(Kind kind) {
    const Window target = desktop::GetForegroundWindow();
    Event& e = Record(kind, target);
    e.layout = target ? LayoutOf(Win(target).thread) : LayoutOf(kOurThread);
    e.capsLock = S().capsLock;
    return e;
}

}  // namespace

// --- Reset and clock --------------------------------------------------------------

void Reset() { S() = State{}; }

uint64_t NowMs() { return S().nowMs; }
void SetEpoch(int64_t seconds) { S().epoch = seconds; }
int64_t Epoch() { return S().epoch; }
void Advance(uint64_t ms) { RunClockTo(S().nowMs + ms); }
void AdvanceTo(uint64_t ms) { RunClockTo(std::max(ms, S().nowMs)); }

// --- Screen and cursor ------------------------------------------------------------

void SetVirtualScreen(Rect r) {
    S().screen = r;
    S().clip = r;
    S().cursor = ClipToCursorClip(S().cursor);
}

void SetCursorClip(Rect r) {
    S().clip = r;
    S().cursor = ClipToCursorClip(S().cursor);
}

void PlaceCursor(Point p) { S().cursor = ClipToCursorClip(p); }
Point Cursor() { return S().cursor; }
uint64_t CursorReads() { return S().cursorReads; }

void MoveCursorBy(int32_t dx, int32_t dy) {
    const Point c = S().cursor;
    PlaceCursor(Point{c.x + dx, c.y + dy});
}

void UserPressesAt(uint64_t atMs) {
    At(atMs, [] {
        if (S().watchingUser) ++S().userInputs;
    });
}

void HoldModifier(bool held) { S().modifierHeld = held; }

// --- The scripted user ----------------------------------------------------------------

void At(uint64_t atMs, std::function<void()> action) {
    S().timeScript.push_back(Scheduled{atMs, S().seq++, std::move(action)});
}

void UserMovesBy(uint64_t atMs, int32_t dx, int32_t dy) {
    At(atMs, [dx, dy] { MoveCursorBy(dx, dy); });
}

void UserMovesTo(uint64_t atMs, Point p) {
    At(atMs, [p] { PlaceCursor(p); });
}

void OnCursorRead(uint64_t n, std::function<void()> action) {
    S().readScript.push_back(Scheduled{S().cursorReads + n, S().seq++, std::move(action)});
}

void UserMovesByBeforeRead(uint64_t n, int32_t dx, int32_t dy) {
    OnCursorRead(n, [dx, dy] { MoveCursorBy(dx, dy); });
}

// --- The record ---------------------------------------------------------------------

const std::vector<Event>& Events() { return S().events; }
size_t Mark() { return S().events.size(); }

std::vector<Event> EventsSince(size_t mark) {
    const auto& all = S().events;
    if (mark >= all.size()) return {};
    return std::vector<Event>(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end());
}

void ClearEvents() { S().events.clear(); }
void MergeRecordedSleeps(bool on) { S().mergeSleeps = on; }

// --- Windows ---------------------------------------------------------------------------

Window AddWindow(const std::string& text, Rect rect, uint32_t thread) {
    State& s = S();
    Window w = reinterpret_cast<Window>(s.nextHandle);
    s.nextHandle += 4;
    SimWindow sw;
    sw.handle = w;
    sw.text = text;
    sw.rect = rect;
    sw.thread = thread;
    if (thread == kOurThread) sw.program = "Veruvo.exe";
    sw.placement.normal = rect;
    s.windows[Key(w)] = sw;
    BringToTop(w);
    return w;
}

Window AddDesktop() {
    const Window desktop = AddWindow("", S().screen);
    Win(desktop).program = kShellProgram;
    auto& z = S().zOrder;
    z.erase(std::remove(z.begin(), z.end(), desktop), z.end());
    z.push_back(desktop);
    return desktop;
}

Window AddChild(Window parent, int id, const std::string& text, Rect rect, bool visible) {
    const SimWindow& p = Win(parent);
    const std::string program = p.program;
    Window w = AddWindow(text, rect, p.thread);
    SimWindow& sw = Win(w);
    sw.program = program;
    sw.child = true;
    sw.parent = parent;
    sw.id = id;
    sw.visible = visible;
    sw.placement = Placement{};
    return w;
}

void Snap(Window w, Rect rect) { Win(w).rect = rect; }

void DestroyWindow(Window w) {
    State& s = S();
    std::vector<Window> doomed;
    for (const auto& entry : s.windows) {
        if (IsDescendantOrSelf(entry.second.handle, w)) doomed.push_back(entry.second.handle);
    }
    for (Window d : doomed) {
        s.windows.erase(Key(d));
        s.zOrder.erase(std::remove(s.zOrder.begin(), s.zOrder.end(), d), s.zOrder.end());
        s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(),
                                      [d](const TimerEntry& t) { return t.timer.window == d; }),
                       s.timers.end());
        if (s.foreground == d) s.foreground = nullptr;
        if (s.focus == d) s.focus = nullptr;
    }
}

SimWindow& Win(Window w) {
    SimWindow* sw = Find(w);
    if (!sw) throw std::logic_error("the simulated desktop has no window " + std::to_string(Key(w)));
    return *sw;
}

bool Exists(Window w) { return Find(w) != nullptr; }

std::string Text(Window w) { return Win(w).text; }

Window Item(Window dialog, int id) { return desktop::DialogItem(dialog, id); }

void SetForeground(Window w) {
    S().foreground = w;
    if (w) BringToTop(w);
}

Window Foreground() { return S().foreground; }
Window Focused() { return S().focus; }

// Like the platform: visible when the window and all its parents are.
bool IsVisible(Window w) {
    SimWindow* sw = Find(w);
    if (!sw) return false;
    for (; sw; sw = sw->child ? Find(sw->parent) : nullptr) {
        if (!sw->visible) return false;
    }
    return true;
}

void SetForegroundLock(bool on) { S().foregroundLock = on; }
void OnForeground(std::function<void(Window)> hook) { S().onForeground = std::move(hook); }
std::vector<std::pair<uint32_t, uint32_t>> AttachedThreads() { return S().attached; }

void HangThread(uint32_t thread, uint64_t untilMs) { S().hungUntil[thread] = untilMs; }

// --- Timers -----------------------------------------------------------------------------

std::vector<Timer> PendingTimers() {
    std::vector<TimerEntry> entries = S().timers;
    std::stable_sort(entries.begin(), entries.end(), [](const TimerEntry& a, const TimerEntry& b) {
        return a.timer.dueMs < b.timer.dueMs;
    });
    std::vector<Timer> out;
    for (const auto& e : entries) out.push_back(e.timer);
    return out;
}

bool TimerPending(uintptr_t id) { return TimerOf(id).id != 0; }

Timer TimerOf(uintptr_t id) {
    for (const auto& t : S().timers) {
        if (t.timer.id == id) return t.timer;
    }
    return Timer{};
}

void FireDueTimers(const TimerHandler& onTimer) {
    std::vector<Timer> due;
    for (const Timer& t : PendingTimers()) {
        if (t.dueMs <= S().nowMs) due.push_back(t);
    }
    for (const Timer& t : due) Deliver(t.window, t.id, onTimer);
}

void RunFor(uint64_t ms, const TimerHandler& onTimer) { RunUntil(S().nowMs + ms, onTimer); }

void RunUntil(uint64_t atMs, const TimerHandler& onTimer) {
    for (TimerEntry* next = NextDueTimer(); next; next = NextDueTimer()) {
        const uint64_t when = std::max(next->timer.dueMs, S().nowMs);
        if (when > atMs) break;
        const Window w = next->timer.window;
        const uintptr_t id = next->timer.id;
        RunClockTo(when);  // the script may stop the timer on the way
        if (FindTimer(w, id) && FindTimer(w, id)->timer.dueMs <= S().nowMs) Deliver(w, id, onTimer);
    }
    AdvanceTo(atMs);
}

// --- Message boxes ----------------------------------------------------------------------------

std::vector<MessageBoxCall> MessageBoxes() { return S().boxes; }
void ClearMessageBoxes() { S().boxes.clear(); }

void AnswerMessageBoxes(std::function<int(const MessageBoxCall&)> handler) { S().answer = std::move(handler); }

void AnswerMessageBoxesWith(int answer) {
    AnswerMessageBoxes([answer](const MessageBoxCall&) { return answer; });
}

// --- Keyboard, code page and activation ------------------------------------------------------

void SetLayout(uint32_t thread, Layout layout) { S().layouts[thread] = layout; }

Layout LayoutOf(uint32_t thread) {
    const auto it = S().layouts.find(thread);
    return it == S().layouts.end() ? Layout::kUs : it->second;
}

void SetCapsLock(bool on) { S().capsLock = on; }
void SetInputMethod(uint32_t thread, bool composing) { S().composing[thread] = composing; }
void SetAboveUs(uint32_t thread, bool above) { S().aboveUs[thread] = above; }
void SetCodePage(CodePage page) { S().codePage = page; }
void SetActivation(Window w, Activation activation) { S().activations[w] = activation; }

// --- Files ---------------------------------------------------------------------------------------

void HoldFile(const std::string& path, uint64_t untilMs) { S().heldUntil[DiskPath(path)] = untilMs; }

void TakeOnly(uint64_t events) { S().takeOnly = events; }

void SetAccessible(Window w, Accessible accessible) { S().accessibles[w] = std::move(accessible); }

void PowerCut() {
    for (const auto& [path, durable] : S().flushed) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (!durable && !error) std::ofstream(path, std::ios::binary) << std::string(size, '\0');
    }
    S().flushed.clear();
}

}  // namespace sim

// --- The seam ---------------------------------------------------------------------------------

namespace desktop {

using namespace sim;

Point GetCursorPos() {
    State& s = S();
    ++s.cursorReads;
    Scheduled next;
    while (TakeDue(s.readScript, s.cursorReads, next)) next.action();
    return s.cursor;
}

void SetCursorPos(Point p) {
    Event& e = Record(Kind::CursorSet);
    e.pos = p;
    S().cursor = ClipToCursorClip(p);
    e.landed = S().cursor;
}

size_t SendKeys(const KeyStroke* strokes, size_t count) {
    const uint32_t call = ++S().calls;
    const size_t taken = static_cast<size_t>(std::min<uint64_t>(count, S().takeOnly));
    for (size_t i = 0; i < taken; ++i) {
        const KeyStroke& k = strokes[i];
        Event& e = RecordKey(k.vk ? (k.up ? Kind::KeyUp : Kind::KeyDown) : (k.up ? Kind::CharUp : Kind::CharDown));
        e.vk = k.vk;
        e.extended = k.extended;
        e.utf16 = k.vk ? 0 : k.unit;
        e.call = call;
    }
    return taken;
}

bool SendClick() {
    const uint32_t call = ++S().calls;
    if (S().takeOnly == 0) return false;
    Record(Kind::LeftDown).call = call;
    ClickActivates();
    if (S().takeOnly < 2) return false;
    Record(Kind::LeftUp).call = call;
    return true;
}

void SendWheel(int32_t delta) { Record(Kind::Wheel).delta = delta; }

void WatchUser(bool on) {
    S().watchingUser = on;
    S().userInputs = 0;
}

uint32_t UserInputs() { return S().userInputs; }
bool ModifierHeld() { return S().modifierHeld; }

// The simulated layouts' handles, made to look like the platform's.
KeyboardLayout LayoutOfWindow(Window w) {
    const SimWindow* sw = Find(w);
    return reinterpret_cast<KeyboardLayout>(static_cast<uintptr_t>(LayoutOf(sw ? sw->thread : kOurThread)) + 1);
}

namespace {
sim::Layout FromHandle(KeyboardLayout layout) {
    return static_cast<sim::Layout>(reinterpret_cast<uintptr_t>(layout) - 1);
}
}  // namespace

int16_t KeyForChar(char16_t c, KeyboardLayout layout) { return sim::KeyForChar(c, FromHandle(layout)); }

KeyMeaning CharOfKey(uint8_t vk, uint8_t shiftState, bool capsLock, KeyboardLayout layout) {
    return sim::CharOfKey(vk, shiftState, capsLock, FromHandle(layout));
}

// Read through the window's thread, as the program does; a thread that hangs
// cannot be asked, and this thread's own state was reset by attachments.
bool CapsLockOf(Window w) {
    const SimWindow* sw = Find(w);
    return sw && !Hung(sw->thread) && S().capsLock;
}

bool LayoutComposes(KeyboardLayout layout) { return FromHandle(layout) == Layout::kJapanese; }

bool InputMethodComposes(Window w) {
    const SimWindow* sw = Find(w);
    return sw && S().composing[sw->thread];
}

bool RunsAboveUs(Window w) {
    const SimWindow* sw = Find(w);
    return !sw || S().aboveUs[sw->thread];
}

bool IsOwnWindow(Window w) {
    const SimWindow* sw = Find(w);
    return sw && sw->thread == kOurThread;
}

// The program waits for the answer, up to the deadline; one that has not come
// by then comes later, and no question is asked before it has.
AccessibleText ReadAccessibleAt(Point p, uint32_t deadlineMs) {
    const auto it = S().accessibles.find(WindowFromPoint(p));
    if (it == S().accessibles.end() || S().nowMs < S().askedUntil) return AccessibleText();
    const Accessible a = it->second;
    const uint64_t asked = S().nowMs;
    RunClockTo(asked + std::min<uint64_t>(a.answerMs, deadlineMs));
    if (a.answerMs > deadlineMs) {
        S().askedUntil = asked + a.answerMs;
        return AccessibleText();
    }
    AccessibleText answer;
    answer.answered = true;
    answer.editable = a.editable;
    answer.hasValue = static_cast<bool>(a.value);
    if (a.value) answer.value = Utf16(a.value());
    return answer;
}

bool IsShellWindow(Window w) {
    const SimWindow* sw = Find(w);
    return sw && sw->program == kShellProgram;
}

std::string ProgramOf(Window w) {
    const SimWindow* sw = Find(w);
    return sw ? sw->program : std::string();
}

std::u16string AnsiToUtf16(const std::string& bytes) { return sim::AnsiToUtf16(bytes, S().codePage); }

void Sleep(uint32_t ms) {
    std::vector<Event>& events = S().events;
    if (S().mergeSleeps && !events.empty() && events.back().kind == Kind::Sleep) {
        events.back().ms += ms;
    } else {
        Record(Kind::Sleep).ms = ms;
    }
    RunClockTo(S().nowMs + ms);
}

int64_t Now() { return S().epoch + static_cast<int64_t>(S().nowMs / 1000); }

Window GetForegroundWindow() { return Find(S().foreground) ? S().foreground : nullptr; }

bool SetForegroundWindow(Window w) {
    // Sharing a thread's input, the switch waits for it to let go of the activation.
    for (const auto& pair : std::vector<std::pair<uint32_t, uint32_t>>(S().attached)) {
        if (pair.first == kOurThread) WaitFor(pair.second);
    }
    Record(Kind::Foreground, w);
    const size_t index = S().events.size() - 1;  // the hook of an activation may record more
    if (!Find(w) || !MayTakeForeground()) return false;
    const bool granted = RequestActivation(w, IsDescendantOrSelf(S().focus, w) ? S().focus : w);
    S().events[index].on = granted;
    return granted;
}

uint32_t CurrentThreadId() { return kOurThread; }

uint32_t WindowThreadId(Window w) {
    SimWindow* sw = Find(w);
    return sw ? sw->thread : 0;
}

bool AttachThreadInput(uint32_t from, uint32_t to, bool attach) {
    Event& e = Record(Kind::Attach);
    e.fromThread = from;
    e.toThread = to;
    e.on = attach;
    auto& pairs = S().attached;
    const auto pair = std::make_pair(from, to);
    if (from == to || from == 0 || to == 0) return false;  // the platform refuses these
    if (attach) {
        if (!Attached(from, to)) pairs.push_back(pair);
        return true;
    }
    if (!Attached(from, to)) return false;
    pairs.erase(std::remove(pairs.begin(), pairs.end(), pair), pairs.end());
    return true;
}

bool IsMinimized(Window w) {
    SimWindow* sw = Find(w);
    return sw && sw->placement.showCmd == kShowMinimized;
}

// Posted: a thread that hangs restores the window once it takes its messages again.
void RestoreWindow(Window w) {
    Record(Kind::Restore, w);
    if (SimWindow* sw = Find(w)) {
        sw->placement.showCmd = kShowNormal;
        sw->rect = sw->placement.normal;
    }
}

bool IsHungWindow(Window w) {
    SimWindow* sw = Find(w);
    return !sw || Hung(sw->thread);
}

Window WindowFromPoint(Point p) {
    Window hit = nullptr;
    for (Window w : S().zOrder) {  // front first: the first top-level window that holds p
        const SimWindow& sw = *Find(w);
        if (sw.child || !sw.visible || sw.placement.showCmd == kShowMinimized) continue;
        if (Contains(sw.rect, p)) {
            hit = w;
            break;
        }
    }
    // Then down through the children that hold p, the frontmost at each level.
    for (bool deeper = hit != nullptr; deeper;) {
        deeper = false;
        for (Window w : S().zOrder) {
            const SimWindow& sw = *Find(w);
            if (sw.child && sw.parent == hit && sw.visible && Contains(sw.rect, p)) {
                hit = w;
                deeper = true;
                break;
            }
        }
    }
    return hit;
}

Window ParentOf(Window w) {
    SimWindow* sw = Find(w);
    return sw && sw->child ? sw->parent : nullptr;
}

Window OwnerOf(Window w) {
    SimWindow* sw = Find(w);
    return sw && !sw->child ? sw->owner : nullptr;
}

bool IsChildWindow(Window w) {
    SimWindow* sw = Find(w);
    return sw && sw->child;
}

bool GetWindowRect(Window w, Rect& out) {
    SimWindow* sw = Find(w);
    if (!sw) return false;
    out = sw->rect;
    return true;
}

Rect VirtualScreen() { return S().screen; }
Rect CursorClip() { return S().clip; }

Window DialogItem(Window dialog, int id) {
    for (const auto& entry : S().windows) {
        const SimWindow& sw = entry.second;
        if (sw.child && sw.parent == dialog && sw.id == id) return sw.handle;
    }
    return nullptr;
}

void SetText(Window w, const std::string& text) {
    Record(Kind::TextSet, w).text = text;
    if (SimWindow* sw = Find(w)) {
        sw->text = text;
        sw->textSelected = false;
    }
}

std::string GetText(Window w) {
    SimWindow* sw = Find(w);
    return sw ? sw->text : std::string();
}

void Show(Window w, bool visible) {
    Record(Kind::ShowSet, w).on = visible;
    if (SimWindow* sw = Find(w)) sw->visible = visible;
}

void Focus(Window w) {
    Record(Kind::FocusSet, w);
    if (Find(w)) S().focus = w;
}

void SelectAllText(Window edit) {
    Record(Kind::SelectAll, edit);
    if (SimWindow* sw = Find(edit)) sw->textSelected = true;
}

void RepaintNow(Window w) {
    Record(Kind::Repaint, w);
    if (SimWindow* sw = Find(w)) ++sw->repaints;
}

void SetTimer(Window w, uintptr_t id, uint32_t ms) {
    Event& e = Record(Kind::TimerSet, w);
    e.timerId = id;
    e.ms = ms;
    TimerEntry* entry = FindTimer(w, id);
    if (!entry) {
        S().timers.push_back(TimerEntry{});
        entry = &S().timers.back();
    }
    entry->timer = Timer{w, id, ms, S().nowMs + std::max<uint32_t>(ms, 1)};
    entry->order = ++S().timersArmed;
}

void KillTimer(Window w, uintptr_t id) {
    Event& e = Record(Kind::TimerKill, w);
    e.timerId = id;
    auto& timers = S().timers;
    const auto gone = std::remove_if(timers.begin(), timers.end(), [w, id](const TimerEntry& t) {
        return t.timer.window == w && t.timer.id == id;
    });
    e.on = gone != timers.end();  // whether it was running
    timers.erase(gone, timers.end());
}

int ShowMessageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    Event& e = Record(Kind::MessageBox, owner);
    e.text = text;
    e.caption = caption;
    e.flags = flags;
    const MessageBoxCall call{owner, text, caption, flags, S().nowMs};
    S().boxes.push_back(call);
    return S().answer ? S().answer(call) : static_cast<int>(kIdOk);
}

std::string AppName() { return "Veruvo"; }

// The host tests keep their files in real temporary folders, so these act on
// the real file system, and keep what a power cut would do to them.
FileResult RenameReplacing(const std::string& from, const std::string& to) {
    if (Held(from) || Held(to)) return FileResult::kBusy;
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (error) return FileResult::kFailed;
    S().flushed[DiskPath(to)] = S().flushed[DiskPath(from)];
    S().flushed.erase(DiskPath(from));
    return FileResult::kDone;
}

FileResult WriteFileDurably(const std::string& path, const std::string& data) {
    if (Held(path)) return FileResult::kBusy;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!(file << data) || !file.flush()) return FileResult::kFailed;
    S().flushed[DiskPath(path)] = true;
    return FileResult::kDone;
}

std::string FullPath(const std::string& path) { return DiskPath(path); }

bool FileMissing(const std::string& path) {
    std::error_code error;
    return std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
}

}  // namespace desktop
