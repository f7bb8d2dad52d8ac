// The world of the surfing tests: the main dialog on a fresh simulated desktop
// with a fixed seed, in a fresh working folder, and a browser of another
// program whose address bar the dialog has recorded.
#pragma once

#include <memory>
#include <string>

#include "engine/Random.h"
#include "tests/host/TempFolder.h"
#include "tests/sim/SimDesktop.h"
#include "tests/sim/TestSurfer.h"

class SurfTest : public TempFolderTest {
protected:
    static constexpr desktop::Rect kFrame{40, 30, 980, 720};

    void SetUp() override {
        TempFolderTest::SetUp();
        // There from the start, so that a visit's draws do not depend on
        // whether an earlier visit created it.
        WriteFile("WebSites.txt", std::string(kEntry) + "\n");
        Build(kSeed);
    }

    // Starts the world again from nothing: desktop, generator, dialog, browser.
    // The files in the working folder stay.
    void Build(uint32_t seed, desktop::Rect frame = kFrame) {
        sim::Reset();
        SeedRandom(seed);
        surfer = std::make_unique<TestSurfer>();
        browser = sim::AddWindow("Browser", frame);
        const desktop::Rect toolbarRect{frame.left, frame.top + 20, frame.right, frame.top + 60};
        toolbar = sim::AddChild(browser, 100, "", toolbarRect);
        const desktop::Rect barRect{frame.left + 120, frame.top + 30, frame.right - 200, frame.top + 50};
        bar = sim::AddChild(toolbar, 101, "about:blank", barRect);
        surfer->m_rcAddressBar = barRect;
        surfer->SaveBoundaries();
        sim::PlaceCursor(desktop::Point{500, 600});
    }

    // As after a session's first page: the browser captured, one page counted.
    void AsAfterFirstPage() {
        surfer->m_nPages = 1;
        surfer->m_hBrowser = browser;
        surfer->m_nBrowserThread = sim::Win(browser).thread;
        surfer->m_rcBrowser = sim::Win(browser).rect;
    }

    static constexpr uint32_t kSeed = 20240611;
    static constexpr const char* kEntry = "www.example.com/a?b=1&c=~x";
    static constexpr const char* kSponsors = "http://www.nimbrel.com/sponsors";

    std::unique_ptr<TestSurfer> surfer;
    desktop::Window browser = nullptr;
    desktop::Window toolbar = nullptr;
    desktop::Window bar = nullptr;
};
