// WebSites.txt as anyone may write it: whatever the bytes, every draw gives
// the one of the list's entries that it names, in the list's encoding, at most
// 499 bytes and without its line end.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "framework/Random.h"
#include "store/SiteList.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The entries, the plain way: a byte-order mark for UTF-16 makes the list one
// of two-byte units in that order (a last odd byte is none), and a UTF-8 one
// goes. Every read of the buffer takes units up to the next line end (LF,
// CR LF or a lone CR), which it passes, or 499 bytes, whichever comes first;
// a full one that ends on the first half of a surrogate pair leaves it to the
// next.
std::vector<std::string> Entries(std::string bytes, EntryEncoding& encoding) {
    const bool le = bytes.compare(0, 2, "\xFF\xFE") == 0, be = bytes.compare(0, 2, "\xFE\xFF") == 0;
    encoding = le ? EntryEncoding::kUtf16Le : be ? EntryEncoding::kUtf16Be : EntryEncoding::kBytes;
    const size_t width = le || be ? 2 : 1;
    bytes.erase(0, width == 2 ? 2 : bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    bytes.resize(bytes.size() / width * width);
    const auto unit = [&](size_t i) { return UnitAt(&bytes[i], encoding); };
    std::vector<std::string> entries;
    std::string piece;
    for (size_t i = 0; i < bytes.size(); i += width) {
        const char16_t u = unit(i);
        if (u == '\n' || u == '\r') {
            entries.push_back(piece);
            piece.clear();
            if (u == '\r' && i + width < bytes.size() && unit(i + width) == '\n') i += width;
            continue;
        }
        piece.append(bytes, i, width);
        if (piece.size() + width < kUrlBufferSize) continue;
        if (width == 2 && u >= 0xD800 && u < 0xDC00) {
            piece.resize(piece.size() - 2);
            i -= 2;
        }
        entries.push_back(piece);
        piece.clear();
    }
    if (!piece.empty()) entries.push_back(piece);
    return entries;
}

constexpr int kDraws = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = Bytes(data, size);
    const char* const file = WriteInputFile(kSiteListFile, bytes).c_str();
    EntryEncoding encoding;
    const std::vector<std::string> entries = Entries(bytes, encoding);

    SeedRandom(static_cast<uint32_t>(size));
    for (int draw = 0; draw < kDraws; ++draw) {
        RandomEngine named = Random();
        SiteEntry picked;
        Require(PickSite(picked, file) == 0, "a list that is there is read");
        Require(picked.length < kUrlBufferSize && picked.encoding == encoding, "in the buffer, in the list's encoding");
        const std::string entry(picked.bytes, picked.length);
        if (entries.empty()) {
            Require(entry.empty(), "an empty list gives an empty entry");
        } else {
            const uint64_t chosen = std::uniform_int_distribution<uint64_t>(0, entries.size() - 1)(named);
            Require(entry == entries[chosen], "the entry is the one the draw names, without its line end");
        }
    }
    return 0;
}
