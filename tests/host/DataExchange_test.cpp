#include "framework/DataExchange.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ParseNumberText, AcceptsNumbersWithBlanksAround) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0", 0.0},    {"0.0", 0.0},       {"00", 0.0},     {" 2 ", 2.0},  {"\t2\t", 2.0},
        {".5", 0.5},   {"1e3", 1000.0},    {"1E+3", 1000.0}, {"5.", 5.0},   {"+1.5", 1.5},
        {"-1", -1.0},  {"1e11", 1e11},     {"2.5e-1", 0.25}, {"0e5", 0.0},  {"  10000000000", 1e10},
    };
    for (const auto& c : cases) {
        double value = -99.0;
        EXPECT_TRUE(ParseNumberText(c.text, value)) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(ParseNumberText, RefusesWhatIsNoNumberAndLeavesTheValue) {
    const char* cases[] = {
        "",     "   ", "\t",  "abc", "2h",  "1 2", ".0",   "-0",     "+0",    "-.0",
        ".",    "-",   "e3",  "1e",  "1e+", "inf", "nan",  "0x10",   "1,5",   "2\n",
        "1e-400",  // too small to be anything but zero, and not written as zero
    };
    for (const char* text : cases) {
        double value = 42.0;
        EXPECT_FALSE(ParseNumberText(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42.0) << '"' << text << '"';
    }
}

TEST(FormatNumber, SixSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatNumber(0.0), "0");
    EXPECT_EQ(FormatNumber(1.5), "1.5");
    EXPECT_EQ(FormatNumber(1.9833333), "1.98333");
    EXPECT_EQ(FormatNumber(static_cast<float>(1.9833333)), "1.98333");  // as m_fHours holds it
    EXPECT_EQ(FormatNumber(-0.25), "-0.25");
    EXPECT_EQ(FormatNumber(123456), "123456");
}

TEST(FormatNumber, ExponentHasThreeDigitsOnEveryRuntime) {
    EXPECT_EQ(FormatNumber(1234567), "1.23457e+006");
    EXPECT_EQ(FormatNumber(1e10), "1e+010");
    EXPECT_EQ(FormatNumber(1.5e-7), "1.5e-007");
    EXPECT_EQ(FormatNumber(-2e100), "-2e+100");
    EXPECT_EQ(FormatNumber(3e300), "3e+300");
}

TEST(RangeMessage, NamesBothBounds) {
    EXPECT_EQ(RangeMessage(0, 1e10), "Please enter a number between 0 and 1e+010.");
    EXPECT_EQ(RangeMessage(-1.5, 24), "Please enter a number between -1.5 and 24.");
}

}  // namespace
