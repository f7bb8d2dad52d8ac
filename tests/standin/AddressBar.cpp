#include "tests/standin/AddressBar.h"

#include <algorithm>
#include <cwctype>

namespace standin {

namespace {

std::wstring Lower(const std::wstring& text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
    return lower;
}

// Where each form of an address that may be matched begins: the whole of it,
// after its scheme, and after a "www." that follows the scheme.
struct FormStarts {
    size_t at[3] = {0, 0, 0};
    size_t count = 1;

    explicit FormStarts(const std::wstring& lower) {
        const size_t scheme = lower.find(L"://");
        const size_t host = scheme == std::wstring::npos ? 0 : scheme + 3;
        if (host != 0) at[count++] = host;
        if (lower.compare(host, 4, L"www.") == 0) at[count++] = host + 4;
    }
};

bool IsTypedCharacter(WPARAM c) { return c >= 0x20 && c != 0x7F; }

}  // namespace

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

AddressBar::AddressBar(const std::vector<std::wstring>& history, Completed completed)
    : m_completed(std::move(completed)) {
    m_history.reserve(history.size());
    for (const std::wstring& address : history) m_history.push_back(Entry{address, Lower(address)});
}

LRESULT AddressBar::Handle(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam,
                           const std::function<LRESULT()>& byDefault) {
    (void)lParam;
    switch (msg) {
    case WM_LBUTTONDOWN:
        m_focusingClick = GetFocus() != bar;
        return byDefault();
    case WM_LBUTTONUP: {
        const LRESULT result = byDefault();
        if (m_focusingClick) SendMessageW(bar, EM_SETSEL, 0, -1);
        m_focusingClick = false;
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_BACK || wParam == VK_DELETE) m_suppressed = true;
        return byDefault();
    case WM_CHAR: {
        if (!IsTypedCharacter(wParam)) return byDefault();
        m_suppressed = false;
        const LRESULT result = byDefault();
        Complete(bar);
        return result;
    }
    default:
        return byDefault();
    }
}

void AddressBar::Visited(const std::wstring& address) {
    const std::wstring lower = Lower(address);
    m_history.erase(std::remove_if(m_history.begin(), m_history.end(),
                                   [&](const Entry& e) { return e.lower == lower; }),
                    m_history.end());
    m_history.insert(m_history.begin(), Entry{address, lower});
}

// Only with the caret at the end of the text and nothing selected: a
// character typed into the middle of an address completes nothing.
void AddressBar::Complete(HWND bar) {
    if (m_suppressed) return;
    DWORD start = 0, end = 0;
    SendMessageW(bar, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring typed = TextOf(bar);
    if (start != end || end != typed.size()) return;
    const std::wstring rest = CompletionOf(typed);
    if (rest.empty()) return;
    SendMessageW(bar, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(rest.c_str()));
    SendMessageW(bar, EM_SETSEL, typed.size(), typed.size() + rest.size());
    if (m_completed) m_completed(typed, typed + rest);
}

std::wstring AddressBar::CompletionOf(const std::wstring& typed) const {
    if (typed.empty()) return {};
    const std::wstring lower = Lower(typed);
    for (const Entry& entry : m_history) {
        const FormStarts forms(entry.lower);
        for (size_t i = 0; i < forms.count; ++i) {
            const size_t start = forms.at[i];
            if (entry.lower.size() - start > lower.size() && entry.lower.compare(start, lower.size(), lower) == 0)
                return entry.address.substr(start + lower.size());
        }
    }
    return {};
}

}  // namespace standin
