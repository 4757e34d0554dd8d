#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "Values.h"

using vantor::FormatValue;
using vantor::ParseValue;

namespace {

struct FormatCase {
    double value;
    const char* unit;
    int precision;
    const char* text;
};

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, GivesTheDocumentedText) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatValue(c.value, c.unit, c.precision), c.text) << "value " << c.value;
}

const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FormatTable,
    ::testing::Values(FormatCase{1.5e-9, "F", 0, "1.5nF"}, FormatCase{1e-7, "F", 0, "100nF"},
                      FormatCase{2.2e-6, "F", 0, "2.2uF"}, FormatCase{5e-10, "H", 0, "500pH"},
                      FormatCase{1e8, "Hz", 0, "100MHz"}, FormatCase{1e3, "Hz", 0, "1kHz"},
                      FormatCase{0.0, "Hz", 0, "0.0Hz"}, FormatCase{-0.05, "Ohm", 0, "-50mOhm"},
                      FormatCase{5, "Ohm", 0, "5Ohm"}, FormatCase{0.0015, "m", 0, "1.5mm"},
                      FormatCase{0.025, "m", 0, "2.5cm"}, FormatCase{3.5e-5, "m", 0, "35um"},
                      FormatCase{1.5, "m", 0, "1.5m"}, FormatCase{1.234e6, "Hz", 1, "1.234MHz"},
                      FormatCase{1.25e7, "Hz", 1, "12.50MHz"}, FormatCase{2.5e8, "Hz", 1, "250.0MHz"},
                      FormatCase{1e-16, "F", 0, "100errorF"}, FormatCase{kInf, "Hz", 0, "infinity"},
                      FormatCase{-kInf, "Ohm", 0, "infinity"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FormatTable,
    ::testing::Values(
        // Rounding up to 1000 keeps the prefix.
        FormatCase{0.99996, "F", 0, "1000mF"},
        // Exact halves round away from zero, unlike printf's ties-to-even.
        FormatCase{2.25, "Ohm", 0, "2.3Ohm"}, FormatCase{-2.25, "Ohm", 0, "-2.3Ohm"},
        FormatCase{0.125, "Ohm", 0, "125mOhm"}, FormatCase{1.0625e6, "Hz", 1, "1.063MHz"},
        FormatCase{0.45, "Ohm", 0, "450mOhm"},
        FormatCase{4.5, "Ohm", 0, "4.5Ohm"}, FormatCase{0.25, "Ohm", 0, "250mOhm"},
        FormatCase{1.25, "Ohm", 0, "1.3Ohm"}, FormatCase{1.75, "A", 0, "1.8A"}, FormatCase{0.5, "s", 1, "500.0ms"},
        // Not an exact half after scaling: ordinary rounding.
        FormatCase{2.25e-9, "F", 0, "2.3nF"}, FormatCase{1.05, "Ohm", 0, "1.1Ohm"},
        // The centimetre rule: unit "m" only, only after the milli prefix.
        FormatCase{0.01, "m", 0, "1cm"}, FormatCase{0.0099, "m", 0, "9.9mm"}, FormatCase{1.0, "m", 0, "1m"},
        FormatCase{0.1, "m", 0, "10cm"}, FormatCase{0.099, "m", 0, "9.9cm"}, FormatCase{0.01, "Ohm", 0, "10mOhm"},
        FormatCase{0.001144, "m", 0, "1.1mm"}, FormatCase{0.5, "m", 1, "50.00cm"},
        // ".0" is removed only in the compact form.
        FormatCase{100.0, "Hz", 0, "100Hz"}, FormatCase{1e9, "Hz", 1, "1.000GHz"},
        FormatCase{3e9, "Hz", 0, "3GHz"}, FormatCase{650088129, "Hz", 0, "650.1MHz"},
        FormatCase{-1e-6, "F", 0, "-1uF"}, FormatCase{1e15, "Hz", 0, "1errorHz"},
        FormatCase{1.5e-9, "F, ", 0, "1.5nF, "}, FormatCase{42, " ", 0, "42 "},
        FormatCase{-0.0, "Hz", 0, "0.0Hz"}));

struct ParseCase {
    const char* text;
    double value;
};

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, GivesTheDocumentedValue) {
    const ParseCase& c = GetParam();
    const double v = ParseValue(c.text);
    // The prefix is applied by multiplying with a computed power of ten,
    // which may differ from the literal in the last bit.
    if (c.value == 0.0)
        EXPECT_EQ(v, 0.0) << '"' << c.text << '"';
    else
        EXPECT_NEAR(v, c.value, std::fabs(c.value) * 1e-15) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ParseTable,
    ::testing::Values(ParseCase{"10nF", 1e-8}, ParseCase{"1.5nH", 1.5e-9}, ParseCase{" 3.3 nH ", 3.3e-9},
                      ParseCase{"100MHz", 1e8}, ParseCase{"1 GHz", 1e9}, ParseCase{"100mOhm", 0.1},
                      ParseCase{"100Ohm", 100}, ParseCase{"100kOhm", 1e5}, ParseCase{"0.5 Ohm", 0.5},
                      ParseCase{"1mm", 0.001}, ParseCase{"1m", 1}, ParseCase{"1cm", 0.01}, ParseCase{"35um", 3.5e-5},
                      ParseCase{"10 mA", 0.01}, ParseCase{"1e-9", 1e-9}, ParseCase{"1,5n", 1e-9}, ParseCase{"", 0.0},
                      ParseCase{"abc", 0.0}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ParseTable,
    ::testing::Values(ParseCase{"m5", 0.005},       // a prefix before the number still counts
                      ParseCase{"F", 0.0},          // a unit that starts the text stays
                      ParseCase{"4.7µF", 4.7},      // the micro sign is not a prefix
                      ParseCase{"   \t ", 0.0},     // white space only
                      ParseCase{"-2.5mOhm", -2.5e-3}, ParseCase{"+7k", 7000}, ParseCase{"1.5e3Hz", 1500},
                      ParseCase{"2.2E-6", 2.2e-6}, ParseCase{".5n", 0.5e-9}, ParseCase{"1e", 1.0},
                      ParseCase{"1e+", 1.0}, ParseCase{"12abc", 12e-2},  // 'c' is the first prefix letter
                      ParseCase{"3GHz", 3e9}, ParseCase{"1T", 1e12}, ParseCase{"5fF", 5e-15},
                      ParseCase{"1mmm", 1e-3}, ParseCase{"2 p F", 2e-12}, ParseCase{"0.0Hz", 0.0}));

TEST(ParseValue, OverflowGivesInfinityLikeTheCLibrary) {
    EXPECT_EQ(ParseValue("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseValue("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseValue("1e-400"), 0.0);
}

TEST(ParseValue, DoesNotDependOnTheLocale) {
    // A German locale would read "1,5" as 1.5 in strtod; the parser must not.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(ParseValue("1,5n"), ParseValue("1n"));
    EXPECT_EQ(FormatValue(2.5e-2, "m"), "2.5cm");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseAndFormat, RoundTripWithinTheShownDecimals) {
    const char* units[] = {"Hz", "F", "H", "Ohm", "A"};
    for (const char* unit : units) {
        for (int e = -15; e <= 12; ++e) {
            for (double mantissa : {1.0, 1.5, 2.2, 4.7, 9.99, 12.5, 33.3, 100.0, 470.0, 999.4}) {
                const double v = mantissa * std::pow(10.0, e);
                const std::string text = FormatValue(v, unit);
                if (text.find("error") != std::string::npos) continue;
                const double back = ParseValue(text);
                // One decimal of a mantissa below 1000 is at most 0.05 off.
                EXPECT_NEAR(back, v, 0.0501 * std::pow(10.0, 3 * std::floor(std::log10(v * 1.0000001) / 3.0)) + 1e-30)
                    << text;
            }
        }
    }
    // Lengths in centimetres come back too.
    for (double v : {0.025, 0.0015, 3.5e-5, 0.5, 1.5}) EXPECT_NEAR(ParseValue(FormatValue(v, "m")), v, v * 1e-12);
}

TEST(ParseAndFormat, FourDigitFormRoundTripsToFourSignificantDigits) {
    for (double v = 1.0; v < 3e9; v *= 1.37) {
        const double back = ParseValue(FormatValue(v, "Hz", 1));
        EXPECT_NEAR(back, v, v * 5e-3) << FormatValue(v, "Hz", 1);
    }
}

TEST(ExactText, ReadsBackExactly) {
    for (double v : {0.001144, 5e-5, 3.5e-5, 0.071, 4.4, 5.8e7, 650088129.0, 1e-22, 123456.789e-12}) {
        EXPECT_EQ(ParseValue(vantor::ExactText(v)), v) << vantor::ExactText(v);
    }
}

TEST(PlainNumbers, StrictReading) {
    double d = 0;
    long long i = 0;
    EXPECT_TRUE(vantor::ParsePlainNumber(" 4.4 ", d));
    EXPECT_EQ(d, 4.4);
    EXPECT_TRUE(vantor::ParsePlainNumber("1e10", d));
    EXPECT_FALSE(vantor::ParsePlainNumber("4.4x", d));
    EXPECT_FALSE(vantor::ParsePlainNumber("", d));
    EXPECT_FALSE(vantor::ParsePlainNumber("1,5", d));
    EXPECT_TRUE(vantor::ParsePlainInteger("3", i));
    EXPECT_EQ(i, 3);
    EXPECT_TRUE(vantor::ParsePlainInteger("-2", i));
    EXPECT_FALSE(vantor::ParsePlainInteger("2.5", i));
    EXPECT_FALSE(vantor::ParsePlainInteger("+", i));
    EXPECT_FALSE(vantor::ParsePlainInteger("+-1", i));
    EXPECT_EQ(vantor::FormatLimit(0.1), "0.1");
    EXPECT_EQ(vantor::FormatLimit(10000), "10000");
    EXPECT_EQ(vantor::FormatLimit(1e10), "10000000000");
}

}  // namespace
