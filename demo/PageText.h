// What the demo browser makes of a web page and of what its user typed:
// portable, so that the host build tests it.
#pragma once

#include <string>
#include <string_view>

namespace demo {

// The address to fetch for what was typed into the address bar: trimmed, and
// with "http://" put in front when it names no scheme ("www.example.com/a"),
// as a browser does. Empty when nothing but blanks was typed.
std::string AddressFor(std::string_view typed);

// True for addresses that are shown without fetching anything ("about:blank").
bool IsBlankPage(std::string_view address);

struct PageText {
    std::string title;  // the <title>, on one line; empty when the page has none
    std::string text;   // the body as plain text, one "\n" between lines
};

// The title and the readable text of an HTML page, in the page's own encoding
// (UTF-8 for ours). Headings, paragraphs and list items start lines, with a
// blank line between paragraphs; scripts, styles and the head are left out;
// the common character references are decoded.
PageText TextOfHtml(std::string_view html);

}  // namespace demo
