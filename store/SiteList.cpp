#include "store/SiteList.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include "engine/Random.h"
#include "framework/Desktop.h"

namespace {

constexpr size_t kMaxPiece = kUrlBufferSize - 1;

// The list as a stream of pieces, each what one read of the 500-byte URL
// buffer takes: a line's bytes up to its line end or 499 bytes, whichever
// comes first. So a line longer than 499 bytes makes several entries, and a
// line of exactly 499 is followed by an empty entry made of its line end
// alone. A line ends with LF, CR LF or a lone CR, whichever editor wrote it.
//
// Read in chunks, so that neither time nor memory depends on how long a line
// is: lists of any size, up to the 64-bit count of pieces.
class PieceStream {
public:
    explicit PieceStream(std::FILE* file) : m_file(file) {}

    // Passes over up to `pieces` pieces; how many there were.
    uint64_t Skip(uint64_t pieces);
    // The next piece into `entry`, without its line end and NUL-terminated;
    // false when the list has no more.
    bool Take(char* entry);

    bool Failed() const { return std::ferror(m_file) != 0; }
    // Back to the first piece.
    void Rewind();

private:
    // False at the end of the list.
    bool Fill();
    // The chunk's next line end, or the byte `within` bytes on if that comes
    // first, or the chunk's end.
    const char* NextLineEnd(size_t within);
    // Past the LF of a CR LF pair whose CR ended the previous piece.
    void PassPairedLf();

    std::FILE* m_file;
    char m_chunk[64 * 1024];
    const char* m_at = m_chunk;
    const char* m_end = m_chunk;
    bool m_started = false;
    bool m_afterCr = false;
    size_t m_pieceSoFar = 0;  // bytes of the current line's current piece already passed
};

bool PieceStream::Fill() {
    if (m_at != m_end) return true;
    const size_t got = std::fread(m_chunk, 1, sizeof m_chunk, m_file);
    m_at = m_chunk;
    m_end = m_chunk + got;
    // Notepad's UTF-8 byte-order mark says how the file is written; it is
    // no part of the first entry.
    if (!m_started && got >= 3 && std::memcmp(m_chunk, "\xEF\xBB\xBF", 3) == 0) m_at += 3;
    m_started = true;
    return m_at != m_end;
}

// Eight bytes at a time: a word holds a LF or CR when one of its bytes, XORed
// with that character, is zero.
bool HoldsLineEnd(const char* bytes) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    const uint64_t lf = word ^ (kOnes * '\n'), cr = word ^ (kOnes * '\r');
    return ((((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHighs) != 0;
}

const char* PieceStream::NextLineEnd(size_t within) {
    const char* const stop = m_at + std::min(within, static_cast<size_t>(m_end - m_at));
    const char* at = m_at;
    while (stop - at >= 8 && !HoldsLineEnd(at)) at += 8;
    while (at != stop && *at != '\n' && *at != '\r') ++at;
    return at;
}

void PieceStream::PassPairedLf() {
    if (m_afterCr && Fill()) {
        m_afterCr = false;
        if (*m_at == '\n') ++m_at;
    }
}

void PieceStream::Rewind() {
    std::rewind(m_file);
    m_at = m_end = m_chunk;
    m_started = m_afterCr = false;
    m_pieceSoFar = 0;
}

uint64_t PieceStream::Skip(uint64_t pieces) {
    uint64_t passed = 0;
    while (passed < pieces) {
        PassPairedLf();
        if (!Fill()) {
            // A last line without a line end.
            if (m_pieceSoFar > 0) ++passed;
            m_pieceSoFar = 0;
            break;
        }
        // Whole pieces of this line in the chunk, stopping where the last
        // piece wanted would be full.
        const uint64_t wanted = pieces - passed;
        const uint64_t within = wanted > sizeof m_chunk / kMaxPiece + 1 ? sizeof m_chunk
                                                                         : wanted * kMaxPiece - m_pieceSoFar;
        const char* stop = NextLineEnd(static_cast<size_t>(within));
        size_t run = m_pieceSoFar + static_cast<size_t>(stop - m_at);
        if (run >= kMaxPiece) {  // rarely: most lines are shorter
            passed += run / kMaxPiece;
            run %= kMaxPiece;
        }
        m_pieceSoFar = run;
        m_at = stop;
        if (m_at != m_end && (*m_at == '\n' || *m_at == '\r') && passed < pieces) {
            m_afterCr = *m_at == '\r';
            ++m_at;
            ++passed;
            m_pieceSoFar = 0;
        }
    }
    return passed;
}

bool PieceStream::Take(char* entry) {
    size_t length = 0;
    bool ended = false;
    while (length < kMaxPiece) {
        PassPairedLf();
        if (!Fill()) break;
        const char* stop = NextLineEnd(kMaxPiece - length);
        std::memcpy(entry + length, m_at, static_cast<size_t>(stop - m_at));
        length += static_cast<size_t>(stop - m_at);
        m_at = stop;
        if (m_at != m_end && (*m_at == '\n' || *m_at == '\r')) {
            m_afterCr = *m_at == '\r';
            ++m_at;
            ended = true;
            break;
        }
    }
    entry[length] = '\0';
    m_pieceSoFar = 0;
    return length > 0 || ended;
}

void PutDefaultEntry(char* buffer) { std::snprintf(buffer, kUrlBufferSize, "%s", kDefaultSite); }

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
bool PickFrom(std::FILE* file, char* buffer) {
    PieceStream pieces(file);
    const uint64_t count = pieces.Skip(std::numeric_limits<uint64_t>::max());
    if (pieces.Failed()) return false;  // a folder of that name, say
    buffer[0] = '\0';
    if (count == 0) return true;

    const uint64_t chosen = std::uniform_int_distribution<uint64_t>(0, count - 1)(Random());
    pieces.Rewind();
    // A list cut short since it was counted gives the empty entry.
    if (pieces.Skip(chosen) == chosen) pieces.Take(buffer);
    return !pieces.Failed();
}

}  // namespace

int PickSite(char* buffer, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        if (desktop::FileMissing(path)) CreateDefaultList(path);
        PutDefaultEntry(buffer);
        return 1;
    }
    const bool read = PickFrom(file, buffer);
    std::fclose(file);
    if (!read) {
        PutDefaultEntry(buffer);
        return 1;
    }
    return 0;
}
