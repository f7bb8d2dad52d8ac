// Picking a site from a large WebSites.txt, beside the floor: reading the same
// file once from start to end. Lists of the same size: one of ordinary lines,
// and one single line, the shape that once made a pick take the square of its
// length; each in bytes and in UTF-16 of both byte orders. The goal: a pick
// costs at most ten reads of the file (it reads it at most twice). With the
// process's peak memory before and after the picks, which should not grow with
// the list.
//
//     site_list_bench [megabytes]      (default 100)
//
// The lists are written to a folder of their own under the temporary folder,
// read once before measuring so that every figure comes from the file cache,
// and removed at the end.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Random.h"
#include "store/SiteList.h"
#include "tests/bench/BenchSupport.h"

namespace {

constexpr int kRuns = 5;
constexpr double kGoal = 10;  // reads of the file

struct Shape {
    const char* name;
    std::string (*block)(size_t characters);
    const char* last;  // after the blocks
};

struct Encoding {
    const char* name;
    EntryEncoding encoding;
    const char* mark;
};

// ASCII text as the list holds it: a byte a character, or a UTF-16 unit.
std::string Encode(const std::string& text, EntryEncoding encoding) {
    if (encoding == EntryEncoding::kBytes) return text;
    std::string units;
    units.reserve(text.size() * 2);
    for (const char c : text) {
        units += encoding == EntryEncoding::kUtf16Le ? c : '\0';
        units += encoding == EntryEncoding::kUtf16Le ? '\0' : c;
    }
    return units;
}

// Lines of the length of everyday addresses, each ended by CR LF.
std::string Lines(size_t characters) {
    std::string block;
    for (unsigned n = 0; block.size() < characters; ++n) {
        block += "www.example" + std::to_string(n % 97) + ".com/path/to/page?id=" + std::to_string(n) + "\r\n";
    }
    block.resize(characters);
    return block;
}

std::string OneLine(size_t characters) {
    std::string block(characters, 'x');
    for (size_t i = 0; i < characters; i += 61) block[i] = static_cast<char>('a' + i % 26);
    return block;
}

// Megabytes of the shape's text in the encoding, whatever its unit.
bool WriteList(const std::string& path, const Shape& shape, const Encoding& encoding, size_t megabytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const size_t unit = encoding.encoding == EntryEncoding::kBytes ? 1 : 2;
    const std::string block = Encode(shape.block((1 << 20) / unit), encoding.encoding);
    const std::string last = Encode(shape.last, encoding.encoding);
    bool written = std::fputs(encoding.mark, file) >= 0;
    for (size_t i = 0; i < megabytes && written; ++i) {
        written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
    }
    written = written && std::fwrite(last.data(), 1, last.size(), file) == last.size();
    return std::fclose(file) == 0 && written;
}

// The floor: the file once through, in the chunks a reader would take.
double ReadOnceMs(const std::string& path) {
    const double start = bench::NowMs();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    static char chunk[64 * 1024];
    while (std::fread(chunk, 1, sizeof chunk, file) > 0) {
    }
    std::fclose(file);
    return bench::NowMs() - start;
}

double PickMs(const std::string& path) {
    SiteEntry entry;
    const double start = bench::NowMs();
    const int result = PickSite(entry, path.c_str());
    return result == 0 ? bench::NowMs() - start : -1;
}

// The most memory the process has had resident so far (Wine keeps this
// figure too, though not the peak of its private bytes).
double PeakMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024);
}

std::string TempFolder() {
    char base[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, base)) return {};
    std::string folder = std::string(base) + "veruvo-bench-" + std::to_string(GetCurrentProcessId());
    return CreateDirectoryA(folder.c_str(), nullptr) ? folder : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const std::string folder = TempFolder();
    if (folder.empty() || megabytes == 0) {
        std::fprintf(stderr, "site_list_bench: no temporary folder, or no size\n");
        return 1;
    }
    const std::string path = folder + "\\" + kSiteListFile;
    SeedRandom(GetTickCount());

    std::printf("%-34s %14s %12s %8s   %-15s %s\n", "WebSites.txt", "read once", "pick", "ratio", "goal",
                "peak resident memory");
    bool measured = true;
    for (const Shape& shape : {Shape{"lines", Lines, "www.example.com/last\r\n"}, Shape{"one line", OneLine, ""}}) {
        for (const Encoding& encoding : {Encoding{"bytes", EntryEncoding::kBytes, ""},
                                         Encoding{"UTF-16 LE", EntryEncoding::kUtf16Le, "\xFF\xFE"},
                                         Encoding{"UTF-16 BE", EntryEncoding::kUtf16Be, "\xFE\xFF"}}) {
            if (!WriteList(path, shape, encoding, megabytes)) {
                std::fprintf(stderr, "site_list_bench: could not write %s\n", path.c_str());
                measured = false;
                continue;
            }
            ReadOnceMs(path);
            const double before = PeakMb();
            std::vector<double> floors, picks;
            for (int run = 0; run < kRuns; ++run) {
                floors.push_back(ReadOnceMs(path));
                picks.push_back(PickMs(path));
            }
            const double floor = bench::Median(floors), pick = bench::Median(picks);
            measured = measured && floor >= 0 && pick >= 0;
            const double ratio = floor > 0 ? pick / floor : 0;
            const std::string what = std::to_string(megabytes) + " MB, " + shape.name + ", " + encoding.name;
            std::printf("%-34s %11.0f ms %9.0f ms %8.2f   <= %2.0f  %-7s %.1f MB before the picks, %.1f MB after\n",
                        what.c_str(), floor, pick, ratio, kGoal, floor > 0 && ratio <= kGoal ? "met" : "MISSED",
                        before, PeakMb());
        }
    }
    std::printf("(median of %d; a pick reads the list once to count its pieces and again up to the one drawn)\n",
                kRuns);

    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
    return measured ? 0 : 1;
}
