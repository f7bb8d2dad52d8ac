#include "tests/e2e/WindowQuery.h"

namespace e2e {

namespace {

// Long enough for a program that merely pumps messages slowly, short enough
// that a thread stuck in a synchronous visit does not stall the test.
constexpr UINT kAnswerTimeoutMs = 2000;

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied))
        return StoredTextOf(window);
    return std::string(text, copied);
}

std::string StoredTextOf(HWND window) {
    wchar_t text[1024] = L"";
    const int length = InternalGetWindowText(window, text, 1024);
    return Narrow(std::wstring(text, static_cast<size_t>(length > 0 ? length : 0)));
}

bool Becomes(HWND window, const std::string& text, Millis timeout) {
    return WaitUntil([&] { return TextOf(window) == text; }, timeout);
}

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &ignored) != 0;
}

HWND ControlOf(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

std::vector<HWND> ChildrenOf(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

int IdOf(HWND control) {
    // A template's id -1 reads back as 0xFFFF from a classic template and as -1
    // from an extended one; the low word tells them alike.
    const int id = GetDlgCtrlID(control) & 0xFFFF;
    return id == 0xFFFF ? -1 : id;
}

bool HasStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & style) == style;
}

bool HasExStyle(HWND window, LONG_PTR exStyle) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & exStyle) == exStyle;
}

HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

Selection SelectionOf(HWND edit) {
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &packed);
    return {LOWORD(packed), HIWORD(packed)};
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(HWND window) {
    const RECT rect = RectOf(window);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::vector<DWORD> ScreenPixelsOf(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels;
    if (bits) {
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int CountScreenPixels(const RECT& area, COLORREF colour) {
    // A 32-bit DIB holds blue, green, red, unused: a COLORREF with red and blue swapped.
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    for (DWORD pixel : ScreenPixelsOf(area))
        if ((pixel & 0xFFFFFF) == wanted) ++count;
    return count;
}

HWND BoxTextOf(HWND box) {
    for (HWND child : ChildrenOf(box))
        if (IdOf(child) == -1 && ClassOf(child) == "Static") return child;
    return nullptr;
}

BoxContent ContentOf(HWND box) {
    HWND text = BoxTextOf(box);
    return {StoredTextOf(box), text ? TextOf(text) : std::string()};
}

void CloseMessageBox(HWND box) {
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

}  // namespace e2e
