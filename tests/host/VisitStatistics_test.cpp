// Many simulated visits with a fixed seed, held to the odds and ranges of a
// visit: each rate within four standard deviations of its odds, each wait and
// count within its range and reaching close to both ends of it. A bound that is
// off, or two draws that changed places, shows here.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/Interrupt.h"
#include "tests/host/SurfWorld.h"
#include "tests/host/VisitScript.h"

namespace {

using visit::Act;
using visit::Step;

// Entries with capitals, digits and symbols, and the sponsors page besides.
constexpr const char* kSiteList =
    "www.example.com/a?b=1&c=~x\n"
    "Example.org/Path_With-Mixed.Case\n"
    "http://news.example.net/2024/05/story.html#top\n"
    "shop.example.co.uk/search?q=red+shoes&sort=price\n";

// Samples of one drawn quantity.
class Samples {
public:
    void Add(double v) { values_.push_back(v); }
    size_t Count() const { return values_.size(); }

    // Every value within [lo, hi]; the smallest and the largest close to the
    // ends (a few expected gaps of n uniform values); the mean near the middle.
    void ExpectUniformOver(double lo, double hi, const std::string& what) const {
        ExpectUniform(lo, hi, lo + (hi - lo) / 2, what);
    }

    // The same for waits drawn from [lo, hi] ms, which sleep whole slices of
    // 5 ms and drop the remainder (2 ms on average).
    void ExpectWaitsOver(uint32_t lo, uint32_t hi, const std::string& what) const {
        ExpectUniform(lo / 5 * 5, hi / 5 * 5, (lo + hi) / 2.0 - 2, what);
    }

    void ExpectUniform(double lo, double hi, double mean, const std::string& what) const {
        SCOPED_TRACE(what);
        ASSERT_GE(values_.size(), 30u);
        const double n = static_cast<double>(values_.size());
        const double width = hi - lo;
        const double edge = width * 6.0 / n;
        const auto [min, max] = std::minmax_element(values_.begin(), values_.end());
        EXPECT_GE(*min, lo);
        EXPECT_LE(*max, hi);
        EXPECT_LE(*min, lo + edge);
        EXPECT_GE(*max, hi - edge);
        double sum = 0;
        for (double v : values_) sum += v;
        EXPECT_NEAR(mean, sum / n, 4 * width / std::sqrt(12 * n));
    }

    // Exactly the values from lo to hi turn up, each about equally often.
    void ExpectEachOf(int lo, int hi, const std::string& what) const {
        SCOPED_TRACE(what);
        std::map<int, size_t> counts;
        for (double v : values_) ++counts[static_cast<int>(v)];
        std::set<int> seen, wanted;
        for (const auto& c : counts) seen.insert(c.first);
        for (int v = lo; v <= hi; ++v) wanted.insert(v);
        EXPECT_EQ(wanted, seen);
        for (const auto& c : counts) ExpectRate(c.second, values_.size(), 1.0 / (hi - lo + 1), std::to_string(c.first));
    }

    // `hits` of `n` trials against odds p: within four standard deviations.
    static void ExpectRate(size_t hits, size_t n, double p, const std::string& what) {
        ASSERT_GT(n, 0u) << what;
        const double rate = static_cast<double>(hits) / static_cast<double>(n);
        EXPECT_NEAR(p, rate, 4 * std::sqrt(p * (1 - p) / static_cast<double>(n)))
            << what << ": " << hits << " of " << n;
    }

private:
    std::vector<double> values_;
};

bool Is(const Step& s, Act act) { return s.act == act; }
bool Keys(const Step& s, const std::string& keys) { return s.act == Act::Keys && s.keys == keys; }

// Each after a Delete that drops what the address bar completed.
constexpr const char* kEnter = "+Delete* -Delete* +Return -Return";
constexpr const char* kErase = "+Delete* -Delete* +Back -Back";
bool Inside(desktop::Point p, const desktop::Rect& r) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

class VisitStatisticsTest : public SurfTest {
protected:
    void SetUp() override {
        SurfTest::SetUp();
        WriteFile("WebSites.txt", kSiteList);
        AsAfterFirstPage();
    }

    // One visit on a clear record; the first page of a session every
    // `firstEvery` visits.
    std::vector<Step> Visit(size_t i, size_t firstEvery) {
        sim::ClearEvents();
        surfer->m_nPages = i % firstEvery == 0 ? 0 : 1;
        try {
            surfer->VisitPage();
        } catch (const CInterrupt&) {
        }
        return visit::ReadVisit(sim::Events());
    }

    // The user takes the mouse as soon as a page starts to load.
    void TakeTheMouseAtEveryEnter() {
        watch_ = [this] {
            const std::vector<sim::Event>& events = sim::Events();
            if (seen_ > events.size()) seen_ = 0;  // the record was cleared
            for (; seen_ < events.size(); ++seen_) {
                const sim::Event& e = events[seen_];
                if (e.kind == sim::Kind::KeyUp && e.vk == desktop::kVkReturn) {
                    sim::UserMovesBy(sim::NowMs() + 10, 50, 0);
                    sim::UserMovesBy(sim::NowMs() + 20, -50, 0);
                }
            }
            sim::At(sim::NowMs() + 50, watch_);  // a page load lasts 15 seconds at least
        };
        sim::At(sim::NowMs(), watch_);
    }

private:
    std::function<void()> watch_;
    size_t seen_ = 0;
};

}  // namespace

TEST_F(VisitStatisticsTest, TypingAcrossTwoThousandVisits) {
    TakeTheMouseAtEveryEnter();  // only the typing is of interest here
    Samples clearing, charPauses, typoPauses, typoLetters;
    size_t characters = 0, typos = 0, wrongTypos = 0, visits = 0;
    for (size_t i = 0; i < 2000; ++i) {
        const std::vector<Step> steps = Visit(i, 2);
        ++visits;
        // [front,] glide (none when the cursor is on the point already), click,
        // Home, wait, Shift+End, wait, Delete, wait, then the URL.
        size_t c = Is(steps.at(0), Act::Front) ? 1 : 0;
        if (Is(steps.at(c), Act::Glide)) {
            const Step& glide = steps[c++];
            EXPECT_TRUE(Inside(glide.to, surfer->m_rcAddressBar.Rect())) << glide.Text();
            EXPECT_EQ(5u, glide.pauseMs);
            EXPECT_LE(glide.moves, 100u);
        }
        ASSERT_GE(steps.size(), c + 7);
        ASSERT_TRUE(Is(steps[c], Act::Click)) << steps[c].Text();
        for (size_t w : {2, 4, 6}) clearing.Add(steps[c + w].ms);

        for (size_t k = c + 7; k + 1 < steps.size() && !Keys(steps[k], kEnter); k += 2) {
            ASSERT_TRUE(Is(steps[k], Act::Keys) && Is(steps[k + 1], Act::Wait)) << steps[k].Text();
            if (k + 3 < steps.size() && Keys(steps[k + 2], kErase)) {
                // A typo: the wrong letter, a pause, its erasure, a pause, then the meant character.
                ++typos;
                const char wrong = steps[k].typed.at(0);
                const char meant = steps[k + 4].typed.at(0);
                typoLetters.Add(wrong);
                if (wrong == meant) ++wrongTypos;
                typoPauses.Add(steps[k + 1].ms);
                typoPauses.Add(steps[k + 3].ms);
                k += 2;
                continue;
            }
            ++characters;
            charPauses.Add(steps[k + 1].ms);
        }
    }
    EXPECT_GT(characters, 60000u);
    Samples::ExpectRate(typos, characters, 0.01, "typos per character");
    EXPECT_EQ(0u, wrongTypos) << "a typo letter was the letter meant";
    typoLetters.ExpectEachOf('a', 'z', "typo letters");
    clearing.ExpectWaitsOver(200, 1000, "pauses while clearing the bar");
    charPauses.ExpectWaitsOver(50, 300, "pauses after a character");
    typoPauses.ExpectWaitsOver(300, 600, "pauses around a typo");
}

TEST_F(VisitStatisticsTest, ReadingAcrossFourHundredVisits) {
    Samples loads, reads, backs, gaps, firstCycles, laterCycles, downNotches, upNotches, wanderPauses, wanderMoves;
    size_t cycles = 0, wheels = 0, visits = 0, scrollBacks = 0, backWanders = 0;
    for (size_t i = 0; i < 400; ++i) {
        const bool first = i % 2 == 0;  // first pages read for less, so they are the cheaper half
        const std::vector<Step> steps = Visit(i, 2);
        ++visits;
        size_t k = 0;
        desktop::Point cursor;  // every glide here runs undisturbed to its target
        for (; k < steps.size() && !Keys(steps[k], kEnter); ++k) {
            if (Is(steps[k], Act::Glide)) cursor = steps[k].to;
        }
        ASSERT_LT(k + 1, steps.size());
        loads.Add(steps[++k].ms);
        ++k;

        // Each cycle: the browser in front, a wander, perhaps the wheel, a pause.
        size_t n = 0;
        bool scrolledBack = false;
        while (k < steps.size() && !Is(steps[k], Act::Timer)) {
            ASSERT_FALSE(scrolledBack) << "a cycle after the scroll-back";
            EXPECT_EQ("front Browser", steps[k].Text());
            ++k;
            bool wandered = false;
            if (Is(steps[k], Act::Glide)) {
                const Step& glide = steps[k++];
                wandered = true;
                EXPECT_TRUE(Inside(glide.to, surfer->m_rcBrowser)) << glide.Text();
                wanderPauses.Add(glide.pauseMs);
                EXPECT_LE(glide.moves, 100u);
                // A glide never steps by less than a pixel, so short ones say nothing of the draw.
                if (std::max(std::abs(glide.to.x - cursor.x), std::abs(glide.to.y - cursor.y)) >= 100) {
                    wanderMoves.Add(glide.moves);
                }
                cursor = glide.to;
            }
            int32_t wheel = 0;
            if (Is(steps[k], Act::Wheel)) wheel = steps[k++].delta;
            ASSERT_TRUE(Is(steps[k], Act::Wait)) << steps[k].Text();
            const uint32_t pause = steps[k++].ms;
            EXPECT_EQ(0, wheel % 120) << wheel;
            if (wheel > 0) {
                scrolledBack = true;
                ++scrollBacks;
                if (wandered) ++backWanders;
                upNotches.Add(wheel / 120);
                backs.Add(pause);
            } else {
                ++n;
                ++cycles;
                if (wheel < 0) {
                    ++wheels;
                    downNotches.Add(-wheel / 120);
                }
                reads.Add(pause);
            }
        }
        ASSERT_LT(k, steps.size());
        gaps.Add(steps[k].ms);
        (first ? firstCycles : laterCycles).Add(static_cast<double>(n));
    }
    loads.ExpectWaitsOver(15000, 25000, "page loads");
    reads.ExpectWaitsOver(20000, 38000, "reading pauses");
    backs.ExpectWaitsOver(5000, 10000, "scroll-back pauses");
    gaps.ExpectUniformOver(5000, 20000, "gaps to the next visit");
    firstCycles.ExpectEachOf(1, 2, "dwell cycles on a session's first page");
    laterCycles.ExpectEachOf(3, 5, "dwell cycles on later pages");
    Samples::ExpectRate(wheels, cycles, 0.69, "wheel turns per dwell cycle");
    downNotches.ExpectEachOf(1, 5, "notches down");
    Samples::ExpectRate(scrollBacks, visits, 20.0 / 101, "scroll-backs per visit");
    Samples::ExpectRate(backWanders, scrollBacks, 0.59, "wanders per scroll-back");
    upNotches.ExpectEachOf(1, 3, "notches up");
    wanderPauses.ExpectEachOf(3, 7, "pause per step of a wander");
    wanderMoves.ExpectUniformOver(60, 100, "steps of a long wander");
}
