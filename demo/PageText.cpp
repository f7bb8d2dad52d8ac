#include "demo/PageText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace demo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A scheme is a letter, then letters, digits, "+", "-" or ".", then ":".
bool HasScheme(std::string_view address) {
    const size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    if (!std::isalpha(static_cast<unsigned char>(address[0]))) return false;
    for (size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(address[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    // "localhost:8080/page" names a port, not a scheme.
    const std::string_view rest = address.substr(colon + 1);
    return rest.substr(0, 2) == "//" || Lower(address.substr(0, colon)) == "about";
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The value of a digit in base 10 or 16; -1 when it is none.
int DigitValue(char c, int base) {
    const int lower = std::tolower(static_cast<unsigned char>(c));
    const int value = std::isdigit(lower) ? lower - '0' : (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
    return value < base ? value : -1;
}

// Decodes the character reference that starts at `s[0]` ("&"), appending it
// to `out`; returns how many characters it took, or 0 when it is none we know.
size_t DecodeReference(std::string_view s, std::string& out) {
    const size_t semicolon = s.find(';');
    if (semicolon == std::string_view::npos || semicolon > 10) return 0;
    const std::string_view name = s.substr(1, semicolon - 1);
    static const struct {
        const char* name;
        uint32_t code;
    } named[] = {{"amp", '&'},       {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
                 {"apos", '\''},     {"nbsp", 0xA0},     {"copy", 0xA9},     {"mdash", 0x2014},
                 {"ndash", 0x2013},  {"hellip", 0x2026}, {"rsquo", 0x2019},  {"lsquo", 0x2018},
                 {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"middot", 0xB7},   {"deg", 0xB0}};
    if (!name.empty() && name[0] == '#') {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7) return 0;
        uint32_t code = 0;
        for (char c : digits) {
            const int d = DigitValue(c, hex ? 16 : 10);
            if (d < 0) return 0;
            code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        }
        AppendUtf8(out, code);
        return semicolon + 1;
    }
    for (const auto& entity : named) {
        if (name == entity.name) {
            AppendUtf8(out, entity.code);
            return semicolon + 1;
        }
    }
    return 0;
}

std::string Decoded(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const size_t taken = s[i] == '&' ? DecodeReference(s.substr(i), out) : 0;
        if (taken) {
            i += taken;
        } else {
            out += s[i++];
        }
    }
    return out;
}

// The name of the tag in `tag` (the text between "<" and ">"), lower case,
// without the "/" of a closing tag.
std::string TagName(std::string_view tag) {
    if (!tag.empty() && tag[0] == '/') tag.remove_prefix(1);
    size_t end = 0;
    while (end < tag.size() && std::isalnum(static_cast<unsigned char>(tag[end]))) ++end;
    return Lower(tag.substr(0, end));
}

// How many line ends a tag stands for: 2 for a paragraph, 1 for a line, 0 for
// an inline tag.
int BreaksOf(const std::string& name) {
    static const char* const paragraphs[] = {"p",  "h1", "h2", "h3",         "h4",    "h5",  "h6",
                                             "ul", "ol", "blockquote", "table", "pre", "section"};
    static const char* const lines[] = {"br", "li", "div", "tr", "hr", "dt", "dd", "header", "footer", "nav"};
    for (const char* p : paragraphs)
        if (name == p) return 2;
    for (const char* l : lines)
        if (name == l) return 1;
    return 0;
}

// Builds the text word by word: blanks collapse to one space, and line ends
// asked for between words are written only when another word follows.
class TextBuilder {
public:
    void Break(int lines) { pending_ = std::max(pending_, lines); }

    void Words(std::string_view decoded) {
        for (char c : decoded) {
            if (IsBlank(c)) {
                space_ = true;
                continue;
            }
            if (!text_.empty()) {
                if (pending_ > 0) {
                    text_.append(static_cast<size_t>(pending_), '\n');
                } else if (space_) {
                    text_ += ' ';
                }
            }
            pending_ = 0;
            space_ = false;
            text_ += c;
        }
    }

    void Bullet() {
        Break(1);
        Words("\xE2\x80\xA2 ");  // U+2022 BULLET, and a space before the item's words
    }

    std::string Take() { return std::move(text_); }

private:
    std::string text_;
    int pending_ = 0;
    bool space_ = false;
};

// The position just past "</name ...>" from `from` on, or the end; `lower` is
// the page in lower case.
size_t PastClosingTag(const std::string& lower, size_t from, const std::string& name) {
    const size_t close = lower.find("</" + name, from);
    if (close == std::string::npos) return lower.size();
    const size_t end = lower.find('>', close);
    return end == std::string::npos ? lower.size() : end + 1;
}

std::string TitleOf(std::string_view html, const std::string& lower) {
    const size_t open = lower.find("<title");
    if (open == std::string::npos) return {};
    const size_t start = lower.find('>', open);
    if (start == std::string::npos) return {};
    const size_t end = lower.find("</title", start);
    TextBuilder title;
    title.Words(Decoded(html.substr(start + 1, (end == std::string::npos ? html.size() : end) - start - 1)));
    return title.Take();
}

}  // namespace

std::string AddressFor(std::string_view typed) {
    const std::string_view address = Trimmed(typed);
    if (address.empty()) return {};
    if (HasScheme(address)) return std::string(address);
    return "http://" + std::string(address);
}

bool IsBlankPage(std::string_view address) { return Lower(Trimmed(address)).rfind("about:", 0) == 0; }

PageText TextOfHtml(std::string_view html) {
    const std::string lower = Lower(html);
    PageText page;
    page.title = TitleOf(html, lower);

    TextBuilder body;
    size_t i = 0;
    while (i < html.size()) {
        const size_t open = html.find('<', i);
        body.Words(Decoded(html.substr(i, (open == std::string_view::npos ? html.size() : open) - i)));
        if (open == std::string_view::npos) break;
        if (html.substr(open, 4) == "<!--") {
            const size_t end = html.find("-->", open + 4);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        const size_t close = html.find('>', open);
        if (close == std::string_view::npos) break;
        const std::string_view tag = html.substr(open + 1, close - open - 1);
        const std::string name = TagName(tag);
        i = close + 1;
        if (tag.empty() || tag[0] == '/') {
            body.Break(BreaksOf(name));
        } else if (name == "head" || name == "script" || name == "style" || name == "title") {
            i = PastClosingTag(lower, i, name);
        } else if (name == "li") {
            body.Bullet();
        } else {
            body.Break(BreaksOf(name));
        }
    }
    page.text = body.Take();
    return page;
}

}  // namespace demo
