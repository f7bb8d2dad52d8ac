#include "store/Boundaries.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "TempFolder.h"
#include "tests/sim/SimDesktop.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

desktop::Rect MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    desktop::Rect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

// Members as the file lists them: bottom, left, right, top.
struct FileOrder {
    int32_t bottom, left, right, top;
};

FileOrder InFileOrder(const desktop::Rect& r) { return {r.bottom, r.left, r.right, r.top}; }

bool operator==(const FileOrder& a, const FileOrder& b) {
    return a.bottom == b.bottom && a.left == b.left && a.right == b.right && a.top == b.top;
}

std::ostream& operator<<(std::ostream& out, const FileOrder& f) {
    return out << "{bottom " << f.bottom << ", left " << f.left << ", right " << f.right
               << ", top " << f.top << "}";
}

class BoundariesFile : public TempFolderTest {
protected:
    // Loads `bytes` as options.ini into a rectangle that starts out far from
    // anything a test expects, so that every member must have been written.
    FileOrder Load(const std::string& bytes) {
        WriteFile(kBoundariesFile, bytes);
        desktop::Rect r = MakeRect(-77, -77, -77, -77);
        EXPECT_TRUE(ReadBoundaries(kBoundariesFile, r));
        return InFileOrder(r);
    }
};

TEST(BoundariesFormat, WorkedExamplesByteForByte) {
    const std::string screen = FormatBoundaries(MakeRect(0, 0, 1024, 768));
    EXPECT_EQ(screen,
              "bottom_boundary=768\r\nleft_boundary=0\r\nright_boundary=1024\r\ntop_boundary=0\r\n");
    EXPECT_EQ(screen.size(), 75u);

    const std::string calibrated = FormatBoundaries(MakeRect(112, 54, 640, 75));
    EXPECT_EQ(calibrated,
              "bottom_boundary=75\r\nleft_boundary=112\r\nright_boundary=640\r\ntop_boundary=54\r\n");
    EXPECT_EQ(calibrated.size(), 76u);
}

TEST(BoundariesFormat, ValuesAsPercentIPrintsThem) {
    EXPECT_EQ(FormatBoundaries(MakeRect(kMin, -1, kMax, 7)),
              "bottom_boundary=7\r\nleft_boundary=-2147483648\r\nright_boundary=2147483647\r\n"
              "top_boundary=-1\r\n");
}

TEST_F(BoundariesFile, RoundTripsAnySigned32BitRectangle) {
    const desktop::Rect cases[] = {
        MakeRect(0, 0, 1024, 768),
        MakeRect(112, 54, 640, 75),
        MakeRect(-1920, -1080, -1, -2),  // a monitor left of and above the primary one
        MakeRect(kMin, kMax, kMax, kMin),
        MakeRect(kMax, kMin, kMin, kMax),
        MakeRect(640, 75, 112, 54),  // right of left and above top: not checked
    };
    for (const desktop::Rect& saved : cases) {
        ASSERT_TRUE(WriteBoundaries(kBoundariesFile, saved) == desktop::FileResult::kDone);
        desktop::Rect loaded = MakeRect(3, 3, 3, 3);
        ASSERT_TRUE(ReadBoundaries(kBoundariesFile, loaded));
        EXPECT_EQ(InFileOrder(loaded), InFileOrder(saved));
    }
}

TEST_F(BoundariesFile, SaveReplacesALongerFileWhole) {
    WriteFile(kBoundariesFile, std::string(500, 'x'));
    ASSERT_TRUE(WriteBoundaries(kBoundariesFile, MakeRect(0, 0, 1024, 768)) == desktop::FileResult::kDone);
    EXPECT_EQ(ReadFile(kBoundariesFile), FormatBoundaries(MakeRect(0, 0, 1024, 768)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1) << "the temporary file was left behind";
}

TEST_F(BoundariesFile, SaveSurvivesAPowerCut) {
    const desktop::Rect saved = MakeRect(112, 54, 640, 75);
    ASSERT_TRUE(WriteBoundaries(kBoundariesFile, saved) == desktop::FileResult::kDone);
    sim::PowerCut();
    desktop::Rect loaded;
    ASSERT_TRUE(ReadBoundaries(kBoundariesFile, loaded));
    EXPECT_EQ(InFileOrder(loaded), InFileOrder(saved));
}

TEST_F(BoundariesFile, MissingFileLeavesTheRectangleAlone) {
    desktop::Rect r = MakeRect(1, 2, 3, 4);
    EXPECT_FALSE(ReadBoundaries(kBoundariesFile, r));
    EXPECT_EQ(r, MakeRect(1, 2, 3, 4));
}

TEST_F(BoundariesFile, LinesAreKnownByPositionNotKey) {
    EXPECT_EQ(Load("top_boundary=54\nright_boundary=640\nleft_boundary=112\nbottom_boundary=75\n"),
              (FileOrder{54, 640, 112, 75}));
}

TEST_F(BoundariesFile, ValueIsTheIntegerAfterTheFirstEquals) {
    EXPECT_EQ(Load("=300\nleft_boundary= 12\nright_boundary=640abc\ntop_boundary=\n"),
              (FileOrder{300, 12, 640, 0}));
    EXPECT_EQ(Load("a=1=2\nb=+5\nc=-7\nd=768px\n"), (FileOrder{1, 5, -7, 768}));
    // Without "=", the line itself is the value: a bare number loads, a bare key is 0.
    EXPECT_EQ(Load("54\nbottom_boundary\n-3\n  9\n"), (FileOrder{54, 0, -3, 9}));
}

TEST_F(BoundariesFile, LastLineWithoutLineEndStillLoads) {
    EXPECT_EQ(Load("b=1\nl=2\nr=3\ntop_boundary=54"), (FileOrder{1, 2, 3, 54}));
    EXPECT_EQ(Load("b=1\nl=2\nr=3\n54"), (FileOrder{1, 2, 3, 54}));
}

TEST_F(BoundariesFile, MissingLinesRepeatTheMemberBefore) {
    EXPECT_EQ(Load("bottom_boundary=768\nleft_boundary=5\n"), (FileOrder{768, 5, 5, 5}));
    EXPECT_EQ(Load("bottom_boundary=768"), (FileOrder{768, 768, 768, 768}));
    EXPECT_EQ(Load(""), (FileOrder{0, 0, 0, 0}));
}

TEST_F(BoundariesFile, LongLinesAreReadWhole) {
    const std::string longKey(300, 'k');
    const std::string paddedValue = "=" + std::string(40, ' ') + "123";
    EXPECT_EQ(Load(longKey + "=42\n" + paddedValue + "\n" + "x=" + std::string(60, '0') +
                   "7\ntop_boundary=9\n"),
              (FileOrder{42, 123, 7, 9}));
}

TEST_F(BoundariesFile, CrLfAndLfLoadAlike) {
    const FileOrder expected{75, 112, 640, 54};
    EXPECT_EQ(Load(FormatBoundaries(MakeRect(112, 54, 640, 75))), expected);
    EXPECT_EQ(Load("bottom_boundary=75\nleft_boundary=112\nright_boundary=640\ntop_boundary=54\n"),
              expected);
    EXPECT_EQ(Load("bottom_boundary=75\r\nleft_boundary=112\nright_boundary=640\r\n54\r\n"),
              expected);
}

TEST_F(BoundariesFile, ValuesBeyond32BitsSaturate) {
    EXPECT_EQ(Load("=2147483648\n=-2147483649\n=99999999999999999999999999\n=-" +
                   std::string(50, '9') + "\n"),
              (FileOrder{kMax, kMin, kMax, kMin}));
    EXPECT_EQ(Load("=2147483647\n=-2147483648\n=0\n=-0\n"), (FileOrder{kMax, kMin, 0, 0}));
}

// The browser's line follows the four, which are still read by position: a
// file without it names no browser, and so does a fifth line of another kind.
TEST_F(BoundariesFile, TheBrowsersLineFollowsTheFourBoundaries) {
    const desktop::Rect rect = MakeRect(112, 54, 640, 75);
    ASSERT_TRUE(WriteBoundaries(kBoundariesFile, rect, "Bröwser.exe") == desktop::FileResult::kDone);
    EXPECT_EQ(ReadFile(kBoundariesFile), FormatBoundaries(rect) + "browser=Bröwser.exe\r\n");
    for (const auto& [file, named] : {std::pair<std::string, std::string>{ReadFile(kBoundariesFile), "Bröwser.exe"},
                                      {FormatBoundaries(rect), ""},
                                      {FormatBoundaries(rect) + "other=x.exe\r\n", ""},
                                      {"=1\n=2\nbrowser=x.exe\n", ""}}) {
        WriteFile(kBoundariesFile, file);
        std::string browser = "?";
        desktop::Rect loaded;
        EXPECT_TRUE(ReadBoundaries(kBoundariesFile, loaded, &browser));
        EXPECT_EQ(named, browser) << file;
    }
}

// Where the temporary file cannot be made, the old file must survive intact.
TEST_F(BoundariesFile, FailedSaveKeepsTheOldFile) {
    const std::string old = FormatBoundaries(MakeRect(112, 54, 640, 75));
    WriteFile(kBoundariesFile, old);
    std::filesystem::create_directory(std::string(kBoundariesFile) + ".tmp");
    EXPECT_NE(desktop::FileResult::kDone, WriteBoundaries(kBoundariesFile, MakeRect(0, 0, 1024, 768)));
    EXPECT_EQ(ReadFile(kBoundariesFile), old);
}

TEST_F(BoundariesFile, FailedReplaceLeavesNoTemporaryFile) {
    std::filesystem::create_directory("occupied");
    WriteFile("occupied/inside", "x");  // a folder that a file cannot replace
    EXPECT_NE(desktop::FileResult::kDone, WriteBoundaries("occupied", MakeRect(1, 2, 3, 4)));
    EXPECT_FALSE(std::filesystem::exists("occupied.tmp"));
    EXPECT_NE(desktop::FileResult::kDone, WriteBoundaries("no-such-folder/options.ini", MakeRect(1, 2, 3, 4)));
}

}  // namespace
