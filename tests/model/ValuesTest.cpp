#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "Values.h"

using namespace vantor;

namespace {

const double kInf = std::numeric_limits<double>::infinity();

TEST(FormatValue, WorkedExamplesAndEdges) {
    // clang-format off
    struct Case { double value; const char* unit; int precision; const char* text; };
    const Case cases[] = {
        {1.5e-9, "F", 0, "1.5nF"}, {1e-7, "F", 0, "100nF"}, {2.2e-6, "F", 0, "2.2uF"}, {5e-10, "H", 0, "500pH"},
        {1e8, "Hz", 0, "100MHz"}, {1e3, "Hz", 0, "1kHz"}, {0.0, "Hz", 0, "0.0Hz"}, {-0.0, "Hz", 0, "0.0Hz"},
        {-0.05, "Ohm", 0, "-50mOhm"}, {3.5e-5, "m", 0, "35um"}, {1.5, "m", 0, "1.5m"}, {1.234e6, "Hz", 1, "1.234MHz"},
        {1.25e7, "Hz", 1, "12.50MHz"}, {2.5e8, "Hz", 1, "250.0MHz"}, {1e-16, "F", 0, "100errorF"}, {42, " ", 0, "42 "},
        {1e15, "Hz", 0, "1errorHz"}, {kInf, "Hz", 0, "infinity"}, {-kInf, "Ohm", 0, "infinity"},
        {0.99996, "F", 0, "1000mF"},  // rounding up to 1000 keeps the prefix
        // Exact halves round away from zero, unlike printf's ties-to-even.
        {2.25, "Ohm", 0, "2.3Ohm"}, {-2.25, "Ohm", 0, "-2.3Ohm"}, {0.125, "Ohm", 0, "125mOhm"},
        {0.5, "s", 1, "500.0ms"}, {1.0625e6, "Hz", 1, "1.063MHz"},
        {2.25e-9, "F", 0, "2.3nF"},  // not an exact half after scaling
        // Centimetres: unit "m" only, only after the milli prefix.
        {0.01, "m", 0, "1cm"}, {0.0099, "m", 0, "9.9mm"}, {0.099, "m", 0, "9.9cm"}, {0.01, "Ohm", 0, "10mOhm"},
        {0.001144, "m", 0, "1.1mm"}, {0.5, "m", 1, "50.00cm"},
        // ".0" is removed only in the compact form.
        {100.0, "Hz", 0, "100Hz"}, {1e9, "Hz", 1, "1.000GHz"}, {650088129, "Hz", 0, "650.1MHz"},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(FormatValue(c.value, c.unit, c.precision), c.text) << c.value;
}

TEST(ParseValue, WorkedExamplesAndEdges) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"10nF", 1e-8}, {" 3.3 nH ", 3.3e-9}, {"1 GHz", 1e9}, {"100mOhm", 0.1}, {"1mm", 0.001}, {"1m", 1},
        {"1cm", 0.01}, {"35um", 3.5e-5}, {"1,5n", 1e-9}, {"", 0.0}, {"abc", 0.0}, {"   \t ", 0.0}, {"0.0Hz", 0.0},
        {"m5", 0.005},   // a prefix before the number still counts
        {"F", 0.0},      // a unit that starts the text stays
        {"4.7µF", 4.7},  // the micro sign is not a prefix
        {"-2.5mOhm", -2.5e-3}, {"+7k", 7000}, {"1.5e3Hz", 1500}, {"2.2E-6", 2.2e-6}, {".5n", 0.5e-9}, {"1e", 1.0},
        {"1e+", 1.0}, {"12abc", 12e-2} /* 'c' is the first prefix letter */, {"1T", 1e12}, {"5fF", 5e-15},
        {"1mmm", 1e-3}, {"2 p F", 2e-12}, {"1e400", kInf}, {"-1e400", -kInf}, {"1e-400", 0.0},
    };
    // clang-format on
    // The prefix is applied with a computed power of ten: the last bit may differ.
    for (const auto& [text, value] : cases) {
        if (value == 0.0 || std::isinf(value))
            EXPECT_EQ(ParseValue(text), value) << '"' << text << '"';
        else
            EXPECT_NEAR(ParseValue(text), value, std::fabs(value) * 1e-15) << '"' << text << '"';
    }
}

TEST(ParseValue, DoesNotDependOnTheLocale) {
    // A German locale would read "1,5" as 1.5 in strtod; the parser must not.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(ParseValue("1,5n"), ParseValue("1n"));
    EXPECT_EQ(FormatValue(2.5e-2, "m"), "2.5cm");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseAndFormat, RoundTripWithinTheShownDecimals) {
    for (const char* unit : {"Hz", "F", "H", "Ohm", "A"}) {
        for (int e = -15; e <= 12; ++e) {
            for (double mantissa : {1.0, 1.5, 2.2, 4.7, 9.99, 12.5, 33.3, 100.0, 470.0, 999.4}) {
                const double v = mantissa * std::pow(10.0, e);
                const std::string text = FormatValue(v, unit);
                if (text.find("error") != std::string::npos) continue;
                // One decimal of a mantissa below 1000 is at most 0.05 off.
                const double step = std::pow(10.0, 3 * std::floor(std::log10(v * 1.0000001) / 3.0));
                EXPECT_NEAR(ParseValue(text), v, 0.0501 * step + 1e-30) << text;
            }
        }
    }
    for (double v : {0.025, 0.0015, 3.5e-5, 0.5, 1.5}) EXPECT_NEAR(ParseValue(FormatValue(v, "m")), v, v * 1e-12);
    for (double v = 1.0; v < 3e9; v *= 1.37) EXPECT_NEAR(ParseValue(FormatValue(v, "Hz", 1)), v, v * 5e-3) << v;
    for (double v : {0.001144, 5e-5, 3.5e-5, 0.071, 4.4, 5.8e7, 650088129.0, 1e-22, 123456.789e-12})
        EXPECT_EQ(ParseValue(ExactText(v)), v) << ExactText(v);
}

TEST(PlainNumbers, StrictReading) {
    double d = 0;
    long long i = 0;
    EXPECT_TRUE(ParsePlainNumber(" 4.4 ", d) && d == 4.4);
    EXPECT_TRUE(ParsePlainNumber("1e10", d));
    for (const char* bad : {"4.4x", "", "1,5"}) EXPECT_FALSE(ParsePlainNumber(bad, d)) << bad;
    EXPECT_TRUE(ParsePlainInteger("-2", i) && i == -2);
    for (const char* bad : {"2.5", "+", "+-1"}) EXPECT_FALSE(ParsePlainInteger(bad, i)) << bad;
    EXPECT_EQ(FormatLimit(0.1), "0.1");
    EXPECT_EQ(FormatLimit(1e10), "10000000000");
}

}  // namespace
