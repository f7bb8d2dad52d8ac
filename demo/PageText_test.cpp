// The demo browser's reading of addresses and pages.
#include "demo/PageText.h"

#include <gtest/gtest.h>

namespace demo {
namespace {

TEST(AddressFor, PutsHttpInFrontOfAnAddressWithoutAScheme) {
    EXPECT_EQ("http://www.example.com/garden", AddressFor("www.example.com/garden"));
    EXPECT_EQ("http://www.example.com/a?b=1&c=~x", AddressFor("  www.example.com/a?b=1&c=~x \t"));
    // A port is no scheme.
    EXPECT_EQ("http://localhost:8080/page", AddressFor("localhost:8080/page"));
    EXPECT_EQ("http://www.example.com/a:b", AddressFor("www.example.com/a:b"));
}

TEST(AddressFor, KeepsAnAddressThatNamesItsScheme) {
    EXPECT_EQ("http://www.nimbrel.com/sponsors", AddressFor("http://www.nimbrel.com/sponsors"));
    EXPECT_EQ("HTTP://WWW.EXAMPLE.COM/", AddressFor("HTTP://WWW.EXAMPLE.COM/"));
    EXPECT_EQ("https://www.example.org/", AddressFor("https://www.example.org/"));
    EXPECT_EQ("about:blank", AddressFor("about:blank"));
    EXPECT_EQ("", AddressFor(" \t "));
}

TEST(IsBlankPage, TellsTheAboutPagesFromTheWeb) {
    EXPECT_TRUE(IsBlankPage("about:blank"));
    EXPECT_TRUE(IsBlankPage("About:Blank"));
    EXPECT_FALSE(IsBlankPage("http://about.example.com/"));
    EXPECT_FALSE(IsBlankPage("aboutblank"));
}

TEST(TextOfHtml, TakesTheTitleAndLaysTheBodyOutInParagraphsAndLines) {
    const PageText page = TextOfHtml(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\">\n<title>\n  The   Garden\n</title>"
        "<style>p { color: red }</style></head>\n<body>\n<h1>In the garden</h1>\n"
        "<p>Beans   and\n   <b>peas</b>.</p><p>Line one<br>line two</p>\n"
        "<ul><li>Spade</li>\n<li>Rake</li></ul><p>The end.</p></body></html>");
    EXPECT_EQ("The Garden", page.title);
    EXPECT_EQ("In the garden\n\nBeans and peas.\n\nLine one\nline two\n\n"
              "\xE2\x80\xA2 Spade\n\xE2\x80\xA2 Rake\n\nThe end.",
              page.text);
}

TEST(TextOfHtml, LeavesOutScriptsStylesAndComments) {
    const PageText page = TextOfHtml(
        "<body><script type=\"text/javascript\">if (a < b) alert('x');</script>"
        "Seen<!-- <p>not seen</p> --> too<STYLE>.x{}</STYLE>.</body>");
    EXPECT_EQ("", page.title);
    EXPECT_EQ("Seen too.", page.text);
}

TEST(TextOfHtml, DecodesCharacterReferencesOnceInTitleAndText) {
    const PageText page =
        TextOfHtml("<title>Fish &amp; chips &mdash; &#163;5</title><p>&lt;b&gt; is &quot;bold&quot;; "
                   "&amp;amp; stays &amp;amp;; &#x263A; &unknown; &#xZZ; 5 &lt 6</p>");
    EXPECT_EQ("Fish & chips \xE2\x80\x94 \xC2\xA3" "5", page.title);
    EXPECT_EQ("<b> is \"bold\"; &amp; stays &amp;; \xE2\x98\xBA &unknown; &#xZZ; 5 &lt 6", page.text);
}

TEST(TextOfHtml, SurvivesPagesThatEndMidway) {
    EXPECT_EQ("Cut", TextOfHtml("<p>Cut<b").text);
    EXPECT_EQ("Half", TextOfHtml("<title>Half").title);
    EXPECT_EQ("", TextOfHtml("<script>never closed").text);
    EXPECT_EQ("a", TextOfHtml("a<!-- open").text);
    EXPECT_EQ("", TextOfHtml("").text);
}

}  // namespace
}  // namespace demo
