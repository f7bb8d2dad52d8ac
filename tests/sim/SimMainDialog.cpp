// The program's main dialog on the simulated desktop, as its template
// IDD_SURF_DIALOG makes it, with the template's texts; and the program's
// string table.
#include "res/Texts.h"
#include "tests/sim/SimDesktop.h"

namespace sim {
namespace {

struct Control {
    int id;
    const char* text;
    int x, y, width, height;  // dialog units
    bool visible;
};

// In template order, which is also the tab order.
constexpr Control kControls[] = {
    {IDOK, TEXT_START, 7, 11, 144, 28, true},
    {IDC_SET_COORDS, TEXT_SET_COORDINATES, 7, 64, 144, 11, true},
    {IDC_TLC_POS, "", 37, 79, 44, 11, true},
    {IDC_BRC_POS, "", 107, 79, 44, 11, true},
    {-1, TEXT_LOCATION, 7, 42, 104, 10, true},
    {IDC_TRACE, TEXT_TRACE, 7, 52, 144, 11, true},
    {IDC_STOP_AFTER_LABEL, TEXT_STOP_AFTER, 19, 94, 36, 8, true},
    {IDC_HOURS, "", 56, 92, 24, 12, true},
    {IDC_HOURS_LABEL, TEXT_HOURS, 86, 94, 22, 8, true},
    {IDC_STATUS, "", 17, 92, 123, 8, false},
    {IDC_EMAIL_LINK, TEXT_EMAIL_LINK, 7, 1, 45, 8, true},
    {IDC_WEB_LINK, TEXT_WEB_LINK, 88, 1, 63, 8, true},
    {IDC_TLC_LABEL, TEXT_TLC, 19, 79, 14, 8, true},
    {IDC_BRC_LABEL, TEXT_BRC, 85, 79, 16, 8, true},
};

// Dialog units of an 8-point MS Shell Dlg dialog at 96 DPI, and its frame.
int32_t PixelsX(int du) { return du * 6 / 4; }
int32_t PixelsY(int du) { return du * 13 / 8; }
constexpr int32_t kBorder = 3;
constexpr int32_t kCaption = 22;

}  // namespace

Window CreateMainDialog() {
    const Rect screen = desktop::VirtualScreen();
    const int32_t width = PixelsX(158) + 2 * kBorder;
    const int32_t height = PixelsY(111) + kCaption + 2 * kBorder;
    // DS_CENTER: centred on the primary display, which starts at (0, 0).
    const int32_t left = (screen.right - width) / 2;
    const int32_t top = (screen.bottom - height) / 2;
    const Window dialog = AddWindow(TEXT_TITLE, Rect{left, top, left + width, top + height}, kOurThread);

    const int32_t clientLeft = left + kBorder;
    const int32_t clientTop = top + kBorder + kCaption;
    for (const Control& c : kControls) {
        const Rect r{clientLeft + PixelsX(c.x), clientTop + PixelsY(c.y), clientLeft + PixelsX(c.x + c.width),
                     clientTop + PixelsY(c.y + c.height)};
        AddChild(dialog, c.id, c.text, r, c.visible);
    }
    return dialog;
}

}  // namespace sim

std::string desktop::LoadText(uint32_t id) {
#define TEXT_OF(row, text) \
    if (id == row) return text;
    VERUVO_STRING_TABLE(TEXT_OF)
#undef TEXT_OF
    return std::string();
}
