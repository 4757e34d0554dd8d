#include <gtest/gtest.h>

#include "FieldCheck.h"

using namespace vantor;

TEST(FieldCheck, NumberFieldMessagesWithTheLimitsFilledIn) {
    double v = 0;
    EXPECT_FALSE(CheckNumberField("4.4", 0.1, 10000, 1, "Epsilon r:", v));
    EXPECT_EQ(v, 4.4);
    EXPECT_FALSE(CheckNumberField("0.1", 0.1, 10000, 1, "Epsilon r:", v));
    EXPECT_FALSE(CheckNumberField("10000", 0.1, 10000, 1, "Epsilon r:", v));
    auto e = CheckNumberField("0.05", 0.1, 10000, 1025, "Epsilon r:", v);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Geben Sie eine Zahl zwischen 0.1 und 10000 ein.");
    EXPECT_EQ(e->controlId, 1025);
    e = CheckNumberField("20000", 0.1, 10000, 1025, "Epsilon r:", v);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Geben Sie eine Zahl zwischen 0.1 und 10000 ein.");
    e = CheckNumberField("vier", 0.1, 10000, 1025, "Epsilon r:", v);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Geben Sie eine Zahl ein.");
}

TEST(FieldCheck, IntegerFieldMessages) {
    long long n = 0;
    for (const char* ok : {"1", "2", "3", " 3 "}) EXPECT_FALSE(CheckIntegerField(ok, 1, 3, 1121, "n", n)) << ok;
    for (const char* bad : {"0", "4", "-1"}) {
        auto e = CheckIntegerField(bad, 1, 3, 1121, "n", n);
        ASSERT_TRUE(e) << bad;
        EXPECT_EQ(e->message, "Geben Sie eine ganze Zahl zwischen 1 und 3 ein.");
    }
    auto e = CheckIntegerField("2.5", 1, 3, 1121, "n", n);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Geben Sie eine ganze Zahl ein.");
}

TEST(FieldCheck, TextLengthCountsCharactersNotBytes) {
    EXPECT_FALSE(CheckTextLength("1234567890", 10, 1199, "Startfrequenz:"));
    EXPECT_FALSE(CheckTextLength("ääääääääää", 10, 1199, "Startfrequenz:"));
    auto e = CheckTextLength("12345678901", 10, 1199, "Startfrequenz:");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Geben Sie nicht mehr als 10 Zeichen ein.");
}
