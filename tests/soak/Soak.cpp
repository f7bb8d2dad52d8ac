// A soak of the surf sessions in virtual time, built with AddressSanitizer and
// UndefinedBehaviorSanitizer: one dialog runs a thousand sessions and ten
// thousand page visits on the simulated desktop, ended in turn by the user
// taking the mouse, by the time limit and by Stop, in a mix drawn from a fixed
// seed. After every session the dialog must be idle again with nothing left
// behind, and the heap must not grow from the first sessions to the last.
// Exits 1 when a rule is broken; a sanitizer finding aborts.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "framework/Random.h"
#include "framework/DataExchange.h"
#include "res/Texts.h"
#include "store/SiteList.h"
#include "tests/sim/SimDesktop.h"
#include "tests/sim/TestSurfer.h"

// AddressSanitizer's count of the bytes the program holds on its heap.
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {

constexpr uint32_t kSeed = 20240611;
constexpr int kSessions = 1000;
constexpr uint64_t kPages = 10000;
// Sessions at each end of the run whose heaps are compared; the very first
// ones are left out, while the standard library and the sim warm up.
constexpr int kCompared = 100;
constexpr int kWarmUp = 10;
constexpr size_t kHeapSlackBytes = 16 * 1024;

constexpr uint64_t kLookEveryMs = 60 * 1000;  // the message loop between two looks
constexpr uint64_t kQuietMs = 60 * 1000;      // after an end, in which nothing may happen
constexpr uint64_t kLongestSessionMs = 24ull * 3600 * 1000;

constexpr const char* kStartCaption = TEXT_START;
constexpr const char* kStopCaption = TEXT_STOP;
constexpr const char* kSponsors = "http://" MAKER_WEB_HOST "/sponsors";
const std::vector<std::string> kSites = {"www.example.com/a?b=1&c=~x", "http://one.example/", "",
                                         "two.example/" + std::string(60, 'p')};

enum class Ending { kInterrupted, kTimeLimit, kStopped };
const char* Name(Ending e) {
    return e == Ending::kInterrupted ? "interrupted" : e == Ending::kTimeLimit ? "time limit" : "stopped";
}

struct Plan {
    Ending ending = Ending::kStopped;
    std::string hours = "0";      // typed into the hours field before Start
    bool refused = false;         // a text that the exchange refuses with a message
    bool limited = false;         // a limit above 0 that an interruption lowers
    uint64_t takeAfterMs = 0;     // kInterrupted: when the user takes the mouse
    uint32_t stopAfterPages = 0;  // kStopped
};

// About ten pages a session whatever the ending: a visit and its gap take
// two to three minutes.
Plan DrawPlan(std::mt19937& mix) {
    auto pick = [&mix](uint32_t lo, uint32_t hi) { return std::uniform_int_distribution<uint32_t>(lo, hi)(mix); };
    Plan plan;
    const uint32_t kind = pick(0, 9);
    if (kind < 4) {
        plan.ending = Ending::kInterrupted;
        plan.takeAfterMs = pick(0, 50 * 60 * 1000);
    } else if (kind < 7) {
        plan.ending = Ending::kTimeLimit;
        plan.hours = FormatNumber(pick(1, 50) / 60.0);
        return plan;
    } else {
        plan.ending = Ending::kStopped;
        plan.stopAfterPages = pick(0, 20);
    }
    const uint32_t hours = pick(0, 19);
    if (hours < 3) {
        // No number (the limit before stays), and two out of range (kept, no limit to speak of).
        plan.hours = hours == 0 ? "abc" : hours == 1 ? "-1" : "1e11";
        plan.refused = true;
    } else if (hours < 10) {
        plan.hours = "10";
        plan.limited = true;
    }
    return plan;
}

// The user takes the mouse and keeps moving it until the session has ended:
// a movement between two visits is seen by no wait, so one is not enough.
void Jiggle(const TestSurfer& surfer, int32_t direction) {
    if (surfer.Text(IDOK) != kStopCaption) return;
    sim::MoveCursorBy(30 * direction, 0);
    sim::At(sim::NowMs() + 40, [&surfer, direction] { Jiggle(surfer, -direction); });
}

size_t ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE)) / 1024;
}

class Soak {
public:
    Soak() {
        SeedRandom(kSeed);
        const desktop::Rect frame{40, 30, 980, 720};
        const desktop::Window browser = sim::AddWindow("Browser", frame);
        const desktop::Window toolbar =
            sim::AddChild(browser, 100, "", desktop::Rect{frame.left, frame.top + 20, frame.right, frame.top + 60});
        const desktop::Rect bar{frame.left + 120, frame.top + 30, frame.right - 200, frame.top + 50};
        sim::AddChild(toolbar, 101, "about:blank", bar);
        surfer_.m_rcAddressBar.Record(bar);
        std::ofstream sites(kSiteListFile, std::ios::binary);
        for (const std::string& site : kSites) sites << site << "\r\n";
        sim::PlaceCursor(desktop::Point{500, 600});
    }

    // False when the session broke a rule; what it broke is printed.
    bool RunSession(int number, const Plan& plan) {
        number_ = number;
        ok_ = true;
        enters_ = 0;
        submitted_ = 0;
        if (plan.hours == "abc") surfer_.m_fHours = 0.0f;  // as a Start without a limit left it
        sim::Win(surfer_.Control(IDC_HOURS)).text = plan.hours;
        const uint64_t startMs = sim::NowMs();
        surfer_.OnStartStop();
        Check(surfer_.Text(IDOK) == kStopCaption, "Start shows the Stop caption");
        Check(sim::TimerPending(TIMER_SURF) && sim::TimerPending(TIMER_STATUS), "Start arms both timers");
        if (plan.ending == Ending::kInterrupted) {
            sim::At(startMs + plan.takeAfterMs, [this] { Jiggle(surfer_, 1); });
        }

        while (surfer_.Text(IDOK) == kStopCaption) {
            if (plan.ending == Ending::kStopped && surfer_.m_nPages >= plan.stopAfterPages) {
                surfer_.OnStartStop();
                break;
            }
            if (sim::NowMs() - startMs > kLongestSessionMs) {
                Check(false, "the session ends within a day");
                return false;
            }
            surfer_.RunFor(kLookEveryMs);
            LookAtWhatHappened();
        }
        LookAtWhatHappened();

        std::vector<sim::MessageBoxCall> boxes = sim::MessageBoxes();
        if (plan.refused) {
            Check(!boxes.empty() && boxes.front().caption == desktop::AppName(), "a refused text is told");
            if (!boxes.empty()) boxes.erase(boxes.begin());
        }
        Ending ended = Ending::kStopped;
        if (boxes.size() == 1 && boxes[0].caption == "Nimbrel Veruvo Idle") ended = Ending::kInterrupted;
        if (boxes.size() == 1 && boxes[0].caption == "Done Surfing") ended = Ending::kTimeLimit;
        Check(ended == plan.ending, std::string("the session ends as planned: ") + Name(plan.ending));
        Check(boxes.size() == (plan.ending == Ending::kStopped ? 0u : 1u), "one summary, and none after Stop");
        if (!boxes.empty()) {
            const std::string pages = "Surfed " + std::to_string(surfer_.m_nPages) + " page";
            Check(boxes[0].text.find(pages) != std::string::npos, "the summary counts m_nPages: " + boxes[0].text);
        }
        Check(surfer_.m_nPages == enters_, "m_nPages is the number of pages submitted with Enter");
        Check(submitted_ == enters_, "every Enter submits one URL");
        if (plan.ending == Ending::kInterrupted && plan.limited) {
            Check(surfer_.m_fHours <= 10.0f && surfer_.Text(IDC_HOURS) == FormatNumber(surfer_.m_fHours),
                  "an interruption leaves the rest of the hours in the field");
        }
        CheckIdle();

        // Nothing happens once a session has ended.
        sim::ClearMessageBoxes();
        surfer_.RunFor(kQuietMs);
        Check(sim::InputEvents().empty(), "no input after the end");
        Check(sim::MessageBoxes().empty(), "no message after the end");
        CheckIdle();

        pages_ += surfer_.m_nPages;
        virtualMs_ += sim::NowMs() - startMs;
        sim::ClearEvents();
        return ok_;
    }

    uint64_t Pages() const { return pages_; }
    double VirtualHours() const { return virtualMs_ / 3.6e6; }

private:
    void Check(bool holds, const std::string& rule) {
        if (holds) return;
        std::fprintf(stderr, "session %d: FAILED: %s\n", number_, rule.c_str());
        ok_ = false;
    }

    // The record since the last look: the Enter presses, the URLs that they
    // submitted (each visit clears the bar, so it starts empty), and then the
    // record is emptied, as a day of surfing would not fit in memory.
    void LookAtWhatHappened() {
        const std::vector<sim::Event>& events = sim::Events();
        enters_ += static_cast<uint32_t>(std::count_if(events.begin(), events.end(), [](const sim::Event& e) {
            return e.kind == sim::Kind::KeyDown && e.vk == desktop::kVkReturn;
        }));
        for (const std::string& url : sim::ReplayIntoField(events).submitted) {
            if (submitted_++ == 0) {
                Check(url == kSponsors, "the first page is the sponsors': " + url);
            } else {
                Check(std::find(kSites.begin(), kSites.end(), url) != kSites.end(), "a page from the list: " + url);
            }
        }
        sim::ClearEvents();
    }

    void CheckIdle() {
        Check(surfer_.Text(IDOK) == kStartCaption, "the Start caption is back");
        Check(surfer_.m_nState == 0, "m_nState is idle");
        Check(surfer_.Visible(IDC_HOURS) && surfer_.Visible(IDC_HOURS_LABEL) &&
                  surfer_.Visible(IDC_STOP_AFTER_LABEL) && !surfer_.Visible(IDC_STATUS),
              "the idle layout is back");
        Check(sim::PendingTimers().empty(), "no timer is left");
    }

    TestSurfer surfer_;
    int number_ = 0;
    bool ok_ = true;
    uint32_t enters_ = 0;
    uint32_t submitted_ = 0;
    uint64_t pages_ = 0;
    uint64_t virtualMs_ = 0;
};

// The program opens its files by bare name: a fresh folder of its own.
class WorkingFolder {
public:
    WorkingFolder() {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        std::random_device entropy;
        do {
            path_ = fs::temp_directory_path() / ("veruvo-soak-" + std::to_string(entropy()));
        } while (!fs::create_directory(path_));
        fs::current_path(path_);
    }
    ~WorkingFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace

int main() {
    const auto began = std::chrono::steady_clock::now();
    auto seconds = [&began] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    };
    WorkingFolder folder;
    sim::Reset();
    // A wait's 5 ms slices, one event each, would be most of the record and a
    // quarter of the run's time.
    sim::MergeRecordedSleeps(true);
    Soak soak;
    std::mt19937 mix(kSeed);
    int endings[3] = {};
    std::vector<size_t> heap;
    heap.reserve(4 * kSessions);  // not to be counted as growth

    int session = 0;
    while (session < kSessions || soak.Pages() < kPages) {
        ++session;
        const Plan plan = DrawPlan(mix);
        if (!soak.RunSession(session, plan)) return 1;
        ++endings[static_cast<int>(plan.ending)];
        // The record's buffer, kept for reuse by the sim, is not the program's.
        heap.push_back(__sanitizer_get_current_allocated_bytes() - sim::Events().capacity() * sizeof(sim::Event));
        if (session % 100 == 0) {
            std::printf("session %4d: %5llu pages, %6.1f virtual hours, heap %zu bytes, resident %zu KB, %.0f s\n",
                        session, static_cast<unsigned long long>(soak.Pages()), soak.VirtualHours(), heap.back(),
                        ResidentKb(), seconds());
            std::fflush(stdout);
        }
    }

    const size_t first = *std::max_element(heap.begin() + kWarmUp, heap.begin() + kWarmUp + kCompared);
    const size_t last = *std::max_element(heap.end() - kCompared, heap.end());
    std::printf("%d sessions: %d interrupted, %d at the time limit, %d stopped\n", session, endings[0], endings[1],
                endings[2]);
    std::printf("heap after a session: at most %zu bytes in sessions %d to %d, %zu in the last %d\n", first,
                kWarmUp + 1, kWarmUp + kCompared, last, kCompared);
    if (last > first + kHeapSlackBytes) {
        std::fprintf(stderr, "FAILED: the heap grew by %zu bytes\n", last - first);
        return 1;
    }
    std::printf("soak passed: %d sessions, %llu pages, %.0f virtual hours, no growth, in %.0f s\n", session,
                static_cast<unsigned long long>(soak.Pages()), soak.VirtualHours(), seconds());
    return 0;
}
