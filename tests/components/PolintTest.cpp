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

TEST(Polint, ReproducesAPolynomialOfDegreeNMinusOneExactly) {
    // Horner on complex coefficients; unevenly spaced, unsorted abscissae,
    // x inside, at a node and outside. Two points give the straight line.
    const auto poly = [](const std::vector<Complex>& c, double x) {
        Complex y{};
        for (auto it = c.rbegin(); it != c.rend(); ++it) y = y * x + *it;
        return y;
    };
    const std::vector<Complex> coeff = {{1.0, -2.0}, {0.5, 0.25}, {-0.75, 1.5}, {0.125, -0.0625}};
    for (int n : {2, 4}) {
        const std::vector<Complex> c(coeff.begin(), coeff.begin() + n);
        const std::vector<double> xa = {0.0, 1.3, -0.7, 2.9};
        std::vector<Complex> ya;
        for (double x : xa) ya.push_back(poly(c, x));
        for (double x : {0.4, 1.3, -1.5, 3.7, 2.0}) {
            Complex y, dy;
            Polint(xa.data(), ya.data(), n, x, y, dy);
            EXPECT_NEAR(std::abs(y - poly(c, x)), 0.0, 1e-12) << n << " points at " << x;
        }
    }
    const double xa[] = {1.0};
    const Complex ya[] = {{2.0, 1.0}};
    Complex y, dy;
    Polint(xa, ya, 1, 7.0, y, dy);  // one point: the constant
    EXPECT_EQ(y, ya[0]);
    EXPECT_EQ(dy, Complex{});
}

TEST(Polint, TheErrorEstimateBoundsTheTrueError) {
    // exp(j x) sampled at 6 points: the last correction is of the size of
    // the remaining error, which the Taylor remainder puts near 1e-4 here.
    std::vector<double> xa;
    std::vector<Complex> ya;
    for (int i = 0; i < 6; ++i) xa.push_back(0.3 * i), ya.push_back(std::polar(1.0, 0.3 * i));
    Complex y, dy;
    Polint(xa.data(), ya.data(), 6, 0.75, y, dy);
    const double err = std::abs(y - std::polar(1.0, 0.75));
    EXPECT_LT(err, 1e-4);
    EXPECT_GT(std::abs(dy), err * 0.1);
    EXPECT_LT(std::abs(dy), 1e-2);
}

TEST(Polint, EqualAbscissaeAreLoggedAndTheProgramGoesOn) {
    const std::string report =
        "Numerical Recipes run-time error...\nError in routine polint\n...now exiting to system...\n";
    const auto count = [&report](const std::string& text) {
        int n = 0;
        for (std::size_t p = text.find(report); p != std::string::npos; p = text.find(report, p + 1)) ++n;
        return n;
    };
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
    std::stringstream log;
    log << std::ifstream("nrerror.log").rdbuf();
    std::filesystem::current_path(home);
    EXPECT_GE(count(printed), 1);
    EXPECT_EQ(count(log.str()), count(printed));  // each report also in the log
    // Continuing through a division by zero gives no usable number.
    EXPECT_FALSE(std::isfinite(y.real()) && std::isfinite(y.imag()));
}

}  // namespace
}  // namespace vantor
