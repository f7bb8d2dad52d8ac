#include "engine/Browser.h"

#include <algorithm>
#include <cctype>

namespace {

// As the file system compares file names: without regard to case.
bool SameProgram(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

desktop::Window BrowserWindowAt(desktop::Point p) {
    desktop::Window window = desktop::WindowFromPoint(p);
    while (window) {
        const desktop::Window up = desktop::IsChildWindow(window) ? desktop::ParentOf(window)
                                                                  : desktop::OwnerOf(window);
        if (!up) break;
        window = up;
    }
    return window;
}

bool MayBeBrowser(desktop::Window window, const std::string& program) {
    if (!window || desktop::IsOwnWindow(window) || desktop::IsShellWindow(window)) return false;
    const std::string its = desktop::ProgramOf(window);
    return !its.empty() && (program.empty() || SameProgram(its, program));
}

std::string BrowserProgramAt(desktop::Point p) {
    const desktop::Window window = BrowserWindowAt(p);
    return MayBeBrowser(window, std::string()) ? desktop::ProgramOf(window) : std::string();
}
