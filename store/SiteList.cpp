#include "store/SiteList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "framework/Random.h"
#include "framework/Desktop.h"

namespace {

constexpr size_t kMaxPiece = kUrlBufferSize - 1;  // bytes of the file

// The list as a stream of pieces, each what one read of the 500-byte URL
// buffer takes: a line's units up to its line end or 499 bytes, whichever
// comes first. So a line longer than that makes several entries, and a line
// of exactly 499 bytes is followed by an empty entry made of its line end
// alone. A line ends with LF, CR LF or a lone CR, whichever editor wrote it.
// A unit is a byte, or in a list in UTF-16 two bytes: 249 to a piece.
//
// Read in chunks, so that neither time nor memory depends on how long a line
// is: lists of any size, up to the 64-bit count of pieces.
class PieceStream {
public:
    explicit PieceStream(std::FILE* file);

    // Passes over up to `pieces` pieces; how many there were.
    uint64_t Skip(uint64_t pieces);
    // The next piece into `entry`, without its line end; false when the list
    // has no more.
    bool Take(SiteEntry& entry) { return Next(entry.bytes, entry.length); }

    bool Failed() const { return std::ferror(m_file) != 0; }
    EntryEncoding Encoding() const { return m_encoding; }
    // Back to the first piece.
    void Rewind();

private:
    // Passes over the next piece, copying it to `bytes` unless null; false
    // when the list has no more.
    bool Next(char* bytes, size_t& length);
    // False at the end of the list.
    bool Fill();
    bool AtLineEnd(const char* at) const {
        const char16_t unit = UnitAt(at, m_encoding);
        return unit == '\n' || unit == '\r';
    }
    // The chunk's next line end, or the unit `within` bytes on if that comes
    // first, or the chunk's end.
    const char* NextLineEnd(size_t within) const;
    // Past the LF of a CR LF pair whose CR ended the previous piece.
    void PassPairedLf();

    std::FILE* m_file;
    EntryEncoding m_encoding = EntryEncoding::kBytes;
    size_t m_unit = 1;  // bytes
    size_t m_mark = 0;  // bytes of the byte-order mark
    char m_chunk[64 * 1024];
    const char* m_at = m_chunk;
    const char* m_end = m_chunk;
    bool m_started = false;
    bool m_afterCr = false;
};

// A byte-order mark says how the file is written: Notepad writes one for
// UTF-8 and for its "Unicode", UTF-16.
PieceStream::PieceStream(std::FILE* file) : m_file(file) {
    unsigned char mark[3] = {};
    const size_t got = std::fread(mark, 1, sizeof mark, file);
    if (got >= 2 && mark[0] == 0xFF && mark[1] == 0xFE) m_encoding = EntryEncoding::kUtf16Le;
    if (got >= 2 && mark[0] == 0xFE && mark[1] == 0xFF) m_encoding = EntryEncoding::kUtf16Be;
    if (m_encoding != EntryEncoding::kBytes) m_unit = m_mark = 2;
    if (got == 3 && std::memcmp(mark, "\xEF\xBB\xBF", 3) == 0) m_mark = 3;
    Rewind();
}

// Whole units only: a last odd byte of a list in UTF-16 is no character. The
// mark is no part of the first entry.
bool PieceStream::Fill() {
    if (m_at != m_end) return true;
    const size_t got = std::fread(m_chunk, m_unit, sizeof m_chunk / m_unit, m_file);
    m_at = m_chunk;
    m_end = m_chunk + got * m_unit;
    if (!m_started) m_at = std::min(m_at + m_mark, m_end);
    m_started = true;
    return m_at != m_end;
}

const char* PieceStream::NextLineEnd(size_t within) const {
    const char* const stop = m_at + std::min(within, static_cast<size_t>(m_end - m_at));
    if (m_unit == 1) {
        // Whichever line end comes first.
        const void* lf = std::memchr(m_at, '\n', static_cast<size_t>(stop - m_at));
        const char* const end = lf ? static_cast<const char*>(lf) : stop;
        const void* cr = std::memchr(m_at, '\r', static_cast<size_t>(end - m_at));
        return cr ? static_cast<const char*>(cr) : end;
    }
    const char* at = m_at;
    while (at != stop && !AtLineEnd(at)) at += m_unit;
    return at;
}

void PieceStream::PassPairedLf() {
    if (m_afterCr && Fill()) {
        m_afterCr = false;
        if (UnitAt(m_at, m_encoding) == '\n') m_at += m_unit;
    }
}

void PieceStream::Rewind() {
    std::rewind(m_file);
    m_at = m_end = m_chunk;
    m_started = m_afterCr = false;
}

uint64_t PieceStream::Skip(uint64_t pieces) {
    uint64_t passed = 0;
    size_t length = 0;
    while (passed < pieces && Next(nullptr, length)) ++passed;
    return passed;
}

bool PieceStream::Next(char* bytes, size_t& length) {
    const size_t limit = kMaxPiece - kMaxPiece % m_unit;
    length = 0;
    while (length < limit) {
        PassPairedLf();
        if (!Fill()) return length > 0;
        const char* stop = NextLineEnd(limit - length);
        if (bytes) std::memcpy(bytes + length, m_at, static_cast<size_t>(stop - m_at));
        length += static_cast<size_t>(stop - m_at);
        m_at = stop;
        if (length < limit && m_at != m_end && AtLineEnd(m_at)) {
            m_afterCr = UnitAt(m_at, m_encoding) == '\r';
            m_at += m_unit;
            return true;
        }
    }
    // A full piece never ends on the first half of a surrogate pair: a cut
    // never splits a character. The unit was taken from this chunk, so it is
    // still there to give back.
    const char16_t last = UnitAt(m_at - m_unit, m_encoding);
    if (m_unit == 2 && last >= 0xD800 && last < 0xDC00) {
        m_at -= m_unit;
        length -= m_unit;
    }
    return true;
}

// Created only where no file of that name exists, so a list that is there but
// cannot be read is never overwritten. A list that cannot be created is no
// error: the default entry serves this visit all the same.
void CreateDefaultList(const char* path) {
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fputs(kDefaultSite, file);
        std::fclose(file);
    }
}

// The chosen piece of an open list, in two passes: one to count, one to reach
// it. Every piece is equally likely, however long the list; an empty list is
// one empty entry. False when the list could not be read.
bool PickFrom(std::FILE* file, SiteEntry& entry) {
    PieceStream pieces(file);
    const uint64_t count = pieces.Skip(std::numeric_limits<uint64_t>::max());
    if (pieces.Failed()) return false;  // a folder of that name, say
    entry.length = 0;
    entry.encoding = pieces.Encoding();
    if (count == 0) return true;

    const uint64_t chosen = std::uniform_int_distribution<uint64_t>(0, count - 1)(Random());
    pieces.Rewind();
    // A list cut short since it was counted gives the empty entry.
    if (pieces.Skip(chosen) == chosen) pieces.Take(entry);
    return !pieces.Failed();
}

}  // namespace

SiteEntry ByteEntry(const char* text) {
    SiteEntry entry;
    entry.length = std::min(std::strlen(text), kMaxPiece);
    std::memcpy(entry.bytes, text, entry.length);
    return entry;
}

int PickSite(SiteEntry& entry, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        if (desktop::FileMissing(path)) CreateDefaultList(path);
        entry = ByteEntry(kDefaultSite);
        return 1;
    }
    const bool read = PickFrom(file, entry);
    std::fclose(file);
    if (!read) {
        entry = ByteEntry(kDefaultSite);
        return 1;
    }
    return 0;
}
