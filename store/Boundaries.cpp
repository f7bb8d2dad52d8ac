#include "store/Boundaries.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

// The file is CR LF on every platform, so it is written in binary mode with
// the line ends spelled out rather than left to a text-mode stream.
constexpr const char* kFormat =
    "bottom_boundary=%i\r\nleft_boundary=%i\r\nright_boundary=%i\r\ntop_boundary=%i\r\n";
constexpr const char* kBrowserKey = "browser=";

// What follows the first "=", or the whole line when it has none: the key is
// never looked at, so a line is known only by its position.
std::string ValueText(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(eq + 1);
}

// atoi's reading (leading white space, a sign, digits up to the first other
// character, 0 when there are none), but a value beyond 32 bits saturates
// instead of being undefined.
int32_t ParseValue(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulated as a magnitude, capped just past the largest one that fits.
    const int64_t cap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > cap) magnitude = cap;
    }
    if (negative) return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(magnitude < cap ? magnitude : cap - 1);
}

// The next line, however long, without its LF or CR LF. False when the file
// has no more bytes; a last line without a line end is still a line.
bool ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::getc(in)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

std::string FormatBoundaries(const desktop::Rect& rect, const std::string& browser) {
    char text[128];
    const int length = std::snprintf(text, sizeof text, kFormat, static_cast<int>(rect.bottom),
                                     static_cast<int>(rect.left), static_cast<int>(rect.right),
                                     static_cast<int>(rect.top));
    std::string file(text, static_cast<size_t>(length));
    if (!browser.empty()) file += kBrowserKey + browser + "\r\n";
    return file;
}

bool ReadBoundaries(const char* path, desktop::Rect& rect, std::string* browser) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    // The file's order, which is not the rectangle's. A member without a line
    // of its own takes the value of the member before it.
    int32_t* const members[] = {&rect.bottom, &rect.left, &rect.right, &rect.top};
    int32_t value = 0;
    std::string line;
    bool more = true;
    for (int32_t* member : members) {
        more = more && ReadLine(in, line);
        if (more) value = ParseValue(ValueText(line));
        *member = value;
    }
    if (browser) {
        const size_t key = std::char_traits<char>::length(kBrowserKey);
        const bool named = more && ReadLine(in, line) && line.compare(0, key, kBrowserKey) == 0;
        *browser = named ? line.substr(key) : std::string();
    }
    std::fclose(in);
    return true;
}

// A save never leaves a truncated or empty file behind: the new content goes
// to a temporary file beside the old one, which then replaces it in one step
// (desktop::RenameReplacing, as a plain rename would not on Windows). Its data
// is on the disk before the rename, or a power cut could keep the rename and
// lose the data.
desktop::FileResult WriteBoundaries(const char* path, const desktop::Rect& rect, const std::string& browser) {
    const std::string temporary = std::string(path) + ".tmp";
    desktop::FileResult result = desktop::WriteFileDurably(temporary, FormatBoundaries(rect, browser));
    if (result == desktop::FileResult::kDone) result = desktop::RenameReplacing(temporary, path);
    if (result != desktop::FileResult::kDone) std::remove(temporary.c_str());
    return result;
}
