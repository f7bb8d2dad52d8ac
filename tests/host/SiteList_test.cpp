#include "store/SiteList.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "TempFolder.h"
#include "framework/Random.h"
#include "tests/host/SurfWorld.h"

namespace {

constexpr size_t kPiece = kUrlBufferSize - 1;

// In a working folder of its own, or in the surfing world for a whole visit.
template <class World>
class SiteListIn : public World {
protected:
    void SetUp() override {
        World::SetUp();
        SeedRandom(20240611);
    }

    // One draw: the result, and the entry's bytes.
    std::pair<int, std::string> Pick() {
        SiteEntry entry;
        const int result = PickSite(entry);
        return {result, std::string(entry.bytes, entry.length)};
    }

    // How often each entry came up in `draws` draws from a list of `bytes`.
    std::map<std::string, int> Draw(const std::string& bytes, int draws) {
        World::WriteFile(kSiteListFile, bytes);
        std::map<std::string, int> seen;
        for (int i = 0; i < draws; ++i) {
            const auto [result, entry] = Pick();
            EXPECT_EQ(result, 0);
            ++seen[entry];
        }
        return seen;
    }

    // Every draw gives exactly the piece that the generator's one draw over
    // all the pieces names, and every piece comes up.
    void ExpectPieces(const std::string& bytes, const std::vector<std::string>& pieces) {
        World::WriteFile(kSiteListFile, bytes);
        std::set<size_t> seen;
        for (size_t draw = 0; draw < 40 * pieces.size() && seen.size() < pieces.size(); ++draw) {
            RandomEngine named = Random();
            const size_t piece = std::uniform_int_distribution<uint64_t>(0, pieces.size() - 1)(named);
            ASSERT_EQ(Pick(), std::make_pair(0, pieces[piece])) << "piece " << piece << " of " << pieces.size();
            seen.insert(piece);
        }
        EXPECT_EQ(seen.size(), pieces.size());
    }
};
using SiteList = SiteListIn<TempFolderTest>;

using Set = std::set<std::string>;

// ---- Lines and pieces, whatever the line ends and with or without a BOM -----------

struct Lines {
    // The list as an editor saves these lines: each with the line end, the
    // last one with or without it.
    std::string Bytes(const std::vector<std::string>& lines, bool endLast = true) const {
        std::string bytes = bom ? "\xEF\xBB\xBF" : "";
        for (size_t i = 0; i < lines.size(); ++i) {
            bytes += lines[i];
            if (endLast || i + 1 < lines.size()) bytes += lineEnd;
        }
        return bytes;
    }

    // The pieces of the URL buffer's reads: 499 bytes at a time, a line with
    // a line end giving L / 499 + 1 pieces, a last one without (L + 498) / 499.
    static std::vector<std::string> Pieces(const std::vector<std::string>& lines, bool endLast = true) {
        std::vector<std::string> pieces;
        for (size_t i = 0; i < lines.size(); ++i) {
            const bool ended = endLast || i + 1 < lines.size();
            for (size_t at = 0; ended ? at <= lines[i].size() : at < lines[i].size(); at += kPiece) {
                pieces.push_back(lines[i].substr(at, kPiece));
            }
        }
        return pieces;
    }

    std::string lineEnd;
    bool bom;
};

class SiteListLines : public SiteList, public ::testing::WithParamInterface<std::tuple<const char*, bool>> {
protected:
    const Lines lines{std::get<0>(GetParam()), std::get<1>(GetParam())};
};

TEST_P(SiteListLines, EachLineIsAnEntryWithoutItsLineEnd) {
    for (const bool endLast : {true, false}) {
        SCOPED_TRACE(endLast ? "last line ended" : "last line not ended");
        const std::vector<std::string> one{"www.example.com/a?b=1&c=~x"};
        ExpectPieces(lines.Bytes(one, endLast), one);
        const std::vector<std::string> four{"http://example.org/", " b ", "", "c"};
        ExpectPieces(lines.Bytes(four, endLast), four);
    }
}

TEST_P(SiteListLines, LinesAreTakenIn499BytePieces) {
    const std::string a(kPiece, 'a'), b(kPiece, 'b');
    for (const bool endLast : {true, false}) {
        SCOPED_TRACE(endLast ? "last line ended" : "last line not ended");
        for (const std::vector<std::string>& list : std::vector<std::vector<std::string>>{
                 {a},                    // a, then with a line end an empty piece
                 {a + b + "cc"},         // 1000 / 499 + 1 = 3 pieces, or (1000 + 498) / 499 = 3
                 {a + b, "z"},           // a, b, the empty piece of the line end, z
                 {std::string(498, 'y'), a + b},
             }) {
            ExpectPieces(lines.Bytes(list, endLast), Lines::Pieces(list, endLast));
        }
    }
}

// However the list is cut for reading, a CR LF across the cut is one line end,
// and a piece runs on across it: a line end begins on the last byte before
// each power-of-two boundary.
TEST_P(SiteListLines, LinesRunOnAcrossTheReadsOfALongList) {
    std::vector<std::string> list;
    size_t at = lines.Bytes({}).size();
    for (size_t boundary = 1024; boundary <= (128u << 10); boundary *= 2) {
        const size_t length = boundary - 1 - at;
        list.push_back(std::string(length, static_cast<char>('a' + list.size())));
        at += length + lines.lineEnd.size();
    }
    ExpectPieces(lines.Bytes(list), Lines::Pieces(list));
}

TEST_P(SiteListLines, EmptyListGivesAnEmptyEntry) {
    WriteFile(kSiteListFile, lines.Bytes({}));
    EXPECT_EQ(Pick(), std::make_pair(0, std::string()));
}

INSTANTIATE_TEST_SUITE_P(LineEndsAndBom, SiteListLines,
                         ::testing::Combine(::testing::Values("\n", "\r\n", "\r"), ::testing::Bool()),
                         [](const auto& info) {
                             const std::string end = std::get<0>(info.param);
                             return std::string(end == "\n" ? "LF" : end == "\r\n" ? "CRLF" : "CR") +
                                    (std::get<1>(info.param) ? "WithBom" : "");
                         });

TEST_F(SiteList, LineEndsMayBeMixedAndOnlyALeadingBomIsSkipped) {
    ExpectPieces("a\r\n\rb\nc\r\r\nd", {"a", "", "b", "c", "", "d"});
    // A CR LF that ends the first 64 KB read, and an LF that opens the next.
    const std::string a(64 * 1024 - 2, 'a');
    ExpectPieces(a + "\r\n\nb", Lines::Pieces({a, "", "b"}, false));
    ExpectPieces("\xEF\xBB\xBF\xEF\xBB\xBF" "a\n\xEF\xBB\xBF", {"\xEF\xBB\xBF" "a", "\xEF\xBB\xBF"});
    ExpectPieces("\xEF\xBB" "a", {"\xEF\xBB" "a"});
}

// ---- Lists in UTF-16, as Notepad saves "Unicode" -----------------------------------

class SiteListUtf16 : public SiteListIn<SurfTest>, public ::testing::WithParamInterface<bool> {
protected:
    // The text as the list holds it, little-endian or big-endian.
    std::string Bytes(const std::u16string& text) const {
        std::string bytes;
        for (const char16_t c : text) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += GetParam() ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    }
};

// U+0A0D and U+0D0A are the bytes of a CR LF, in one byte order or the other.
TEST_P(SiteListUtf16, LinesEndAtCrLfOrBothAndTheMarkIsNoPartOfTheFirst) {
    ExpectPieces(Bytes(u"\uFEFFa\r\n\rb\nc\r\r\n\u0A0D\u0D0A"),
                 {Bytes(u"a"), "", Bytes(u"b"), Bytes(u"c"), "", Bytes(u"\u0A0D\u0D0A")});
}

// 499 bytes hold 249 units; a piece that would end inside a surrogate pair
// ends before it, even where the pair's first half opens the list's second
// 64 KB read (the mark, an empty line and 142 lines of 229 units lead to it).
TEST_P(SiteListUtf16, PiecesOf499BytesNeverSplitACharacter) {
    const std::u16string x(228, u'x'), a(248, u'a'), pair = u"\U0001F600", full(249, u'f');
    std::vector<std::string> pieces{""};
    pieces.insert(pieces.end(), 142, Bytes(x));
    pieces.insert(pieces.end(), {Bytes(a), Bytes(pair + u"b"), Bytes(full), ""});
    std::u16string list = u"\uFEFF\n";
    for (size_t i = 0; i < 142; ++i) list += x + u"\n";
    ExpectPieces(Bytes(list + a + pair + u"b\n" + full + u"\n"), pieces);
}

TEST_P(SiteListUtf16, AVisitTypesAnEntryAsItsCharacters) {
    const std::u16string entry = u"b\u00FCcher.example/\u65E5\u672C?q=\U0001F600";
    WriteFile(kSiteListFile, Bytes(u"\uFEFF" + entry + u"\r\n"));
    AsAfterFirstPage();
    surfer->VisitPage();
    EXPECT_EQ(std::vector<std::string>{sim::Utf8(entry)}, sim::ReplayIntoField(sim::Events(), "x").submitted);
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, SiteListUtf16, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "LE" : "BE"); });

// ---- A list of any size -------------------------------------------------------------

#if defined(__linux__)
// Three draws with no more memory left than `spare` bytes and a minute of
// processor time; exits with 0 when each gave an entry of x.
[[noreturn]] void PickWithLittleLeft(rlim_t spare) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t memory = static_cast<rlim_t>(pages) * 4096 + spare;
    const rlimit memoryLimit{memory, memory};
    const rlimit timeLimit{60, 60};
    if (setrlimit(RLIMIT_AS, &memoryLimit) != 0 || setrlimit(RLIMIT_CPU, &timeLimit) != 0) std::exit(2);
    SiteEntry entry;
    for (int draw = 0; draw < 3; ++draw) {
        if (PickSite(entry) != 0 || entry.bytes[0] != 'x') std::exit(1);
    }
    std::exit(0);
}
#endif

// A list may be larger than all the memory a 32-bit program has left: picking
// from it holds no more of it than a piece, and takes no longer than reading
// it (a minute is far beyond what reading a few megabytes takes).
TEST_F(SiteList, ListLargerThanTheMemoryLeftIsPickedFromInTimeProportionalToItsSize) {
#if defined(__linux__)
    const std::string block(1 << 20, 'x');
    {
        std::ofstream list(kSiteListFile, std::ios::binary);
        for (int i = 0; i < 32; ++i) list << block;  // one line of 32 MB
    }
    EXPECT_EXIT(PickWithLittleLeft(8 << 20), ::testing::ExitedWithCode(0), "");
#else
    GTEST_SKIP() << "needs the limits of Linux processes";
#endif
}

// ---- The draw -----------------------------------------------------------------------

// The last piece must not be favoured: with three entries a double-weighted
// last one would come up about half of the time.
TEST_F(SiteList, EveryEntryIsEquallyLikely) {
    const int draws = 9000;
    const auto seen = Draw("a\nb\nc", draws);
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& [entry, count] : seen) {
        EXPECT_NEAR(count, draws / 3, 300) << entry;  // about seven standard deviations
    }
}

TEST_F(SiteList, PiecesBeyond32767CanBeChosen) {
    const int lines = 40000;
    std::string list;
    for (int i = 1; i <= lines; ++i) list += std::to_string(i) + "\n";
    const int draws = 200;
    const auto seen = Draw(list, draws);
    int beyond = 0;
    long long sum = 0;
    for (const auto& [entry, count] : seen) {
        const int n = std::stoi(entry);
        if (n > 32767 && n < lines) beyond += count;
        sum += static_cast<long long>(n) * count;
    }
    EXPECT_GT(beyond, 10) << "about 18% of the draws lie past piece 32767";
    EXPECT_NEAR(static_cast<double>(sum) / draws, lines / 2.0, 4000.0);
}

// ---- No list, or one that cannot be read ---------------------------------------------

TEST_F(SiteList, MissingListIsCreatedWithTheDefaultEntry) {
    EXPECT_EQ(Pick(), std::make_pair(1, std::string(kDefaultSite)));
    EXPECT_EQ(ReadFile(kSiteListFile), kDefaultSite) << "exactly the entry, no line end";
    EXPECT_EQ(Pick(), std::make_pair(0, std::string(kDefaultSite)));
    EXPECT_EQ(Pick(), std::make_pair(0, std::string(kDefaultSite)));
}

TEST_F(SiteList, ListThatCannotBeCreatedStillGivesTheDefaultEntry) {
    SiteEntry entry;
    EXPECT_EQ(PickSite(entry, "no-such-folder/WebSites.txt"), 1);
    EXPECT_EQ(std::string(entry.bytes, entry.length), kDefaultSite);
}

TEST_F(SiteList, UnreadableListIsLeftAlone) {
    // A folder of that name exists and cannot be read as a list.
    std::filesystem::create_directory(kSiteListFile);
    EXPECT_EQ(Pick(), std::make_pair(1, std::string(kDefaultSite)));
    EXPECT_TRUE(std::filesystem::is_directory(kSiteListFile));
}

TEST_F(SiteList, ListWithoutReadPermissionIsNeitherRewrittenNorTruncated) {
    namespace fs = std::filesystem;
    WriteFile(kSiteListFile, "mine\n");
    fs::permissions(kSiteListFile, fs::perms::all, fs::perm_options::remove);
    if (std::ifstream(kSiteListFile)) GTEST_SKIP() << "permissions do not bind this user (root)";
    EXPECT_EQ(Pick(), std::make_pair(1, std::string(kDefaultSite)));
    fs::permissions(kSiteListFile, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(ReadFile(kSiteListFile), "mine\n");
}

}  // namespace
