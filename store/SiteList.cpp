#include "store/SiteList.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include "engine/Random.h"
#include "framework/Desktop.h"

namespace {

constexpr size_t kMaxPiece = kUrlBufferSize - 1;

enum class ListState { kRead, kMissing, kUnreadable };

// The whole list, with every CR LF turned into LF as a text-mode read on
// Windows would, so that no entry ever ends in CR on any platform.
ListState ReadList(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return desktop::FileMissing(path) ? ListState::kMissing : ListState::kUnreadable;
    std::string raw;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) raw.append(chunk, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return ListState::kUnreadable;  // a folder of that name, say

    text.clear();
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i];
    }
    return ListState::kRead;
}

// One piece as a read of the 500-byte URL buffer takes it: up to and
// including the next LF, or 499 bytes, whichever comes first. So a line longer
// than 499 characters makes several entries, and a line of exactly 499 is
// followed by an empty entry made of its line end alone.
std::string_view NextPiece(std::string_view text, size_t& pos) {
    const size_t end = std::min(text.size(), pos + kMaxPiece);
    const size_t lf = text.find('\n', pos);
    const size_t stop = (lf != std::string_view::npos && lf < end) ? lf + 1 : end;
    std::string_view piece = text.substr(pos, stop - pos);
    pos = stop;
    return piece;
}

size_t CountPieces(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); NextPiece(text, pos)) ++count;
    return count;
}

void PutEntry(char* buffer, std::string_view entry) {
    if (!entry.empty() && entry.back() == '\n') entry.remove_suffix(1);
    std::memcpy(buffer, entry.data(), entry.size());
    buffer[entry.size()] = '\0';
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

}  // namespace

int PickSite(char* buffer, const char* path) {
    std::string text;
    switch (ReadList(path, text)) {
    case ListState::kMissing:
        CreateDefaultList(path);
        [[fallthrough]];
    case ListState::kUnreadable:
        PutEntry(buffer, kDefaultSite);
        return 1;
    case ListState::kRead:
        break;
    }

    // Every piece equally likely, however long the list; an empty list is one
    // empty entry.
    const size_t count = CountPieces(text);
    if (count == 0) {
        buffer[0] = '\0';
        return 0;
    }
    const size_t chosen = std::uniform_int_distribution<size_t>(0, count - 1)(Random());
    size_t pos = 0;
    for (size_t i = 0; i < chosen; ++i) NextPiece(text, pos);
    PutEntry(buffer, NextPiece(text, pos));
    return 0;
}
