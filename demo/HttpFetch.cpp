#include "demo/HttpFetch.h"

#include <winhttp.h>

namespace demo {
namespace {

constexpr wchar_t kUserAgent[] = L"VeruvoDemoBrowser/1.0";
// The one server is on this machine: anything slower than this is a fault.
constexpr int kConnectMs = 3000;
constexpr int kAnswerMs = 8000;
// More than any page of ours; a bigger body is cut here.
constexpr size_t kMaxBody = 1 << 20;

class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() {
        if (handle_) WinHttpCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

std::wstring Problem(const wchar_t* what) {
    const DWORD code = GetLastError();
    std::wstring text = what;
    switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return text + L": the proxy does not answer";
    case ERROR_WINHTTP_TIMEOUT:
        return text + L": no answer in time";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return text + L": unknown host";
    default:
        return text + L" (error " + std::to_wstring(code) + L")";
    }
}

Fetched Failed(const wchar_t* what) {
    Fetched result;
    result.problem = Problem(what);
    return result;
}

// A part of a cracked address; a part that is absent comes back empty.
std::wstring Part(const wchar_t* start, DWORD length) {
    return start ? std::wstring(start, length) : std::wstring();
}

}  // namespace

Fetched FetchPage(const std::wstring& url, const std::wstring& proxy) {
    // Lengths that are not zero, with no buffers: the parts are pointed out
    // inside `url` itself.
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return Failed(L"Not a web address");
    if (parts.nScheme != INTERNET_SCHEME_HTTP) {
        Fetched result;
        result.problem = L"This browser shows plain http:// pages only";
        return result;
    }
    const std::wstring host = Part(parts.lpszHostName, parts.dwHostNameLength);
    // The path with its query; the request line needs at least "/".
    std::wstring object = Part(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          Part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty() || object[0] != L'/') object.insert(0, L"/");

    Handle session(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(),
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed(L"No HTTP client");
    WinHttpSetTimeouts(session.get(), kConnectMs, kConnectMs, kAnswerMs, kAnswerMs);
    Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return Failed(L"Cannot reach the server");
    Handle request(WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request) return Failed(L"Cannot make the request");
    if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return Failed(L"The page did not come");

    Fetched result;
    DWORD size = sizeof result.status;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &result.status, &size, WINHTTP_NO_HEADER_INDEX);
    char chunk[8192];
    DWORD read = 0;
    while (result.body.size() < kMaxBody && WinHttpReadData(request.get(), chunk, sizeof chunk, &read) && read > 0)
        result.body.append(chunk, read);
    result.ok = true;
    return result;
}

}  // namespace demo
