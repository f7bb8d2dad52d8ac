// options.ini as anyone may leave it: whatever the bytes, the load opens the
// file, gives the four members the loader's rules say, and the rectangle it
// gives is saved and loaded again unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "store/Boundaries.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The rules, stated once more the plain way: one line per member in the order
// bottom, left, right, top; a line's value is what follows its first "=" (or
// the whole line), read as strtoll reads it and held to 32 bits; a member
// without a line of its own repeats the one before; an empty file is all 0.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos) lf = bytes.size();
        std::string line = bytes.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

int32_t ExpectedValue(const std::string& line) {
    const size_t eq = line.find('=');
    const std::string text = eq == std::string::npos ? line : line.substr(eq + 1);
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
}

// Far from what most inputs load, so that a member left unwritten shows.
constexpr desktop::Rect kUntouched{-77, -77, -77, -77};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = Bytes(data, size);
    const char* const file = WriteInputFile(kBoundariesFile, bytes).c_str();

    desktop::Rect loaded = kUntouched;
    std::string browser = "?";
    Require(ReadBoundaries(file, loaded, &browser), "a file that is there loads");

    const std::vector<std::string> lines = Lines(bytes);
    int32_t expected[4] = {};
    for (size_t i = 0; i < 4; ++i) {
        if (i < lines.size()) {
            expected[i] = ExpectedValue(lines[i]);
        } else if (i > 0) {
            expected[i] = expected[i - 1];
        }
    }
    Require(loaded.bottom == expected[0], "bottom is the first line's value");
    Require(loaded.left == expected[1], "left is the second line's value, or the one before");
    Require(loaded.right == expected[2], "right is the third line's value, or the one before");
    Require(loaded.top == expected[3], "top is the fourth line's value, or the one before");
    const bool named = lines.size() > 4 && lines[4].compare(0, 8, "browser=") == 0;
    Require(browser == (named ? lines[4].substr(8) : std::string()), "the browser is the fifth line's, if any");

    Require(WriteBoundaries(file, loaded, browser) == desktop::FileResult::kDone, "the rectangle saves");
    Require(ReadWholeFile(file) == FormatBoundaries(loaded, browser), "the file is exactly the format");
    desktop::Rect again = kUntouched;
    std::string browserAgain;
    Require(ReadBoundaries(file, again, &browserAgain), "the saved file loads");
    Require(again == loaded, "saving and loading again gives the same rectangle");
    Require(browserAgain == browser, "and the same browser");
    return 0;
}
