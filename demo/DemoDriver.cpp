// The user of the demonstration: starts the demo browser and the program on
// one desktop, calibrates the program to the browser's address bar the way a
// person does (the cursor on each corner, the space bar on the calibration
// button), traces it, presses Start, lets the program surf for the minutes
// asked for, and then takes the mouse back, which ends the session with the
// program's summary box. It acts only through real input and plain Win32
// looks at the windows, as the end-to-end tests do (tests/e2e).
//
//   DemoDriver.exe --folder DIR --program EXE --browser EXE --proxy HOST:PORT
//                  --minutes N --report FILE --summary FILE [--bar-log FILE]
//
// DIR is the program's working folder (with WebSites.txt in it); FILE paths
// are written as the run goes: the report a line per step with the time of
// day, the summary the box's caption and text, and the browser's log of its
// address bar read and entered (demo/Browser.cpp).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "demo/DemoBrowser.h"
#include "res/resource.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// The browser opens on the home page of the demonstration's web.
constexpr const char* kHomePage = "http://www.example.com/";
// A visit lasts up to about four minutes; waiting longer means a fault.
constexpr Millis kWholeVisit{330000};
// A visit glides to the bar and clicks in its first second or so; the user
// takes the mouse later than that, so that the click lands where it was aimed.
constexpr Millis kIntoTheVisit{3000};
// A person's pace between two steps, long enough for the pictures of the run
// (a screenshot a second) to show each one.
constexpr Millis kBeat{1500};
// How long the summary box stays up for the pictures before OK is pressed.
constexpr Millis kSummaryShown{5000};

// The run's report: one line per step, with the time of day, flushed at once
// so that the script can show it while the run goes on.
class Report {
public:
    explicit Report(const std::string& path) : m_file(path, std::ios::app) {}
    bool Open() const { return m_file.is_open(); }
    void Line(const std::string& text) {
        std::time_t now = std::time(nullptr);
        char stamp[16] = "";
        std::strftime(stamp, sizeof stamp, "%H:%M:%S", std::localtime(&now));
        m_file << stamp << "  " << text << std::endl;
    }

private:
    std::ofstream m_file;
};

struct Options {
    std::string folder, program, browser, proxy, report, summary, barLog;
    double minutes = 3;
};

std::string Narrow(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

bool ParseOptions(Options& options) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return false;
    std::map<std::string, std::string> named;
    for (int i = 1; i + 1 < argc; i += 2) named[Narrow(argv[i])] = Narrow(argv[i + 1]);
    LocalFree(argv);
    options.folder = named["--folder"];
    options.program = named["--program"];
    options.browser = named["--browser"];
    options.proxy = named["--proxy"];
    options.report = named["--report"];
    options.summary = named["--summary"];
    options.barLog = named["--bar-log"];
    if (!named["--minutes"].empty()) options.minutes = std::atof(named["--minutes"].c_str());
    return !options.folder.empty() && !options.program.empty() && !options.browser.empty() &&
           !options.proxy.empty() && !options.report.empty() && !options.summary.empty() && options.minutes > 0;
}

std::string Seconds(long long ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
    return text;
}

// Waits without acting, this thread's messages still handled.
void Pause(Millis length) {
    WaitUntil([] { return false; }, length);
}

// A window's caption as the system keeps it, in UTF-8 for the report (page
// titles may hold characters beyond the ANSI code page).
std::string CaptionOf(HWND window) {
    wchar_t text[512] = L"";
    const int length = InternalGetWindowText(window, text, 512);
    if (length <= 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

// A hand's move: a short glide rather than a jump, so that the pictures of the
// run show where the pointer went.
bool GlideTo(POINT target) {
    const POINT from = CursorNow();
    constexpr int kSteps = 30;
    for (int i = 1; i < kSteps; ++i) {
        SetCursorPos(from.x + (target.x - from.x) * i / kSteps, from.y + (target.y - from.y) * i / kSteps);
        Sleep(15);
    }
    return PutCursor(target);
}

// The demo browser, started with the proxy, and ended when the run is over.
class BrowserProcess {
public:
    BrowserProcess(const std::string& exe, const std::string& proxy, const std::string& barLog) {
        std::string command = "\"" + exe + "\" " + proxy + " " + kHomePage;
        if (!barLog.empty()) command += " \"" + barLog + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            m_process = {};
    }
    ~BrowserProcess() {
        if (!m_process.hProcess) return;
        if (m_window) PostMessageA(m_window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(m_process.hProcess, 0);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    // Its main window, once it is visible; null if it does not come.
    HWND WaitForWindow() {
        WaitUntil([this] {
            HWND found = FindWindowA(DEMO_BROWSER_CLASS, nullptr);
            DWORD owner = 0;
            if (found) GetWindowThreadProcessId(found, &owner);
            if (!found || owner != m_process.dwProcessId || !IsWindowVisible(found)) return false;
            m_window = found;
            return true;
        });
        return m_window;
    }

private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

class Demo {
public:
    Demo(const Options& options, Report& report) : m_options(options), m_report(report) {}
    int Run();

private:
    bool Fail(const std::string& why) {
        m_report.Line("FAILED: " + why);
        return false;
    }
    HWND Control(int id) const { return ControlOf(m_dialog, id); }

    bool OpenTheWindows();
    bool Calibrate();
    bool Trace();
    bool PressStart();
    bool PutTheBrowserInFront();
    void Surf();
    bool TakeTheMouse();
    void CloseTheProgram();

    const Options& m_options;
    Report& m_report;
    std::unique_ptr<BrowserProcess> m_browserProcess;
    std::unique_ptr<Program> m_program;
    HWND m_browser = nullptr;
    HWND m_dialog = nullptr;
    Clock::time_point m_started;
};

int Demo::Run() {
    const bool done = OpenTheWindows() && Calibrate() && Trace() && PressStart() && PutTheBrowserInFront();
    if (done) Surf();
    const bool ended = done && TakeTheMouse();
    CloseTheProgram();
    m_report.Line(ended ? "The demonstration is over." : "The demonstration stopped early.");
    return ended ? 0 : 1;
}

// The browser on the left, the program's dialog moved to the right, as a user
// arranges two windows to watch both.
bool Demo::OpenTheWindows() {
    // Starting the desktop puts the cursor in the middle of the screen, and a
    // window that appears under the pointer may pull it back there later: the
    // cursor goes aside first, once the desktop is up.
    GetDesktopWindow();
    if (!PutCursor(kRestingPlace)) return Fail("the cursor cannot be moved");

    m_browserProcess = std::make_unique<BrowserProcess>(m_options.browser, m_options.proxy, m_options.barLog);
    m_browser = m_browserProcess->WaitForWindow();
    if (!m_browser) return Fail("the demo browser did not open: " + m_options.browser);
    m_report.Line("The demo browser is open on " + std::string(kHomePage) + ", its proxy " + m_options.proxy + ".");

    const auto launched = Clock::now();
    m_program = std::make_unique<Program>(m_options.folder, m_options.program);
    if (!m_program->Started()) return Fail(m_program->StartError());
    m_dialog = m_program->WaitForMainDialog();
    if (!m_dialog) return Fail("the program's main dialog did not show; " + m_program->Describe());
    m_report.Line("Veruvo.exe started; its main dialog showed after the splash, " + Seconds(ElapsedMs(launched)) +
                  " after launch.");

    const RECT dialog = RectOf(m_dialog);
    const int width = dialog.right - dialog.left;
    SetWindowPos(m_dialog, nullptr, GetSystemMetrics(SM_CXSCREEN) - width - 12, 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

// The cursor on each corner of the bar in turn, and the space bar on the
// calibration button each time.
bool Demo::Calibrate() {
    HWND bar = GetDlgItem(m_browser, demo::kBarId);
    const RECT r = RectOf(bar);
    const POINT topLeft{r.left + 3, r.top + 3};
    const POINT bottomRight{r.right - 4, r.bottom - 4};
    if (!BringToFront(m_dialog) || !FocusOn(m_dialog, IDC_SET_COORDS))
        return Fail("cannot focus the calibration button");

    PressKey(VK_SPACE);
    if (!Becomes(Control(IDC_SET_COORDS), kRecordTopLeft)) return Fail("the calibration did not begin");
    Pause(kBeat);
    GlideTo(topLeft);
    if (!Becomes(Control(IDC_TLC_POS), Corner(topLeft)))
        return Fail("the top-left read-out did not follow the cursor");
    Pause(kBeat);
    PressKey(VK_SPACE);
    if (!Becomes(Control(IDC_SET_COORDS), kRecordBottomRight)) return Fail("the top-left corner was not taken");
    GlideTo(bottomRight);
    if (!Becomes(Control(IDC_BRC_POS), Corner(bottomRight)))
        return Fail("the bottom-right read-out did not follow the cursor");
    Pause(kBeat);
    PressKey(VK_SPACE);
    if (!Becomes(Control(IDC_SET_COORDS), kSetCoordinates)) return Fail("the bottom-right corner was not taken");
    m_report.Line("Calibrated to the browser's address bar: top left " + ToString(topLeft) + ", bottom right " +
                  ToString(bottomRight) + " (space bar on each corner).");

    std::ifstream options(m_options.folder + "\\options.ini");
    std::string line, saved;
    while (std::getline(options, line)) saved += (saved.empty() ? "" : ", ") + line.substr(0, line.find('\r'));
    m_report.Line("options.ini now holds: " + saved);
    return true;
}

// The calibration leaves the focus on the trace button: one more space bar
// shows the rectangle with the cursor.
bool Demo::Trace() {
    GlideTo(kRestingPlace);
    HWND trace = Control(IDC_TRACE);
    if (FocusIn(m_dialog) != trace && !FocusOn(m_dialog, IDC_TRACE))
        return Fail("cannot focus the trace button");
    Pause(kBeat);
    const auto start = Clock::now();
    PressKey(VK_SPACE);
    if (!WaitUntil([&] { return StoredTextOf(trace) == kTraceRunning; }))
        return Fail("the trace did not begin");
    if (!WaitUntil([&] { return StoredTextOf(trace) == kTraceIdle && Answers(m_dialog); }))
        return Fail("the trace did not end");
    m_report.Line("Traced the address bar (" + Seconds(ElapsedMs(start)) + ").");
    return true;
}

// No time limit ("0" hours): the session runs until the user takes the mouse.
bool Demo::PressStart() {
    if (!BringToFront(m_dialog)) return Fail("cannot bring the main dialog to the front");
    if (!TypeInto(m_dialog, IDC_HOURS, "0")) return Fail("the hours field did not take \"0\"");

    Pause(kBeat);
    const POINT start = CentreOf(Control(IDOK));
    GlideTo(start);
    Pause(kBeat);
    ClickAt(start);
    m_started = Clock::now();
    if (!WaitUntil([&] { return StoredTextOf(Control(IDOK)) == kStopCaption; })) return Fail("Start did not take");
    m_report.Line("Pressed \"" + std::string(kStartCaption) +
                  "\" with 0 hours (no limit): the program traces the bar and starts surfing.");
    if (!WaitUntil([&] { return Answers(m_dialog); })) return Fail("the trace after Start did not end");
    return true;
}

// The user goes back to the browser. Under Wine, activation by a click lands
// a moment later, and keys sent before it would reach the window before; the
// program's first page does not bring the browser forward itself.
bool Demo::PutTheBrowserInFront() {
    const POINT page = CentreOf(GetDlgItem(m_browser, demo::kPageId));
    GlideTo(page);
    ClickAt(page);
    if (!WaitUntil([&] { return GetForegroundWindow() == m_browser; }, Millis(10000)) && !BringToFront(m_browser))
        return Fail("the browser did not come to the front");
    GlideTo(kRestingPlace);
    m_report.Line("Clicked into the browser to have it in front; hands off the mouse now.");
    return true;
}

// Hands off for the minutes asked for, noting what the browser shows and when
// the program is busy with a visit: its thread then answers no messages, but
// for a moment now and then (under Wine it answers while its own key goes
// through its watch of the user), so a visit is over only once the thread has
// answered for a while.
void Demo::Surf() {
    const auto until = m_started + std::chrono::milliseconds(static_cast<long long>(m_options.minutes * 60000));
    constexpr Millis kAnsweringBetweenVisits{3000};
    std::string caption = CaptionOf(m_browser);
    bool visiting = false;
    int visits = 0;
    auto lastBusy = Clock::now() - kAnsweringBetweenVisits;
    while (Clock::now() < until && !m_program->MessageBox() && !m_program->HasExited()) {
        if (!Answers(m_dialog)) lastBusy = Clock::now();
        const bool busy = Clock::now() - lastBusy < kAnsweringBetweenVisits;
        if (busy != visiting) {
            visiting = busy;
            if (busy) ++visits;
            m_report.Line(busy ? "The program begins visit " + std::to_string(visits) + "."
                               : "Visit " + std::to_string(visits) + " is over; the next comes in 5 to 20 s.");
        }
        const std::string now = CaptionOf(m_browser);
        if (now != caption) {
            caption = now;
            m_report.Line("The browser shows \"" + caption + "\".");
        }
        Pause(Millis(250));
    }
}

// As a user ends a session: moves the mouse while the program is visiting a
// page, and keeps moving it until the summary box comes.
bool Demo::TakeTheMouse() {
    m_report.Line("Time is up: the user takes the mouse once a visit is under way.");
    auto busySince = Clock::now();
    bool inVisit = WaitUntil(
        [&] {
            if (m_program->MessageBox()) return true;
            if (Answers(m_dialog)) busySince = Clock::now();
            return Clock::now() - busySince >= kIntoTheVisit;
        },
        kWholeVisit);
    if (!inVisit) return Fail("no visit came to interrupt");

    const auto moved = Clock::now();
    HWND box = e2e::TakeTheMouse(*m_program, Millis(60000));
    if (!box) return Fail("no summary box after the user took the mouse; " + m_program->Describe());

    const BoxContent content = ContentOf(box);
    m_report.Line("Moved the mouse; the program stopped and showed its summary " + Seconds(ElapsedMs(moved)) +
                  " later, after a session of " + Seconds(ElapsedMs(m_started)) + ".");
    std::ofstream(m_options.summary, std::ios::trunc) << content.caption << "\n" << content.text << "\n";
    std::string oneLine = content.text;
    for (char& c : oneLine)
        if (c == '\n') c = ' ';
    m_report.Line("Summary box \"" + content.caption + "\": " + oneLine);

    Pause(kSummaryShown);
    const POINT ok = CentreOf(GetDlgItem(box, IDOK));
    GlideTo(ok);
    ClickAt(ok);
    if (!WaitUntil([&] { return !m_program->MessageBox(); }, Millis(10000))) CloseMessageBox(box);
    return true;
}

// Esc in the main dialog ends the program; the browser goes with the driver.
void Demo::CloseTheProgram() {
    if (!m_program || m_program->HasExited()) return;
    if (m_dialog && !m_program->MessageBox() && BringToFront(m_dialog)) PressKey(VK_ESCAPE);
    if (!m_program->WaitForExit(Millis(10000))) m_program->Terminate();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Options options;
    if (!ParseOptions(options)) {
        MessageBoxA(nullptr,
                    "Usage: DemoDriver.exe --folder DIR --program EXE --browser EXE --proxy HOST:PORT "
                    "--minutes N --report FILE --summary FILE",
                    "DemoDriver", MB_OK);
        return 2;
    }
    Report report(options.report);
    if (!report.Open()) return 3;
    try {
        Demo demo(options, report);
        return demo.Run();
    } catch (const std::exception& e) {
        report.Line(std::string("FAILED: ") + e.what());
        return 1;
    }
}
