// WebSites.txt as anyone may write it: whatever the bytes, every draw gives
// the one of the list's entries that it names, within the 500-byte URL buffer, at most 499
// characters, NUL-terminated and without its line end.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/Random.h"
#include "store/SiteList.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The entries, the plain way: a leading UTF-8 byte-order mark goes, each CR LF
// and each lone CR becomes LF, then every read of the buffer takes up to and
// including the next LF or 499 bytes, whichever comes first; the entry is that
// piece without its LF, up to its first NUL, as a C string holds it.
std::vector<std::string> Entries(std::string bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            text += bytes[i];
        } else if (i + 1 == bytes.size() || bytes[i + 1] != '\n') {
            text += '\n';
        }
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = Bytes(data, size);
    const char* const file = WriteInputFile(kSiteListFile, bytes).c_str();
    const std::vector<std::string> entries = Entries(bytes);

    // On the heap and exactly the size the visit's buffer has, so that a write
    // past it is a finding.
    const std::unique_ptr<char[]> buffer(new char[kUrlBufferSize]);
    SeedRandom(static_cast<uint32_t>(size));
    for (int draw = 0; draw < kDraws; ++draw) {
        RandomEngine named = Random();
        std::memset(buffer.get(), 'Z', kUrlBufferSize);
        Require(PickSite(buffer.get(), file) == 0, "a list that is there is read");
        char* const end = buffer.get() + kUrlBufferSize;
        const size_t length = static_cast<size_t>(std::find(buffer.get(), end, '\0') - buffer.get());
        Require(length < kUrlBufferSize, "the entry is NUL-terminated within the buffer");
        const std::string entry(buffer.get(), length);
        Require(entry.find_first_of("\r\n") == std::string::npos, "no entry holds a CR or LF");
        if (entries.empty()) {
            Require(entry.empty(), "an empty list gives an empty entry");
        } else {
            const uint64_t chosen = std::uniform_int_distribution<uint64_t>(0, entries.size() - 1)(named);
            Require(entry == entries[chosen], "the entry is the one the draw names, without its line end");
        }
    }
    return 0;
}
