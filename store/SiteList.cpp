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

// Units of the list are compared a processor word at a time: four or eight
// bytes.
using Word = size_t;

// The list as a stream of pieces, each what one read of the 500-byte URL
// buffer takes: a line's units up to its line end or 499 bytes, whichever
// comes first. So a line longer than that makes several entries, and a line
// of exactly 499 bytes is followed by an empty entry made of its line end
// alone. A line ends with LF, CR LF or a lone CR, whichever editor wrote it.
// A unit is a byte, or in a list in UTF-16 two bytes: 249 to a piece.
//
// Read in chunks, so that neither time nor memory depends on how long a line
// is: lists of any size, up to the 64-bit count of pieces. Passing over pieces
// takes a chunk's lines one after the other, looking for their ends a word
// at a time and copying nothing; a line that fills pieces is cut where each
// ends. That loop is most of the time a draw takes, so nothing in it calls a
// function for each line or unit: the size-optimised build inlines a helper
// only where it is called from one place.
class PieceStream {
public:
    explicit PieceStream(std::FILE* file);

    // Passes over up to `pieces` pieces; how many there were.
    uint64_t Skip(uint64_t pieces);
    // The next piece into `entry`, without its line end; false when the list
    // has no more.
    bool Take(SiteEntry& entry);

    bool Failed() const { return std::ferror(m_file) != 0; }
    EntryEncoding Encoding() const { return m_encoding; }
    // Back to the first piece.
    void Rewind();

private:
    // False at the end of the list.
    bool Fill();
    // Whether the word at `at` may hold a line end: whether one of its units
    // is a control character from 8 to 15, LF (10) and CR (13) among them.
    // ORed with 7 and XORed with 15 such a unit becomes zero, and a word has
    // a unit of zero exactly when, one taken from each unit, a unit's high
    // bit is set that was clear before.
    bool MayHoldLineEnd(const char* at) const {
        Word word;
        std::memcpy(&word, at, sizeof word);
        const Word v = (word | m_sevens) ^ m_fifteens;
        return ((v - m_ones) & ~v & m_highs) != 0;
    }
    // Whether the unit at `at` is this character of ASCII, or a line end:
    // the lower byte first, in a list of bytes the only one. (Each has one
    // place in the inner loop.)
    bool Is(const char* at, char ascii) const { return at[m_low] == ascii && (m_unit == 1 || at[m_low ^ 1] == 0); }
    bool AtLineEnd(const char* at) const {
        const char low = at[m_low];
        return (low == '\n' || low == '\r') && (m_unit == 1 || at[m_low ^ 1] == 0);
    }
    // The first line end from `at` on, or `stop`.
    const char* FindLineEnd(const char* at, const char* stop) const;
    // Where a full piece that would end at `cut` ends: a unit earlier if its
    // last unit is the first half of a surrogate pair, so that a cut never
    // splits a character.
    const char* PieceEnd(const char* cut) const;

    std::FILE* m_file;
    EntryEncoding m_encoding = EntryEncoding::kBytes;
    size_t m_unit = 1;             // bytes
    size_t m_mark = 0;             // bytes of the byte-order mark
    size_t m_full = kMaxPiece;     // bytes of a full piece: whole units
    size_t m_low = 0;              // which byte of a unit holds its lower bits
    Word m_sevens = 0, m_fifteens = 0;  // a word of units of 7, of 15, as the file holds them
    Word m_ones = 0, m_highs = 0;       // the lowest and the highest bit of each unit of a word
    char m_chunk[64 * 1024];
    const char* m_at = m_chunk;
    const char* m_end = m_chunk;
    bool m_started = false;
    bool m_afterCr = false;    // the last unit passed was a CR that ended a line and the chunk
    size_t m_pieceSoFar = 0;  // bytes of the current piece in earlier chunks
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
    m_full = kMaxPiece - kMaxPiece % m_unit;
    m_low = m_encoding == EntryEncoding::kUtf16Be ? 1 : 0;

    // Words of units in the file's order, so that a word of the file compares
    // unit by unit whatever the order of this processor: 15 is 0F, 0F 00 or
    // 00 0F.
    char sevens[sizeof m_sevens] = {}, fifteens[sizeof m_fifteens] = {};
    for (size_t i = m_low; i < sizeof sevens; i += m_unit) {
        sevens[i] = 7;
        fifteens[i] = 15;
    }
    std::memcpy(&m_sevens, sevens, sizeof m_sevens);
    std::memcpy(&m_fifteens, fifteens, sizeof m_fifteens);
    m_ones = ~Word{0} / (m_unit == 1 ? 0xFF : 0xFFFF);
    m_highs = m_ones << (8 * m_unit - 1);
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

// A word at a time, then unit by unit through a word that may hold one (or
// through the last few bytes).
const char* PieceStream::FindLineEnd(const char* at, const char* stop) const {
    constexpr ptrdiff_t kWord = sizeof(Word);
    for (;;) {
        while (stop - at >= kWord && !MayHoldLineEnd(at)) at += kWord;
        const char* const word = at + std::min(kWord, stop - at);
        for (; at != word; at += m_unit) {
            if (AtLineEnd(at)) return at;
        }
        if (at == stop) return at;
    }
}

const char* PieceStream::PieceEnd(const char* cut) const {
    if (m_unit == 1) return cut;
    const char16_t last = UnitAt(cut - m_unit, m_encoding);
    return last >= 0xD800 && last < 0xDC00 ? cut - m_unit : cut;
}

void PieceStream::Rewind() {
    std::rewind(m_file);
    m_at = m_end = m_chunk;
    m_started = m_afterCr = false;
    m_pieceSoFar = 0;
}

uint64_t PieceStream::Skip(uint64_t pieces) {
    uint64_t passed = 0;
    while (passed < pieces && Fill()) {
        // The LF of a CR LF that the read cut in two.
        if (m_afterCr && UnitAt(m_at, m_encoding) == '\n') m_at += m_unit;
        m_afterCr = false;
        const char* at = m_at;
        size_t soFar = m_pieceSoFar;
        while (passed < pieces && at != m_end) {
            const char* const stop = FindLineEnd(at, m_end);
            while (soFar + static_cast<size_t>(stop - at) >= m_full && passed < pieces) {
                at = PieceEnd(at + (m_full - soFar));
                soFar = 0;
                ++passed;
            }
            if (passed == pieces) break;
            soFar += static_cast<size_t>(stop - at);
            at = stop;
            if (at == m_end) break;
            // The line end (its lower byte tells CR from LF), with the LF of
            // a CR LF.
            const bool cr = at[m_low] == '\r';
            at += m_unit;
            if (cr && at == m_end) {
                m_afterCr = true;
            } else if (cr && Is(at, '\n')) {
                at += m_unit;
            }
            soFar = 0;
            ++passed;
        }
        m_at = at;
        m_pieceSoFar = soFar;
    }
    // A last line without a line end.
    if (passed < pieces && m_pieceSoFar > 0) ++passed;
    m_pieceSoFar = 0;
    return passed;
}

// A piece that fills the buffer ends there, even before a line end, which
// then makes an empty piece of its own.
bool PieceStream::Take(SiteEntry& entry) {
    entry.length = 0;
    while (entry.length < m_full && Fill()) {
        const char16_t unit = UnitAt(m_at, m_encoding);
        if (m_afterCr && unit == '\n') {
            m_at += m_unit;
        } else if (unit == '\n' || unit == '\r') {
            // What is left of the piece is its line end: passing over it ends it.
            return Skip(1) == 1;
        } else {
            std::memcpy(entry.bytes + entry.length, m_at, m_unit);
            entry.length += m_unit;
            m_at += m_unit;
        }
        m_afterCr = false;
    }
    if (entry.length < m_full) return entry.length > 0;
    // The unit it gives back was taken from this chunk: it is still there.
    const char* const end = PieceEnd(m_at);
    entry.length -= static_cast<size_t>(m_at - end);
    m_at = end;
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
