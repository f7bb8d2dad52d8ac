// An address bar that behaves like those of today's browsers, made of a plain
// single-line EDIT control whose window procedure hands its messages here:
//
// - A click that gives the bar the keyboard focus selects all of its text,
//   once the button is released.
// - After each character typed at the end of the text, the bar completes it
//   inline from its history and leaves the completed part selected, so that
//   the next character typed replaces it, and Enter would open all of it.
// - Backspace or Delete suppresses completion until the next character typed,
//   so that a deletion is not undone at once.
//
// An address completes the text typed when the text begins it, ignoring case,
// either whole or without its scheme ("http://") and then without "www.": so
// "www.ex" and "ex" both complete "http://www.example.com/". The most recent
// address that completes the text wins. What Enter does is the owner's: it
// reads the bar's text, and tells the bar what was visited.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace standin {

// A window's whole text, as its own window procedure gives it.
std::wstring TextOf(HWND window);

class AddressBar {
public:
    // What the bar showed after completing: the text typed, then the whole text.
    using Completed = std::function<void(const std::wstring& typed, const std::wstring& shown)>;

    // `history`: the addresses visited before, the most recent first.
    explicit AddressBar(const std::vector<std::wstring>& history = {}, Completed completed = nullptr);

    // Handles one message of the bar's window procedure; `byDefault` is the
    // EDIT control's own handling, which this calls when and as it needs.
    LRESULT Handle(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& byDefault);

    // The address opened from the bar becomes the most recent of the history.
    void Visited(const std::wstring& address);

private:
    struct Entry {
        std::wstring address;
        std::wstring lower;  // for matching
    };

    void Complete(HWND bar);
    // What completes `typed`, without `typed` itself; empty when nothing does.
    std::wstring CompletionOf(const std::wstring& typed) const;

    std::vector<Entry> m_history;
    Completed m_completed;
    bool m_focusingClick = false;
    bool m_suppressed = false;
};

}  // namespace standin
