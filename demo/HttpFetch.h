// Fetching one page over HTTP with the operating system's own client
// (WinHTTP), through a named proxy.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

struct Fetched {
    bool ok = false;         // an answer came, whatever its status
    DWORD status = 0;        // the HTTP status code
    std::string body;        // the body's bytes, as sent
    std::wstring problem;    // why no answer came, for the user
};

// GETs `url` (http:// only) through the proxy "host:port". Blocks until the
// answer is in or a timeout of a few seconds ran out.
Fetched FetchPage(const std::wstring& url, const std::wstring& proxy);

}  // namespace demo
