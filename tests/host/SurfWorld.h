// The world of the surfing tests: the main dialog on a fresh simulated desktop
// with a fixed seed, in a fresh working folder, and a browser of another
// program whose address bar the dialog has recorded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Random.h"
#include "res/resource.h"
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
        sim::Win(browser).program = kBrowserProgram;
        const desktop::Rect toolbarRect{frame.left, frame.top + 20, frame.right, frame.top + 60};
        toolbar = sim::AddChild(browser, 100, "", toolbarRect);
        const desktop::Rect barRect{frame.left + 120, frame.top + 30, frame.right - 200, frame.top + 50};
        bar = sim::AddChild(toolbar, 101, "about:blank", barRect);
        surfer->m_rcAddressBar.Record(barRect);
        sim::PlaceCursor(desktop::Point{500, 600});
    }

    // As after a session's first page: the browser captured, one page counted.
    void AsAfterFirstPage() {
        surfer->m_nPages = 1;
        surfer->m_hBrowser = browser;
        surfer->m_nBrowserThread = sim::Win(browser).thread;
        surfer->m_rcBrowser = sim::Win(browser).rect;
        surfer->m_strBrowser = kBrowserProgram;
    }

    // Visits ended since `mark`: each arms the next one.
    static size_t VisitsEndedSince(size_t mark) {
        size_t n = 0;
        for (const sim::Event& e : sim::Only(sim::EventsSince(mark), {sim::Kind::TimerSet}))
            n += e.timerId == TIMER_SURF;
        return n;
    }

    // The dialog's message loop until `n` visits have ended since `mark`,
    // and then for a status tick.
    void RunUntilVisitsEnded(size_t mark, size_t n) {
        while (VisitsEndedSince(mark) < n) surfer->RunFor(1000);
        surfer->RunFor(1000);
    }

    // A window of the user's that stays on top. With `nudging`, the user
    // nudges the mouse once as each glide crosses it, until it closes; the
    // glide then stops over it.
    desktop::Window AddNote(desktop::Rect rect, bool nudging) {
        const desktop::Window note = sim::AddWindow("Note", rect, kNoteThread);
        sim::Win(note).topmost = true;
        if (nudging) {
            nudge_ = [this, note, rect, last = int64_t{-1000}]() mutable {
                if (!sim::Exists(note)) return;
                const desktop::Point p = sim::Cursor();
                const int64_t now = static_cast<int64_t>(sim::NowMs());
                if (p.x >= rect.left && p.x < rect.right - 10 && p.y >= rect.top && p.y < rect.bottom - 10 &&
                    now >= last + 1000) {
                    sim::MoveCursorBy(8, 8);
                    last = now;
                }
                sim::At(sim::NowMs() + 1, nudge_);
            };
            sim::At(sim::NowMs(), nudge_);
        }
        return note;
    }

    // Runs `action` once, at the first event from now on for which `match`
    // holds (looked for every 5 ms of virtual time).
    void AfterEvent(std::function<bool(const sim::Event&)> match, std::function<void()> action) {
        watchSeen_ = sim::Mark();
        watch_ = [this, match, action] {
            const std::vector<sim::Event>& events = sim::Events();
            for (; watchSeen_ < events.size(); ++watchSeen_) {
                if (match(events[watchSeen_])) return action();
            }
            sim::At(sim::NowMs() + 5, watch_);
        };
        sim::At(sim::NowMs(), watch_);
    }

    // The first key event of `kind` for `vk` from now on.
    static std::function<bool(const sim::Event&)> Key(sim::Kind kind, uint8_t vk) {
        return [kind, vk](const sim::Event& e) { return e.kind == kind && e.vk == vk; };
    }

    static constexpr uint32_t kNoteThread = 4000;
    static constexpr const char* kBrowserProgram = "browser.exe";
    static constexpr uint32_t kSeed = 20240611;
    static constexpr const char* kEntry = "www.example.com/a?b=1&c=~x";
    static constexpr const char* kSponsors = "http://www.nimbrel.com/sponsors";

    std::unique_ptr<TestSurfer> surfer;
    desktop::Window browser = nullptr;
    desktop::Window toolbar = nullptr;
    desktop::Window bar = nullptr;

private:
    std::function<void()> nudge_;
    std::function<void()> watch_;
    size_t watchSeen_ = 0;
};
