// Neville interpolation on complex values and the numeric error log.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "Polint.h"
#include "TestFiles.h"

namespace vantor {
namespace {

// A complex polynomial of the given coefficients, by Horner.
Complex Poly(const std::vector<Complex>& c, double x) {
    Complex y{};
    for (auto it = c.rbegin(); it != c.rend(); ++it) y = y * x + *it;
    return y;
}

TEST(Polint, ReproducesAPolynomialOfDegreeNMinusOneExactly) {
    const std::vector<Complex> coeff = {{1.0, -2.0}, {0.5, 0.25}, {-0.75, 1.5}, {0.125, -0.0625}};
    // Unevenly spaced, unsorted abscissae; x inside, at a node and outside.
    const std::vector<double> xa = {0.0, 1.3, -0.7, 2.9};
    std::vector<Complex> ya;
    for (double x : xa) ya.push_back(Poly(coeff, x));
    for (double x : {0.4, 1.3, -1.5, 3.7, 2.0}) {
        Complex y, dy;
        Polint(xa.data(), ya.data(), 4, x, y, dy);
        const Complex expected = Poly(coeff, x);
        EXPECT_NEAR(y.real(), expected.real(), 1e-12) << x;
        EXPECT_NEAR(y.imag(), expected.imag(), 1e-12) << x;
    }
}

TEST(Polint, TheErrorEstimateBoundsTheTrueError) {
    // exp(j x) sampled at 6 points: the last correction is of the size of
    // the remaining error, which the Taylor remainder puts near 1e-4 here.
    std::vector<double> xa;
    std::vector<Complex> ya;
    for (int i = 0; i < 6; ++i) {
        xa.push_back(0.3 * i);
        ya.push_back(std::polar(1.0, 0.3 * i));
    }
    Complex y, dy;
    Polint(xa.data(), ya.data(), 6, 0.75, y, dy);
    const double err = std::abs(y - std::polar(1.0, 0.75));
    EXPECT_LT(err, 1e-4);
    EXPECT_GT(std::abs(dy), err * 0.1);
    EXPECT_LT(std::abs(dy), 1e-2);
}

TEST(Polint, SmallTables) {
    const double xa[] = {1.0, 3.0};
    const Complex ya[] = {{2.0, 0.0}, {4.0, 2.0}};
    Complex y, dy;
    Polint(xa, ya, 1, 7.0, y, dy);  // one point: the constant
    EXPECT_EQ(y, ya[0]);
    EXPECT_EQ(dy, Complex{});
    Polint(xa, ya, 2, 2.5, y, dy);  // two points: the straight line
    EXPECT_NEAR(y.real(), 3.5, 1e-15);
    EXPECT_NEAR(y.imag(), 1.5, 1e-15);
    Polint(xa, ya, 0, 2.5, y, dy);  // nothing to interpolate
    EXPECT_EQ(y, Complex{});
}

std::string LogText() {
    std::ifstream in("nrerror.log");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

TEST(Polint, EqualAbscissaeAreLoggedAndTheProgramGoesOn) {
    const std::string report =
        "Numerical Recipes run-time error...\nError in routine polint\n...now exiting to system...\n";
    // The log goes to the working folder and is created with the first
    // report of a run; nothing else in this program reports.
    const test::ScratchFolder folder;
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const double xa[] = {1.0, 2.0, 2.0};
    const Complex ya[] = {{1.0, 0.0}, {2.0, 0.0}, {3.0, 0.0}};
    Complex y, dy;
    testing::internal::CaptureStderr();
    Polint(xa, ya, 3, 1.5, y, dy);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_GE(Count(printed, report), 1);
    const std::string log = LogText();
    std::filesystem::current_path(home);
    EXPECT_EQ(Count(log, report), Count(printed, report));  // each report also in the log
    // Continuing through a division by zero gives no usable number.
    EXPECT_FALSE(std::isfinite(y.real()) && std::isfinite(y.imag()));
}

}  // namespace
}  // namespace vantor
