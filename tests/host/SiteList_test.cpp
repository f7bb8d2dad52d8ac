#include "store/SiteList.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "TempFolder.h"
#include "engine/Random.h"

namespace {

class SiteList : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        SeedRandom(20240611);
    }

    // One draw: the result, and the entry the buffer holds.
    std::pair<int, std::string> Pick() {
        char buffer[kUrlBufferSize];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        const int result = PickSite(buffer);
        return {result, buffer};
    }

    // How often each entry came up in `draws` draws from a list of `bytes`.
    std::map<std::string, int> Draw(const std::string& bytes, int draws) {
        WriteFile(kSiteListFile, bytes);
        std::map<std::string, int> seen;
        for (int i = 0; i < draws; ++i) {
            const auto [result, entry] = Pick();
            EXPECT_EQ(result, 0);
            ++seen[entry];
        }
        return seen;
    }

    std::set<std::string> Entries(const std::string& bytes) {
        std::set<std::string> entries;
        for (const auto& [entry, count] : Draw(bytes, 300)) entries.insert(entry);
        return entries;
    }
};

using Set = std::set<std::string>;

TEST_F(SiteList, OneLineWithOrWithoutLineEnd) {
    EXPECT_EQ(Entries("www.example.com/a?b=1"), Set{"www.example.com/a?b=1"});
    EXPECT_EQ(Entries("www.example.com/a?b=1\n"), Set{"www.example.com/a?b=1"});
    EXPECT_EQ(Entries("www.example.com/a?b=1\r\n"), Set{"www.example.com/a?b=1"});
}

TEST_F(SiteList, EntriesKeepTheirTextButNoLineEnd) {
    EXPECT_EQ(Entries("a\r\n b \r\nc"), (Set{"a", " b ", "c"}));
    EXPECT_EQ(Entries("a\r\rb\n"), Set{"a\r\rb"}) << "a CR without LF is text";
}

TEST_F(SiteList, EmptyLinesAreEmptyEntries) {
    EXPECT_EQ(Entries("a\n\nb\n"), (Set{"a", "", "b"}));
    EXPECT_EQ(Entries("\r\n"), Set{""});
}

TEST_F(SiteList, LineOf499CharactersAndItsLineEndMakeTwoEntries) {
    const std::string line(499, 'x');
    EXPECT_EQ(Entries(line + "\n"), (Set{line, ""}));
    EXPECT_EQ(Entries(line + "\r\n"), (Set{line, ""}));
    EXPECT_EQ(Entries(std::string(498, 'x') + "\r\n"), Set{std::string(498, 'x')});
}

TEST_F(SiteList, LongerLinesAreCutInto499CharacterPieces) {
    const std::string a(499, 'a'), b(499, 'b');
    EXPECT_EQ(Entries(a + b + "cc\n"), (Set{a, b, "cc"}));   // 1000 / 499 + 1 = 3
    EXPECT_EQ(Entries(a + b + "cc"), (Set{a, b, "cc"}));     // (1000 + 498) / 499 = 3
    EXPECT_EQ(Entries(a + b + "\nz"), (Set{a, b, "", "z"}));
    EXPECT_EQ(Entries(a + b), (Set{a, b}));
}

TEST_F(SiteList, EmptyListGivesAnEmptyEntry) {
    WriteFile(kSiteListFile, "");
    EXPECT_EQ(Pick(), std::make_pair(0, std::string()));
}

TEST_F(SiteList, MissingListIsCreatedWithTheDefaultEntry) {
    EXPECT_EQ(Pick(), std::make_pair(1, std::string(kDefaultSite)));
    EXPECT_EQ(ReadFile(kSiteListFile), kDefaultSite) << "exactly the entry, no line end";
    EXPECT_EQ(Pick(), std::make_pair(0, std::string(kDefaultSite)));
    EXPECT_EQ(Pick(), std::make_pair(0, std::string(kDefaultSite)));
}

TEST_F(SiteList, ListThatCannotBeCreatedStillGivesTheDefaultEntry) {
    char buffer[kUrlBufferSize];
    EXPECT_EQ(PickSite(buffer, "no-such-folder/WebSites.txt"), 1);
    EXPECT_STREQ(buffer, kDefaultSite);
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

}  // namespace
