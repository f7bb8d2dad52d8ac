// WebSites.txt as anyone may write it: whatever the bytes, every draw gives
// one of the list's entries, within the 500-byte URL buffer, at most 499
// characters, NUL-terminated and without its LF or CR LF.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "store/SiteList.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The entries, the plain way: a text-mode read turns each CR LF into LF, then
// every read of the buffer takes up to and including the next LF or 499
// bytes, whichever comes first; the entry is that piece without its LF, up to
// its first NUL, as a C string holds it.
std::vector<std::string> Entries(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    }
    std::vector<std::string> entries;
    std::string piece;
    for (char c : text) {
        piece += c;
        if (c == '\n' || piece.size() == kUrlBufferSize - 1) {
            entries.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) entries.push_back(piece);
    for (std::string& entry : entries) {
        if (!entry.empty() && entry.back() == '\n') entry.pop_back();
        entry = entry.c_str();
    }
    return entries;
}

constexpr int kDraws = 4;

std::string& FilePath() {
    static std::string path;
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeFuzzFolder();
    FilePath() = InFuzzFolder(kSiteListFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = Bytes(data, size);
    WriteWholeFile(FilePath(), bytes);
    const std::vector<std::string> entries = Entries(bytes);

    // On the heap and exactly the size the visit's buffer has, so that a write
    // past it is a finding.
    const std::unique_ptr<char[]> buffer(new char[kUrlBufferSize]);
    SeedRandom(static_cast<uint32_t>(size));
    for (int draw = 0; draw < kDraws; ++draw) {
        std::memset(buffer.get(), 'Z', kUrlBufferSize);
        Require(PickSite(buffer.get(), FilePath().c_str()) == 0, "a list that is there is read");
        char* const end = buffer.get() + kUrlBufferSize;
        const size_t length = static_cast<size_t>(std::find(buffer.get(), end, '\0') - buffer.get());
        Require(length < kUrlBufferSize, "the entry is NUL-terminated within the buffer");
        const std::string entry(buffer.get(), length);
        Require(entry.find('\n') == std::string::npos, "no entry holds a LF");
        if (entries.empty()) {
            Require(entry.empty(), "an empty list gives an empty entry");
        } else {
            Require(std::find(entries.begin(), entries.end(), entry) != entries.end(),
                    "the entry is one of the list's, without its line end");
        }
    }
    return 0;
}
