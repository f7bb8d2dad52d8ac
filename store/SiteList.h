// WebSites.txt: the list of sites to visit, one entry per line.
#pragma once

#include <cstddef>

#include "res/resource.h"

constexpr const char* kSiteListFile = "WebSites.txt";
constexpr size_t kUrlBufferSize = 500;  // the URL buffer; an entry takes at most 499 bytes of it
constexpr const char* kDefaultSite = MAKER_WEB_HOST "/wispnet/empty";

// How a list is written: in bytes (UTF-8 or the ANSI code page, entry by
// entry), or, after its byte-order mark, in UTF-16 of either byte order.
enum class EntryEncoding { kBytes, kUtf16Le, kUtf16Be };

// One entry as the list holds it, without its line end.
struct SiteEntry {
    char bytes[kUrlBufferSize];
    size_t length = 0;
    EntryEncoding encoding = EntryEncoding::kBytes;
};

// An entry of these bytes, as a list in bytes would hold it.
SiteEntry ByteEntry(const char* text);

// The unit of text at `at`: a byte, or a UTF-16 unit of two bytes in the
// encoding's order.
inline char16_t UnitAt(const char* at, EntryEncoding encoding) {
    const auto byte = [at](int i) { return static_cast<char16_t>(static_cast<unsigned char>(at[i])); };
    switch (encoding) {
    case EntryEncoding::kUtf16Le: return static_cast<char16_t>(byte(0) | byte(1) << 8);
    case EntryEncoding::kUtf16Be: return static_cast<char16_t>(byte(0) << 8 | byte(1));
    default: return byte(0);
    }
}

// Puts one entry of the list into `entry`. 0 when the list was read; 1 when
// there was none (or it could not be read) and `entry` is the default entry.
int PickSite(SiteEntry& entry, const char* path = kSiteListFile);
