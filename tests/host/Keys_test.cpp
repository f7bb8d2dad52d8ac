// Clicks, keys and typed characters: the events and their order.
#include <string>

#include "engine/EntryText.h"
#include "engine/Input.h"
#include "tests/sim/SimTest.h"

namespace {

using Keys = SimTest;

// Into the foreground window, with its keyboard as it is now.
void TypeChar(char32_t c) { ::TypeChar(c, KeyboardOf(desktop::GetForegroundWindow())); }

TEST_F(Keys, ClickIsADownAndAnUpWhereTheCursorIs) {
    sim::PlaceCursor({40, 50});
    ClickLeft();
    ASSERT_EQ(sim::Events().size(), 2u);
    EXPECT_EQ(sim::Events()[0].kind, sim::Kind::LeftDown);
    EXPECT_EQ(sim::Events()[1].kind, sim::Kind::LeftUp);
    EXPECT_EQ(sim::Cursor(), (desktop::Point{40, 50}));
}

TEST_F(Keys, PressKeyHoldsModifiersAndReleasesThemInTheSameOrder) {
    PressKey(0x123);
    EXPECT_EQ(sim::KeyLog(), "+Shift +End* -End* -Shift");

    sim::ClearEvents();
    PressKey(kWithShift | kWithCtrl | kWithAlt | 'K');
    EXPECT_EQ(sim::KeyLog(), "+Shift +Ctrl +Alt +K -K -Shift -Ctrl -Alt");

    sim::ClearEvents();
    PressKey(0x2E);
    PressKey(0x0D);
    EXPECT_EQ(sim::KeyLog(), "+Delete* -Delete* +Return -Return");
}

TEST_F(Keys, PressKeyIgnoresOtherBitsOfTheCodeWord) {
    // 0x400 is Alt in the layout's shift state, not in the code word.
    PressKey(0x400 | 0x10000 | 'A');
    EXPECT_EQ(sim::KeyLog(), "+A -A");
}

TEST_F(Keys, TapAndBackspace) {
    TapKey(desktop::kVkHome);
    EXPECT_EQ(sim::KeyLog(), "+Home* -Home*");

    sim::ClearEvents();
    PressBackspace(0);
    EXPECT_TRUE(sim::Events().empty());
    PressBackspace(3);
    EXPECT_EQ(sim::KeyLog(), "+Back -Back +Back -Back +Back -Back");
    EXPECT_TRUE(sim::Sleeps().empty()) << "keys come without pauses";
}

TEST_F(Keys, TypeCharUsesTheLayoutsShiftState) {
    TypeChar('a');
    EXPECT_EQ(sim::KeyLog(), "+A -A");

    sim::ClearEvents();
    TypeChar(':');
    EXPECT_EQ(sim::KeyLog(), "+Shift +; -; -Shift");
}

TEST_F(Keys, EveryPrintableAsciiCharacterArrivesAsItself) {
    std::string all;
    for (char c = 0x20; c < 0x7F; ++c) all += c;
    for (char c : all) TypeChar(c);
    EXPECT_EQ(sim::TypedText(), all);
}

TEST_F(Keys, OnlyHomeEndAndDeleteCarryTheExtendedFlag) {
    for (char c = 0x20; c < 0x7F; ++c) TypeChar(c);
    TapKey(desktop::kVkHome);
    PressKey(0x123);
    PressKey(0x2E);
    PressKey(0x0D);
    PressBackspace(1);
    int extended = 0;
    for (const sim::Event& e : sim::KeyEvents()) {
        const bool navigation = e.vk == desktop::kVkHome || e.vk == desktop::kVkEnd || e.vk == desktop::kVkDelete;
        EXPECT_EQ(e.extended, navigation) << sim::Describe(e);
        extended += e.extended;
    }
    EXPECT_EQ(extended, 6);
}

TEST_F(Keys, CharacterWithoutAKeyIsTypedAsUnicode) {
    TypeChar(0x20AC);   // the euro sign
    TypeChar(0xE9);     // e acute
    TypeChar(0x1F600);  // beyond the first plane: a surrogate pair
    EXPECT_EQ(sim::KeyLog(), "+U+20AC -U+20AC +U+00E9 -U+00E9 +U+D83D -U+D83D +U+DE00 -U+DE00");
    EXPECT_EQ(sim::TypedText(), "\u20AC\u00E9\U0001F600");
}

TEST_F(Keys, ControlCharactersAreNeverTyped) {
    for (char32_t c = 0; c < 0x20; ++c) TypeChar(c);
    for (char32_t c = 0x7F; c < 0xA0; ++c) TypeChar(c);
    TypeChar(0xD800);    // half a surrogate pair
    TypeChar(0x110000);  // no code point
    EXPECT_TRUE(sim::Events().empty()) << sim::Describe(sim::Events());
}

TEST_F(Keys, ClearingTheBarAndTypingAUrlLeavesExactlyTheUrl) {
    TapKey(desktop::kVkHome);
    PressKey(kWithShift | desktop::kVkEnd);
    PressKey(desktop::kVkDelete);
    const std::string url = "http://www.Example.com/a?b=1&c=~x";
    for (char c : url) TypeChar(c);
    PressKey(desktop::kVkReturn);
    const sim::FieldState bar = sim::ReplayIntoField(sim::Events(), "about:blank");
    EXPECT_EQ(bar.submitted, std::vector<std::string>{url});
}

}  // namespace

// --- Characters come out as written, whatever the keyboard ------------------------------

namespace {

// Keys are named as on a US keyboard: on a German one, "=" is the key of + * ~,
// "[" that of sharp s, "'" that of a-umlaut and "`" that of o-umlaut.
struct LayoutCase {
    const char* name;
    sim::Layout browser;   // the layout of the window typed into
    sim::Layout ours;      // the layout of the program's own thread
    bool capsLock;
    const char* text;      // UTF-8
    const char* keys;      // the exact key log, or nullptr when only the text matters
    bool composing = false;  // an input method is on in the browser
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class Layouts : public SimTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(Layouts, TheBrowserGetsExactlyTheTextWritten) {
    const LayoutCase& c = GetParam();
    const uint32_t browserThread = 3000;
    const desktop::Window browser = sim::AddWindow("Browser", {0, 0, 800, 600}, browserThread);
    sim::SetLayout(browserThread, c.browser);
    sim::SetLayout(sim::kOurThread, c.ours);
    sim::SetCapsLock(c.capsLock);
    sim::SetInputMethod(browserThread, c.composing);
    sim::SetForeground(browser);

    for (const char32_t ch : EntryCharacters(ByteEntry(c.text))) TypeChar(ch);

    EXPECT_EQ(c.text, sim::TypedText()) << sim::KeyLog();
    if (c.keys) {
        EXPECT_EQ(c.keys, sim::KeyLog());
    }
    for (const sim::Event& e : sim::KeyEvents()) EXPECT_EQ(browser, e.window) << sim::Describe(e);
    const std::string log = sim::KeyLog();
    EXPECT_EQ(log.find("+Ctrl"), log.find("+Ctrl +Alt")) << "Ctrl only ever as half of AltGr";
}

using sim::Layout;
const LayoutCase kLayoutCases[] = {
    {"UsLettersAndShift", Layout::kUs, Layout::kUs, false, "aZ:", "+A -A +Shift +Z -Z -Shift +Shift +; -; -Shift"},
    // Caps Lock turns round the letters only; the other Shift state answers it.
    {"UsCapsLock", Layout::kUs, Layout::kUs, true, "aZ1!", "+Shift +A -A -Shift +Z -Z +1 -1 +Shift +1 -1 -Shift"},
    {"GermanAltGr", Layout::kGerman, Layout::kGerman, false, "z@{~\\|\u20AC",
     "+Z -Z +Ctrl +Alt +Q -Q -Ctrl -Alt +Ctrl +Alt +7 -7 -Ctrl -Alt +Ctrl +Alt += -= -Ctrl -Alt "
     "+Ctrl +Alt +[ -[ -Ctrl -Alt +Ctrl +Alt +0xE2 -0xE2 -Ctrl -Alt +Ctrl +Alt +E -E -Ctrl -Alt"},
    // Caps Lock also turns round the umlauts' keys there, and leaves AltGr alone.
    {"GermanCapsLock", Layout::kGerman, Layout::kGerman, true, "\u00E4@\u00D6Y",
     "+Shift +' -' -Shift +Ctrl +Alt +Q -Q -Ctrl -Alt +` -` +Y -Y"},
    // A dead key would wait and make e-circumflex of "^e": sent as the character itself.
    {"GermanDeadKeys", Layout::kGerman, Layout::kGerman, false, "^e`a\u00B4o",
     "+U+005E -U+005E +E -E +U+0060 -U+0060 +A -A +U+00B4 -U+00B4 +O -O"},
    {"UsInternationalDeadKeys", Layout::kUsInternational, Layout::kUsInternational, false, "'e\"u`a~n^o", nullptr},
    {"UsInternationalDeadKeysWithCapsLock", Layout::kUsInternational, Layout::kUs, true, "A'e\"u~n", nullptr},
    {"NoKeyMakesIt", Layout::kUs, Layout::kUs, false, "\u00E9\u65E5\U0001F600",
     "+U+00E9 -U+00E9 +U+65E5 -U+65E5 +U+D83D -U+D83D +U+DE00 -U+DE00"},
    // Looked up in the browser's layout, not in ours.
    {"BrowserUsOursGerman", Layout::kUs, Layout::kGerman, false, "@\"y", "+Shift +2 -2 -Shift +Shift +' -' -Shift +Y -Y"},
    {"BrowserGermanOursUs", Layout::kGerman, Layout::kUs, false, "@\"y", "+Ctrl +Alt +Q -Q -Ctrl -Alt +Shift +2 -2 -Shift +Y -Y"},
    // Keys would go into the input method's composition and come out converted.
    {"InputMethodOn", Layout::kUs, Layout::kUs, true, "aZ:", "+U+0061 -U+0061 +U+005A -U+005A +U+003A -U+003A", true},
};

INSTANTIATE_TEST_SUITE_P(Keyboards, Layouts, ::testing::ValuesIn(kLayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

}  // namespace
