#include <gtest/gtest.h>

#include <string>

#include "FieldCheck.h"

using namespace vantor;

TEST(FieldCheck, MessagesWithTheLimitsFilledIn) {
    const char* const range = "Geben Sie eine Zahl zwischen 0.1 und 10000 ein.";
    const char* const whole = "Geben Sie eine ganze Zahl zwischen 1 und 3 ein.";
    // clang-format off
    const std::pair<const char*, const char*> numbers[] = {
        {"4.4", nullptr}, {"0.1", nullptr}, {"10000", nullptr}, {"0.05", range}, {"20000", range},
        {"vier", "Geben Sie eine Zahl ein."}};
    const std::pair<const char*, const char*> integers[] = {
        {"1", nullptr}, {" 3 ", nullptr}, {"0", whole}, {"4", whole}, {"-1", whole},
        {"2.5", "Geben Sie eine ganze Zahl ein."}};
    // clang-format on
    double v = 0;
    for (const auto& [text, message] : numbers) {
        const auto e = CheckNumberField(text, 0.1, 10000, FieldKey(), "Epsilon r:", v);
        ASSERT_EQ(e.has_value(), message != nullptr) << text;
        EXPECT_TRUE(e ? e->message == message : v == std::stod(text)) << text << ": " << (e ? e->message : "");
    }
    long long n = 0;
    for (const auto& [text, message] : integers) {
        const auto e = CheckIntegerField(text, 1, 3, FieldKey(), "n", n);
        EXPECT_EQ(e ? e->message : "", message ? message : "") << text;
    }
    // Text length counts characters, not bytes.
    EXPECT_FALSE(CheckTextLength("ääääääääää", 10, FieldKey(), "Startfrequenz:"));
    EXPECT_EQ(CheckTextLength("12345678901", 10, FieldKey(), "Startfrequenz:").value().message,
              "Geben Sie nicht mehr als 10 Zeichen ein.");
}
