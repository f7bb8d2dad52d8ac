// The demo browser's window as the demonstration's driver finds it: its class
// and the ids of its controls.
//
// The browser is started as
//     DemoBrowser.exe PROXY [ADDRESS]
// PROXY is "host:port" of the HTTP proxy that every page is fetched through;
// ADDRESS, when given, is loaded at once.
#pragma once

#define DEMO_BROWSER_CLASS "VeruvoDemoBrowser"

namespace demo {

constexpr int kBarId = 100;     // the address bar, a single-line EDIT
constexpr int kPageId = 101;    // the page's text, a read-only multi-line EDIT
constexpr int kStatusId = 102;  // a status line under the page

}  // namespace demo
