// Clicks, keys and typed characters: the events and their order.
#include <string>

#include "engine/Input.h"
#include "tests/sim/SimTest.h"

namespace {

using Keys = SimTest;

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

    sim::ClearEvents();
    sim::SetKeyForChar('@', 0x651);  // AltGr+Q on a German layout
    TypeChar('@');
    EXPECT_EQ(sim::KeyLog(), "+Ctrl +Alt +Q -Q -Ctrl -Alt");

    sim::ClearEvents();
    sim::SetKeyForChar('#', 0x733);  // all three
    TypeChar('#');
    EXPECT_EQ(sim::KeyLog(), "+Shift +Ctrl +Alt +3 -3 -Shift -Ctrl -Alt");
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
    TypeChar(0x80);    // the euro sign of Windows-1252
    TypeChar('\xE9');  // e acute, passed as a negative char
    TypeChar(0x1E9);   // only the low byte counts
    EXPECT_EQ(sim::KeyLog(), "+U+20AC -U+20AC +U+00E9 -U+00E9 +U+00E9 -U+00E9");
    EXPECT_EQ(sim::TypedText(), "\x80\xE9\xE9");
}

TEST_F(Keys, ControlCharactersAreNeverTyped) {
    for (int c = 0; c < 0x20; ++c) TypeChar(c);
    TypeChar(0x7F);
    TypeChar(0x109);  // a tab in the low byte
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
