#include "tests/bench/SurfSession.h"

#include "res/resource.h"

namespace bench {

namespace {

constexpr const char* kSite = "www.example.com/";

}  // namespace

SurfSession::SurfSession(const std::string& standinExe) {
    SetCursorPos(e2e::kRestingPlace.x, e2e::kRestingPlace.y);
    m_browser = std::make_unique<standin::Process>("normal", standinExe);
    if (!m_browser->Ready()) {
        Fail("the stand-in browser did not start from " + standinExe);
        return;
    }
    // The bar's corners, a little inside, as a user points at them.
    RECT bar = e2e::RectOf(m_browser->Bar());
    InflateRect(&bar, -4, -4);
    if (!m_folder.Write("options.ini", e2e::OptionsFileOf(bar)) ||
        !m_folder.Write("WebSites.txt", std::string(kSite) + "\r\n"))
        Fail("cannot write the working folder " + m_folder.Path());
}

bool SurfSession::Fail(const std::string& why) {
    if (m_error.empty()) m_error = why;
    return false;
}

bool SurfSession::StartProgram() {
    m_program = std::make_unique<e2e::Program>(m_folder.Path());
    if (!m_program->Started()) return Fail(m_program->StartError());
    m_dialog = m_program->WaitForMainDialog();
    return m_dialog || Fail("the main dialog did not show; " + m_program->Describe());
}

bool SurfSession::StartSurfing() {
    if (!e2e::BringToFront(m_dialog)) return Fail("the main dialog cannot be brought to the front");
    // Enter in the hours field, the way a user runs the Start/Stop command.
    e2e::TypeInto(m_dialog, IDC_HOURS, "0");
    e2e::PressKey(VK_RETURN);
    HWND startStop = e2e::ControlOf(m_dialog, IDOK);
    // The trace runs first; the dialog answers again when it is over.
    if (!e2e::WaitUntil(
            [&] { return e2e::StoredTextOf(startStop) == e2e::kStopCaption && e2e::Answers(m_dialog); }))
        return Fail("Start did not take: the button says \"" + e2e::StoredTextOf(startStop) + "\"");
    return m_browser->PutInFrontWithBarFocused() || Fail("the stand-in cannot be put in front");
}

bool SurfSession::Idle() const {
    return e2e::StoredTextOf(e2e::ControlOf(m_dialog, IDOK)) == e2e::kStartCaption;
}

size_t SurfSession::Enters() const {
    return standin::OfKind(m_browser->Events(), standin::Kind::Enter).size();
}

bool SurfSession::WaitForEnters(size_t count, e2e::Millis timeout) {
    return e2e::WaitUntil([&] { return Enters() >= count; }, timeout) ||
           Fail("no page was entered in the stand-in's bar within " + std::to_string(timeout.count() / 1000) + " s");
}

HWND SurfSession::SummaryBox() const {
    HWND box = FindWindowA("#32770", e2e::kInterruptedCaption);
    DWORD owner = 0;
    if (box) GetWindowThreadProcessId(box, &owner);
    return box && owner == m_program->Id() ? box : nullptr;
}

HWND SurfSession::TakeTheMouse() {
    HWND box = e2e::TakeTheMouse(*m_program);
    if (!box) Fail("no summary after the user took the mouse; " + m_program->Describe());
    return box;
}

bool SurfSession::CloseSummary(HWND box) {
    e2e::CloseMessageBox(box);
    return e2e::WaitUntil([&] { return !m_program->MessageBox() && e2e::Answers(m_dialog); }) ||
           Fail("the summary did not close; " + m_program->Describe());
}

}  // namespace bench
