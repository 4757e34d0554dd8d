#include <gtest/gtest.h>

#include "model/CStr.h"

using vantor::CStr;

TEST(CStr, AssignmentAndDifference) {
    CStr s("Maximum");
    EXPECT_EQ(s.Length(), 7);
    EXPECT_FALSE(s.DiffersFrom("Maximum"));
    EXPECT_TRUE(s.DiffersFrom("Maximu"));
    EXPECT_TRUE(s.DiffersFrom("Maximum "));
    EXPECT_TRUE(s.DiffersFrom("maximum"));
    s = "";
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_FALSE(s.DiffersFrom(""));
}

TEST(CStr, FromDoubleUsesTheShorterFormWithoutTrailingPoint) {
    struct Case { double v; const char* text; };
    for (const Case& c : {Case{100, "100"}, Case{0.5, "0.5"}, Case{1e-9, "1e-09"}, Case{123456789.0, "123456789"},
                          Case{1.0 / 3.0, "0.3333333333333333"}, Case{1e20, "1e+20"}, Case{-2.5, "-2.5"},
                          Case{0, "0"}}) {
        CStr s;
        s = c.v;
        EXPECT_STREQ(s.c_str(), c.text) << c.v;
    }
}

TEST(CStr, WildcardMatch) {
    struct Case { const char* pattern; const char* text; bool match; };
    for (const Case& c : {Case{"*", "", true}, Case{"*", "abc", true}, Case{"?", "", false}, Case{"?", "a", true},
                          Case{"a*c", "abbbc", true}, Case{"a*c", "abbb", false}, Case{"a**c", "ac", true},
                          Case{"*.s2p", "file.s2p", true}, Case{"*.s2p", "file.S2P", false},
                          Case{"f?le", "file", true}, Case{"f?le", "fiile", false}, Case{"", "", true},
                          Case{"", "a", false}, Case{"*a*b*", "xxaxxbxx", true}, Case{"*a*b", "xxbxxa", false}}) {
        EXPECT_EQ(CStr::Match(c.pattern, c.text), c.match) << c.pattern << " vs " << c.text;
    }
}
